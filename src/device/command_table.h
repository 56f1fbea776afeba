// SPDX-License-Identifier: GPL-3.0-or-later
// The outgoing parameter commands in the synchronisation tick's priority order, and the walk
// that picks the next changed parameter and builds its record.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "device/change_flags.h"
#include "device/link_state.h"
#include "settings/control_values.h"
#include "settings/parameter_block.h"

namespace kdsp::device {

// Families send one member per tick, the first changed in index order, clearing only its flag.
// Groups send one record for all their flags and clear them together.
enum class RowKind : std::uint8_t { kSingle, kFamily, kGroup };

enum class PayloadRule : std::uint8_t {
  kBlockBytes,   // block[arg .. arg + argCount - 1]
  kChannelPair,  // [c, the channel pair of c]; mix fader / mute button i -> channel c
  kDelayKnob,    // [g, s, 4 bytes of delay line g + s]
  kBand,         // [arg + i, band arg + i] with the band's gain rule
  kMicBand,      // [base + i, band base + i], base the first band of the mode's set
  kCompressor,   // [arg, compressor record arg]
  kCrossover,    // [arg, filter record arg]
  kMicPolarity,  // [(micFlags >> 3) & 3]
  kMusicMaxVolume,
  kMicMaxVolume,
  kEchoDelayLr,  // low byte of the fader's value
  kEchoPreDelayLr,
  kEchoDirect,
  kMicEqMode,  // the mode knob's value
  kPinkNoiseMask,
};

struct CommandRow {
  std::uint8_t order;  // 1-based position in the table
  std::uint8_t code;
  RowKind kind;
  FlagRange flags;
  PayloadRule rule;
  std::uint16_t arg = 0;
  std::uint8_t argCount = 1;
};

inline constexpr int kCommandRowCount = 56;
const std::array<CommandRow, kCommandRowCount>& CommandTable();

// Values that travel from the controls themselves rather than from the block.
using ControlValues = settings::ControlValues;

struct OutgoingCommand {
  std::uint8_t order = 0;
  std::uint8_t code = 0;
  std::array<std::uint8_t, 9> bytes{};
  std::uint8_t length = 0;
  std::span<const std::uint8_t> payload() const { return {bytes.data(), length}; }
};

// Finds the first changed parameter in table order, clears its flag (all flags of a group) and
// returns its record; nothing when no flag is set.
std::optional<OutgoingCommand> TakeNextChange(ChangeFlags& flags,
                                              const settings::ParameterBlock& block,
                                              const LinkState& link, const ControlValues& controls);

// The record a row sends for one member of its flags (a family's index; any member of a group
// or a single row gives the same record), without touching any flag.
OutgoingCommand RecordOf(const CommandRow& row, int member, const settings::ParameterBlock& block,
                         const LinkState& link, const ControlValues& controls);

// The flag of the first single-parameter row that sends the block field at this offset (the
// page's control, which stands before the dialog's in the table), if any row sends it.
std::optional<FlagRange> FlagOfBlockField(std::size_t offset);

// The channel that main-window mix fader or mute button i (0..13) belongs to.
int ChannelOfMixControl(int i);
// The block offset of channel c's pair.
std::size_t ChannelPairOffset(int c);
// The mix byte that main-window mix fader or mute button i edits: the controls of a pair stand
// side by side, the first editing the first byte of the channel's pair.
std::size_t MixControlOffset(int i);

}  // namespace kdsp::device
