// SPDX-License-Identifier: GPL-3.0-or-later
// The effect pages' rules on the parameter block.
#include "device/page_rules.h"

#include <algorithm>

namespace kdsp::device {
namespace {

using settings::BlockField;
using settings::FieldKind;
using settings::PageId;
using settings::ParameterBlock;
namespace offsets = settings::offsets;

const settings::PageParameters& MicPage() {
  return settings::Page(PageId::kMicEqualizer);
}

constexpr std::size_t EchoA(std::size_t field) {
  return offsets::kEchoA + field;
}
constexpr std::size_t EchoB(std::size_t field) {
  return offsets::kEchoB + field;
}
constexpr std::size_t kDelay = offsetof(settings::EchoRecord, delay);
constexpr std::size_t kPreDelay = offsetof(settings::EchoRecord, preDelay);

PageFieldRule CompressorRule(PageId page, std::size_t field, FieldKind kind, int flagIndex) {
  const int k = settings::Page(page).compressor;
  return {{offsets::Compressor(k) + field, kind},
          kind == FieldKind::kLow7 ? FieldStore::kLow7 : FieldStore::kWord,
          flag::Compressor(k).at(flagIndex)};
}

PageFieldRule FilterFrequencyRule(int filter) {
  return {
      {offsets::Filter(filter) + offsetof(settings::CrossoverFilter, frequency), FieldKind::kInt16},
      FieldStore::kWord,
      flag::Filter(filter).at(0)};
}

PageFieldRule Low7(std::size_t offset, FlagRange flags, bool controlValue = false) {
  return {{offset, FieldKind::kLow7}, FieldStore::kLow7, flags.first, controlValue};
}

}  // namespace

int EchoDelayB(int delayA, int delayLr) {
  return std::clamp(delayA - delayLr, 0, kEchoDelayMax);
}

int EchoPreDelayB(int preDelayA, int preDelayLr) {
  return std::clamp(preDelayA - (preDelayLr - kPreDelayOffsetBias), 0, kEchoPreDelayMax);
}

void DeriveEchoDelayB(ParameterBlock& block, int delayLr) {
  block.echoB.delay = static_cast<std::uint16_t>(EchoDelayB(block.echoA.delay, delayLr));
}

void DeriveEchoPreDelayB(ParameterBlock& block, int preDelayLr) {
  block.echoB.preDelay =
      static_cast<std::uint16_t>(EchoPreDelayB(block.echoA.preDelay, preDelayLr));
}

void DeriveEchoSecondSide(ParameterBlock& block, EchoOffsets offsets) {
  DeriveEchoDelayB(block, offsets.delayLr);
  DeriveEchoPreDelayB(block, offsets.preDelayLr);
}

EchoOffsets EchoOffsetsOf(const ParameterBlock& block) {
  return {int{block.echoA.delay} - int{block.echoB.delay},
          int{block.echoA.preDelay} - int{block.echoB.preDelay} + kPreDelayOffsetBias};
}

int MicBandSetFirst(int mode) {
  return mode == 2 ? MicPage().secondSetFirstBand : MicPage().firstBand;
}

int MicEqModeOf(const ParameterBlock& block, int lastKnownMode) {
  if (block.micFlags & settings::kMicSetsLinked) return 0;
  return lastKnownMode == 2 ? 2 : 1;
}

void SetMicSetsLink(ParameterBlock& block, int mode) {
  block.micFlags =
      static_cast<std::uint8_t>(mode == 0 ? block.micFlags | settings::kMicSetsLinked
                                          : block.micFlags & ~settings::kMicSetsLinked);
}

void CopyFirstMicSetOverSecond(ParameterBlock& block) {
  std::copy_n(&block.bands[MicPage().firstBand], MicPage().bandCount,
              &block.bands[MicPage().secondSetFirstBand]);
}

void FollowMicSetsLink(ParameterBlock& block) {
  if (block.micFlags & settings::kMicSetsLinked) CopyFirstMicSetOverSecond(block);
}

void ChangeMicEqMode(ParameterBlock& block, int previous, int mode) {
  if ((previous == 0 && mode == 1) || (previous == 1 && mode == 0))
    CopyFirstMicSetOverSecond(block);
  SetMicSetsLink(block, mode);
}

PageFieldRule RuleOf(PageId page, PageField field) {
  using settings::CompressorRecord;
  switch (field) {
    case PageField::kThreshold:
      return CompressorRule(page, offsetof(CompressorRecord, threshold), FieldKind::kInt16, 0);
    case PageField::kAttack:
      return CompressorRule(page, offsetof(CompressorRecord, attack), FieldKind::kLow7, 1);
    case PageField::kRelease:
      return CompressorRule(page, offsetof(CompressorRecord, release), FieldKind::kLow7, 2);
    case PageField::kRatio:
      return CompressorRule(page, offsetof(CompressorRecord, ratio), FieldKind::kLow7, 3);
    case PageField::kHighPassFrequency:
      return FilterFrequencyRule(settings::Page(page).highPass);
    case PageField::kLowPassFrequency:
      return FilterFrequencyRule(settings::Page(page).lowPass);
    case PageField::kSubDecay:
      return Low7(offsets::kSubDecay, flag::kSubDecay);
    case PageField::kEchoLevel:
      return Low7(EchoA(offsetof(settings::EchoRecord, level)), flag::kEchoLevel);
    case PageField::kEchoRepeat:
      return Low7(EchoA(offsetof(settings::EchoRecord, repeat)), flag::kEchoRepeat);
    case PageField::kEchoDelay:
      return {
          {EchoA(kDelay), FieldKind::kInt16}, FieldStore::kEchoFirstSide, flag::kEchoDelay.first};
    case PageField::kEchoPreDelay:
      return {{EchoA(kPreDelay), FieldKind::kInt16},
              FieldStore::kEchoFirstSide,
              flag::kEchoPreDelay.first};
    case PageField::kEchoDelayLr:
      return {{EchoB(kDelay), FieldKind::kInt16},
              FieldStore::kEchoOffset,
              flag::kEchoDelayLr.first,
              true};
    case PageField::kEchoPreDelayLr:
      return {{EchoB(kPreDelay), FieldKind::kInt16},
              FieldStore::kEchoOffset,
              flag::kEchoPreDelayLr.first,
              true};
    case PageField::kEchoDirect:
      return Low7(offsets::kEchoDirect, flag::kEchoDirect, true);
    case PageField::kRevLevel:
      return Low7(offsets::kRevLevel, flag::kRevLevel);
    case PageField::kRevTime:
      return Low7(offsets::kRevTime, flag::kRevTime);
    case PageField::kRevPreDelay:
      return {
          {offsets::kRevPreDelay, FieldKind::kInt16}, FieldStore::kWord, flag::kRevPreDelay.first};
  }
  return {};
}

int PageFieldValue(const ParameterBlock& block, PageId page, PageField field) {
  const PageFieldRule rule = RuleOf(page, field);
  if (rule.store != FieldStore::kEchoOffset) return static_cast<int>(rule.field.read(block));
  const EchoOffsets offsets = EchoOffsetsOf(block);
  return field == PageField::kEchoDelayLr ? offsets.delayLr : offsets.preDelayLr;
}

void StorePageField(ParameterBlock& block, PageId page, PageField field, int value,
                    EchoOffsets offsets) {
  const PageFieldRule rule = RuleOf(page, field);
  switch (rule.store) {
    case FieldStore::kWord:
    case FieldStore::kLow7:
      rule.field.write(block, value);
      return;
    case FieldStore::kEchoFirstSide:
      rule.field.write(block, value);
      DeriveEchoSecondSide(block, offsets);
      return;
    case FieldStore::kEchoOffset:
      (field == PageField::kEchoDelayLr ? offsets.delayLr : offsets.preDelayLr) = value;
      DeriveEchoSecondSide(block, offsets);
      return;
  }
}

}  // namespace kdsp::device
