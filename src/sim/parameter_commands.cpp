// SPDX-License-Identifier: GPL-3.0-or-later
// Single-parameter and panel-lock commands applied to the simulated processor's state.
#include "sim/parameter_commands.h"

#include <cstddef>
#include <cstring>

#include "device/command_codes.h"
#include "device/command_table.h"
#include "device/page_rules.h"

namespace kdsp::sim {
namespace {

using device::CommandRow;
using device::PayloadRule;
using settings::ParameterBlock;

constexpr std::size_t kEchoDelayOffset =
    settings::offsets::kEchoA + offsetof(settings::EchoRecord, delay);
constexpr std::size_t kEchoPreDelayOffset =
    settings::offsets::kEchoA + offsetof(settings::EchoRecord, preDelay);
constexpr std::uint8_t kMicPolarityBits = settings::kMicPolarity1 | settings::kMicPolarity2;

// A code that appears in several rows (bands, compressors, filters, the reverb values the
// dialog shares with the page) has the same payload layout in each, so the first row tells it.
const CommandRow* RowFor(std::uint8_t code) {
  for (const CommandRow& row : device::CommandTable())
    if (row.code == code) return &row;
  return nullptr;
}

std::size_t PayloadLength(const CommandRow& row) {
  switch (row.rule) {
    case PayloadRule::kBlockBytes:
      return row.argCount;
    case PayloadRule::kChannelPair:
      return 3;
    case PayloadRule::kDelayKnob:
      return 2 + sizeof(std::uint32_t);
    case PayloadRule::kBand:
    case PayloadRule::kMicBand:
      return 1 + sizeof(settings::EqBand);
    case PayloadRule::kCompressor:
      return 1 + sizeof(settings::CompressorRecord);
    case PayloadRule::kCrossover:
      return 1 + sizeof(settings::CrossoverFilter);
    default:
      return 1;
  }
}

void Put(ParameterBlock& block, std::size_t offset, std::span<const std::uint8_t> bytes) {
  std::memcpy(block.bytes().data() + offset, bytes.data(), bytes.size());
}

// The second echo side follows the first by the page's offsets, by the page's own rule.
void DeriveEchoDelayB(DeviceState& state) {
  device::DeriveEchoDelayB(state.working, state.echoDelayLr);
}
void DeriveEchoPreDelayB(DeviceState& state) {
  device::DeriveEchoPreDelayB(state.working, state.echoPreDelayLr);
}

ApplyResult ApplyRow(DeviceState& state, const CommandRow& row,
                     std::span<const std::uint8_t> payload) {
  ParameterBlock& block = state.working;
  const std::uint8_t first = payload[0];
  const auto rest = payload.subspan(1);
  switch (row.rule) {
    case PayloadRule::kBlockBytes:
      Put(block, row.arg, payload);
      if (row.arg == kEchoDelayOffset) DeriveEchoDelayB(state);
      if (row.arg == kEchoPreDelayOffset) DeriveEchoPreDelayB(state);
      return ApplyResult::kApplied;
    case PayloadRule::kChannelPair:
      if (first >= 2 * settings::kOutputCount) return ApplyResult::kIgnored;
      Put(block, device::ChannelPairOffset(first), rest);
      return ApplyResult::kApplied;
    case PayloadRule::kDelayKnob: {
      const int line = payload[0] + payload[1];  // record (g, s) is delay line g + s
      if (line >= settings::kDelayLineCount) return ApplyResult::kIgnored;
      Put(block, settings::offsets::kOutputDelay + 4 * static_cast<std::size_t>(line),
          payload.subspan(2));
      return ApplyResult::kApplied;
    }
    case PayloadRule::kBand:
    case PayloadRule::kMicBand:
      if (first >= settings::kBandCount) return ApplyResult::kIgnored;
      Put(block, settings::offsets::Band(first), rest);
      return ApplyResult::kApplied;
    case PayloadRule::kCompressor:
      if (first >= settings::kCompressorCount) return ApplyResult::kIgnored;
      Put(block, settings::offsets::Compressor(first), rest);
      return ApplyResult::kApplied;
    case PayloadRule::kCrossover:
      if (first >= settings::kFilterCount) return ApplyResult::kIgnored;
      Put(block, settings::offsets::Filter(first), rest);
      return ApplyResult::kApplied;
    case PayloadRule::kMicPolarity:
      if (first > 3) return ApplyResult::kIgnored;
      block.micFlags = static_cast<std::uint8_t>((block.micFlags & ~kMicPolarityBits) |
                                                 ((first & 1) ? settings::kMicPolarity1 : 0) |
                                                 ((first & 2) ? settings::kMicPolarity2 : 0));
      return ApplyResult::kApplied;
    case PayloadRule::kMusicMaxVolume:
      state.musicMaxVolume = first;
      return ApplyResult::kApplied;
    case PayloadRule::kMicMaxVolume:
      state.micMaxVolume = first;
      return ApplyResult::kApplied;
    case PayloadRule::kEchoDelayLr:
      state.echoDelayLr = static_cast<std::int8_t>(first);
      DeriveEchoDelayB(state);
      return ApplyResult::kApplied;
    case PayloadRule::kEchoPreDelayLr:
      state.echoPreDelayLr = static_cast<std::int8_t>(first);
      DeriveEchoPreDelayB(state);
      return ApplyResult::kApplied;
    case PayloadRule::kEchoDirect:
      block.echoDirect = first;
      return ApplyResult::kApplied;
    case PayloadRule::kMicEqMode:
      if (first > 2) return ApplyResult::kIgnored;
      state.micEqMode = first;
      // Mode 0 links the two microphone sets, as the Mic Equalizer page does in its block. The
      // page's copy of the first set over the second reaches the processor with the next upload,
      // not with the mode record, so the mode record copies nothing here.
      device::SetMicSetsLink(block, first);
      return ApplyResult::kApplied;
    case PayloadRule::kPinkNoiseMask:
      state.pinkNoiseMask = first;
      return ApplyResult::kApplied;
  }
  return ApplyResult::kIgnored;
}

}  // namespace

ApplyResult ApplyParameterCommand(DeviceState& state, std::uint8_t code,
                                  std::span<const std::uint8_t> payload) {
  switch (code) {
    case device::code::kPanelLock:
      if (payload.size() != 1) return ApplyResult::kIgnored;
      state.unlocked = payload[0] != 0;
      return ApplyResult::kApplied;
    case device::code::kPanelPassword:
      if (payload.size() != 2) return ApplyResult::kIgnored;
      state.password = static_cast<std::uint16_t>(payload[0] << 8 | payload[1]);
      return ApplyResult::kApplied;
    default:
      break;
  }
  const CommandRow* row = RowFor(code);
  if (row == nullptr) return ApplyResult::kNotAParameter;
  // A record of the wrong length is taken as damaged and changes nothing.
  if (payload.size() != PayloadLength(*row)) return ApplyResult::kIgnored;
  const ApplyResult result = ApplyRow(state, *row, payload);
  if (result == ApplyResult::kApplied)
    state.working.checksum = settings::BlockChecksum(state.working);
  return result;
}

}  // namespace kdsp::sim
