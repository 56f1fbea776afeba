// SPDX-License-Identifier: GPL-3.0-or-later
// The rules the effect pages apply to the parameter block, kept once so the pages, the command
// table and the simulated processor cannot drift apart: the Echo Effect's second side derived
// from its first side and the left/right offsets, the Mic Equalizer's two band sets and mode,
// and which block field each page fader edits, how it stores its value and which flag it raises.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/change_flags.h"
#include "settings/block_field.h"
#include "settings/field_ranges.h"
#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"

namespace kdsp::device {

// ---- Echo Effect: the second side follows the first by the left/right offsets ----

inline constexpr int kEchoDelayMax = settings::range::kEchoDelay.max;  // ms, either side
inline constexpr int kEchoPreDelayMax = settings::range::kEchoPreDelay.max;
// The range of both left/right offsets.
inline constexpr int kEchoOffsetMin = settings::range::kEchoOffset.min;
inline constexpr int kEchoOffsetMax = settings::range::kEchoOffset.max;
// The Pre Delay L-R fader reads 5 where both sides have the same pre-delay.
inline constexpr int kPreDelayOffsetBias = 5;

struct EchoOffsets {
  int delayLr = 0;
  int preDelayLr = kPreDelayOffsetBias;
};

// The second side's delay: the first side's less the offset, kept within 0..300.
int EchoDelayB(int delayA, int delayLr);
// The second side's pre-delay: the first side's less the unbiased offset, kept within 0..100.
int EchoPreDelayB(int preDelayA, int preDelayLr);
void DeriveEchoDelayB(settings::ParameterBlock& block, int delayLr);
void DeriveEchoPreDelayB(settings::ParameterBlock& block, int preDelayLr);
void DeriveEchoSecondSide(settings::ParameterBlock& block, EchoOffsets offsets);
// The offsets that would give the block's second side from its first (unlimited).
EchoOffsets EchoOffsetsOf(const settings::ParameterBlock& block);

// ---- Mic Equalizer: two band sets and the mode that picks one ----

// 0: both sets linked (all five microphones), 1: set A (MIC1, 3, 5), 2: set B (MIC2, 4).
inline constexpr int kMicEqModeMax = settings::range::kMicEqMode.max;

// The first band of the set the strips edit in a mode: the second set in mode 2, else the first.
int MicBandSetFirst(int mode);
// The mode a block implies: its link bit gives 0; otherwise 2 if the last known mode was 2, else 1.
int MicEqModeOf(const settings::ParameterBlock& block, int lastKnownMode);
// The link bit follows the mode: set in mode 0, clear otherwise.
void SetMicSetsLink(settings::ParameterBlock& block, int mode);
// The first set copied over the second.
void CopyFirstMicSetOverSecond(settings::ParameterBlock& block);
// While the sets are linked the second is the first: an upload carries it so.
void FollowMicSetsLink(settings::ParameterBlock& block);
// What a move of the mode selector does to the block: between modes 0 and 1 the first set is
// copied over the second; then the link bit follows the new mode.
void ChangeMicEqMode(settings::ParameterBlock& block, int previous, int mode);

// ---- Page faders: which field each edits and how ----

// Every field a fader outside the EQ strips can edit. The compressor and filter fields are the
// page's own records as the page catalogue names them.
enum class PageField : std::uint8_t {
  kThreshold,
  kAttack,
  kRelease,
  kRatio,
  kHighPassFrequency,
  kLowPassFrequency,
  kSubDecay,
  kEchoLevel,
  kEchoDelay,
  kEchoRepeat,
  kEchoPreDelay,
  kEchoDelayLr,
  kEchoPreDelayLr,
  kEchoDirect,
  kRevLevel,
  kRevTime,
  kRevPreDelay,
};

enum class FieldStore : std::uint8_t {
  kWord,           // a little-endian word at the field
  kLow7,           // the low 7 bits at the field, keeping its bit 7
  kEchoFirstSide,  // a word on the first echo side; the second side follows
  kEchoOffset,     // nothing of its own; the second echo side (the field) follows
};

struct PageFieldRule {
  settings::BlockField field;  // the block field the fader's value decides
  FieldStore store;
  std::uint16_t flag;  // raised by every change
  // The value also travels from the fader itself (the command carries it, not the block).
  bool controlValue = false;
};

PageFieldRule RuleOf(settings::PageId page, PageField field);

// The value a fader of that field shows for the block (before the fader's own range limit).
int PageFieldValue(const settings::ParameterBlock& block, settings::PageId page, PageField field);
// Stores a fader's new value. Echo fields then derive the second side with the offsets the
// page's left/right faders hold (the changed offset replaced by the value).
void StorePageField(settings::ParameterBlock& block, settings::PageId page, PageField field,
                    int value, EchoOffsets offsets);

}  // namespace kdsp::device
