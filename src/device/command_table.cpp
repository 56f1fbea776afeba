// SPDX-License-Identifier: GPL-3.0-or-later
// The outgoing command table and the synchronisation walk over it.
#include "device/command_table.h"

#include <cstring>

#include "device/command_codes.h"
#include "device/page_rules.h"
#include "device/record_sender.h"

namespace kdsp::device {
namespace {

using settings::offsets::kEchoA;
using Rule = PayloadRule;

constexpr CommandRow Single(std::uint8_t order, std::uint8_t code, FlagRange flags, Rule rule,
                            std::uint16_t arg = 0, std::uint8_t count = 1) {
  return {order, code, RowKind::kSingle, flags, rule, arg, count};
}
constexpr CommandRow Block(std::uint8_t order, std::uint8_t code, FlagRange flags,
                           std::uint16_t offset, std::uint8_t count = 1) {
  return Single(order, code, flags, Rule::kBlockBytes, offset, count);
}
constexpr CommandRow Bands(std::uint8_t order, int first, int count) {
  return {order,
          code::kEqBand,
          RowKind::kFamily,
          flag::kBands.sub(first, count),
          Rule::kBand,
          static_cast<std::uint16_t>(first)};
}
constexpr CommandRow Compressor(std::uint8_t order, int k) {
  return {order,
          code::kCompressor,
          RowKind::kGroup,
          flag::Compressor(k),
          Rule::kCompressor,
          static_cast<std::uint16_t>(k)};
}
constexpr CommandRow Crossover(std::uint8_t order, int k) {
  return {order,           code::kCrossover, RowKind::kGroup,
          flag::Filter(k), Rule::kCrossover, static_cast<std::uint16_t>(k)};
}

constexpr std::array<CommandRow, kCommandRowCount> kTable{{
    // Main window.
    {1, code::kMixChannel, RowKind::kFamily, flag::kMixFaders, Rule::kChannelPair},
    Block(2, code::kMasterMusic, flag::kMasterFaders.sub(0, 1), 4),
    Block(3, code::kMasterMic, flag::kMasterFaders.sub(1, 1), 5),
    Block(4, code::kMasterEffect, flag::kMasterFaders.sub(2, 1), 7),
    {5, code::kOutputDelay, RowKind::kFamily, flag::kDelayKnobs, Rule::kDelayKnob},
    Block(6, code::kFeedbackLevel, flag::kFeedbackKnob, 2),
    Block(7, code::kMusicInput, flag::kMusicInputKnob, 1),
    Single(8, code::kMusicMaxVolume, flag::kMusicMaxVolume, Rule::kMusicMaxVolume),
    Single(9, code::kMicMaxVolume, flag::kMicMaxVolume, Rule::kMicMaxVolume),
    {10, code::kMixChannel, RowKind::kFamily, flag::kMuteButtons, Rule::kChannelPair},
    {11, code::kOutputMutes, RowKind::kGroup, flag::kOutputSwitches, Rule::kBlockBytes,
     settings::offsets::kOutputMutes, 1},
    // Main Output.
    Bands(12, 28, 5),
    Compressor(13, 1),
    Crossover(14, 5),
    // Center Output.
    Bands(15, 33, 5),
    Compressor(16, 2),
    Crossover(17, 6),
    Crossover(18, 7),
    // Surround Output.
    Bands(19, 43, 5),
    Compressor(20, 4),
    Crossover(21, 10),
    // Subwoofer Output.
    Bands(22, 38, 5),
    Compressor(23, 3),
    Crossover(24, 8),
    Crossover(25, 9),
    Block(26, code::kSubDecay, flag::kSubDecay, settings::offsets::kSubDecay),
    // Music Equalizer.
    Bands(27, 15, 7),
    Compressor(28, 5),
    // Echo Effect.
    Bands(29, 22, 3),
    Crossover(30, 1),
    Crossover(31, 2),
    Block(32, code::kEchoLevel, flag::kEchoLevel, kEchoA + 0),
    Block(33, code::kEchoDelay, flag::kEchoDelay, kEchoA + 4, 2),
    Block(34, code::kEchoRepeat, flag::kEchoRepeat, kEchoA + 3),
    Block(35, code::kEchoPreDelay, flag::kEchoPreDelay, kEchoA + 10, 2),
    Single(36, code::kEchoDelayLr, flag::kEchoDelayLr, Rule::kEchoDelayLr),
    Single(37, code::kEchoPreDelayLr, flag::kEchoPreDelayLr, Rule::kEchoPreDelayLr),
    Single(38, code::kEchoDirect, flag::kEchoDirect, Rule::kEchoDirect),
    // Reverb Effect.
    Bands(39, 25, 3),
    Crossover(40, 3),
    Crossover(41, 4),
    Block(42, code::kRevLevel, flag::kRevLevel, settings::offsets::kRevLevel),
    Block(43, code::kRevTime, flag::kRevTime, settings::offsets::kRevTime),
    Block(44, code::kRevPreDelay, flag::kRevPreDelay, settings::offsets::kRevPreDelay, 2),
    // Reverb dialog.
    Block(45, code::kRevLevel, flag::kDialogRevLevel, settings::offsets::kRevLevel),
    Block(46, code::kRevTime, flag::kDialogRevTime, settings::offsets::kRevTime),
    Block(47, code::kRevDamp, flag::kDialogRevDamp, settings::offsets::kRevDamp),
    Block(48, code::kRevWet, flag::kDialogRevWet, settings::offsets::kRevWet),
    Block(49, code::kRevWidth, flag::kDialogRevWidth, settings::offsets::kRevWidth),
    Block(50, code::kRevPreDelay, flag::kDialogRevPreDelay, settings::offsets::kRevPreDelay, 2),
    // Mic Equalizer.
    Compressor(51, 0),
    Crossover(52, 0),
    {53, code::kMicPolarity, RowKind::kGroup, flag::kMicPolarity, Rule::kMicPolarity},
    {54, code::kEqBand, RowKind::kFamily, flag::kBands.sub(0, 15), Rule::kMicBand},
    Single(55, code::kMicEqMode, flag::kMicEqMode, Rule::kMicEqMode),
    // Pink-noise dialog.
    Single(56, code::kPinkNoise, flag::kPinkNoise, Rule::kPinkNoiseMask),
}};

constexpr bool TableIsInOrder() {
  for (int i = 0; i < kCommandRowCount; ++i)
    if (kTable[i].order != i + 1) return false;
  return true;
}
static_assert(TableIsInOrder());

// Main-window mix controls come in pairs, one pair per channel.
constexpr int kChannelOfPair[7] = {0, 4, 1, 5, 3, 7, 2};
// Delay knob i addresses main knob record (g, s).
constexpr std::uint8_t kDelayKnobRecord[6][2] = {{0, 0}, {0, 1}, {2, 0}, {4, 0}, {4, 1}, {3, 0}};

class PayloadBuilder {
 public:
  explicit PayloadBuilder(OutgoingCommand& out) : out_(out) {}
  void byte(int value) { out_.bytes[out_.length++] = static_cast<std::uint8_t>(value & 0xFF); }
  void bytes(const void* from, std::size_t n) {
    std::memcpy(out_.bytes.data() + out_.length, from, n);
    out_.length = static_cast<std::uint8_t>(out_.length + n);
  }

 private:
  OutgoingCommand& out_;
};

void BuildPayload(const CommandRow& row, int member, const settings::ParameterBlock& block,
                  const LinkState& link, const ControlValues& controls, OutgoingCommand& out) {
  PayloadBuilder put(out);
  const auto blockBytes = block.bytes();
  switch (row.rule) {
    case Rule::kBlockBytes:
      put.bytes(blockBytes.data() + row.arg, row.argCount);
      break;
    case Rule::kChannelPair: {
      const int c = ChannelOfMixControl(member);
      put.byte(c);
      put.bytes(blockBytes.data() + ChannelPairOffset(c), 2);
      break;
    }
    case Rule::kDelayKnob: {
      const auto [g, s] = kDelayKnobRecord[member];
      put.byte(g);
      put.byte(s);
      put.bytes(&block.outputDelay[g + s], 4);
      break;
    }
    case Rule::kBand:
    case Rule::kMicBand: {
      const int base = row.rule == Rule::kBand ? row.arg : MicBandSetFirst(link.micEqChannel);
      const int b = base + member;
      const auto payload = BandPayload(static_cast<std::uint8_t>(b), block.bands[b]);
      put.bytes(payload.data(), payload.size());
      break;
    }
    case Rule::kCompressor:
      put.byte(row.arg);
      put.bytes(&block.compressors[row.arg], sizeof(settings::CompressorRecord));
      break;
    case Rule::kCrossover:
      put.byte(row.arg);
      put.bytes(&block.filters[row.arg], sizeof(settings::CrossoverFilter));
      break;
    case Rule::kMicPolarity:
      put.byte(((block.micFlags >> 4) & 1) * 2 + ((block.micFlags >> 3) & 1));
      break;
    case Rule::kMusicMaxVolume:
      put.byte(link.musicMaxVolume);
      break;
    case Rule::kMicMaxVolume:
      put.byte(link.micMaxVolume);
      break;
    case Rule::kEchoDelayLr:
      put.byte(controls.echoDelayLr);
      break;
    case Rule::kEchoPreDelayLr:
      put.byte(controls.echoPreDelayLr);
      break;
    case Rule::kEchoDirect:
      put.byte(controls.echoDirect);
      break;
    case Rule::kMicEqMode:
      put.byte(controls.micEqMode);
      break;
    case Rule::kPinkNoiseMask:
      put.byte(link.pinkNoiseMask);
      break;
  }
}

}  // namespace

const std::array<CommandRow, kCommandRowCount>& CommandTable() {
  return kTable;
}

OutgoingCommand RecordOf(const CommandRow& row, int member, const settings::ParameterBlock& block,
                         const LinkState& link, const ControlValues& controls) {
  OutgoingCommand out;
  out.order = row.order;
  out.code = row.code;
  BuildPayload(row, member, block, link, controls, out);
  return out;
}

std::optional<FlagRange> FlagOfBlockField(std::size_t offset) {
  for (const CommandRow& row : kTable)
    if (row.kind == RowKind::kSingle && row.rule == Rule::kBlockBytes && row.arg == offset)
      return row.flags;
  return std::nullopt;
}

int ChannelOfMixControl(int i) {
  return kChannelOfPair[i / 2];
}

std::size_t ChannelPairOffset(int c) {
  return settings::offsets::kMix + 4 * static_cast<std::size_t>(c % 4) +
         2 * static_cast<std::size_t>(c / 4);
}

std::size_t MixControlOffset(int i) {
  return ChannelPairOffset(ChannelOfMixControl(i)) + static_cast<std::size_t>(i % 2);
}

std::optional<OutgoingCommand> TakeNextChange(ChangeFlags& flags,
                                              const settings::ParameterBlock& block,
                                              const LinkState& link,
                                              const ControlValues& controls) {
  for (const CommandRow& row : kTable) {
    const int member = flags.firstSet(row.flags);
    if (member < 0) continue;
    if (row.kind == RowKind::kFamily) {
      flags[row.flags.at(member)] = 0;
    } else {
      flags.clear(row.flags);
    }
    return RecordOf(row, member, block, link, controls);
  }
  return std::nullopt;
}

}  // namespace kdsp::device
