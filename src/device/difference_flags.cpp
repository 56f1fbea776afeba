// SPDX-License-Identifier: GPL-3.0-or-later
// Raising the flags of the commands that carry a difference between two working settings.
#include "device/difference_flags.h"

#include <algorithm>
#include <vector>

#include "device/command_table.h"

namespace kdsp::device {
namespace {

bool SameRecord(const OutgoingCommand& a, const OutgoingCommand& b) {
  return a.code == b.code && std::ranges::equal(a.payload(), b.payload());
}

// A mix pair's record carries both bytes of the pair, levels and mute bits alike; the control
// that raises it is the fader whose level, or the mute button whose bit, changed.
bool MixControlChanged(const CommandRow& row, int member, const settings::ParameterBlock& from,
                       const settings::ParameterBlock& to) {
  const std::size_t offset = MixControlOffset(member);
  const std::uint8_t mask = row.flags.first == flag::kMuteButtons.first
                                ? settings::kMixMuted
                                : static_cast<std::uint8_t>(~settings::kMixMuted);
  return ((from.bytes()[offset] ^ to.bytes()[offset]) & mask) != 0;
}

}  // namespace

bool RaiseFlagsForDifference(ChangeFlags& flags, const settings::EditState& from,
                             const settings::EditState& to, const LinkState& link) {
  LinkState tick = link;
  tick.micEqChannel = static_cast<std::uint8_t>(to.values.micEqMode);
  std::vector<OutgoingCommand> raised;
  for (const CommandRow& row : CommandTable()) {
    const int members = row.kind == RowKind::kFamily ? row.flags.count : 1;
    for (int m = 0; m < members; ++m) {
      const OutgoingCommand after = RecordOf(row, m, to.block, tick, to.values);
      if (SameRecord(after, RecordOf(row, m, from.block, tick, from.values))) continue;
      if (row.rule == PayloadRule::kChannelPair && !MixControlChanged(row, m, from.block, to.block))
        continue;
      if (std::ranges::any_of(raised, [&](const auto& r) { return SameRecord(r, after); }))
        continue;
      flags.set(row.flags.at(m));
      raised.push_back(after);
    }
  }
  return settings::MostOfBlockDiffers(from.block, to.block);
}

void LowerFlagsTheBlockCarries(ChangeFlags& flags) {
  for (const CommandRow& row : CommandTable()) {
    switch (row.rule) {
      case PayloadRule::kEchoDelayLr:
      case PayloadRule::kEchoPreDelayLr:
      case PayloadRule::kEchoDirect:
      case PayloadRule::kMicEqMode:
      case PayloadRule::kMusicMaxVolume:
      case PayloadRule::kMicMaxVolume:
      case PayloadRule::kPinkNoiseMask:
        break;
      default:
        flags.clear(row.flags);
        break;
    }
  }
}

}  // namespace kdsp::device
