// SPDX-License-Identifier: GPL-3.0-or-later
// Names of the command and reply codes.
#include "device/command_codes.h"

#include <array>
#include <utility>

namespace kdsp::device {
namespace {

constexpr std::array<std::pair<std::uint8_t, std::string_view>, 41> kNames{{
    {code::kMixChannel, "mix channel"},
    {code::kMasterMusic, "master music"},
    {code::kMasterMic, "master mic"},
    {code::kMasterEffect, "master effect"},
    {code::kOutputDelay, "output delay"},
    {code::kFeedbackLevel, "feedback level"},
    {code::kMusicInput, "music input"},
    {code::kMusicMaxVolume, "music max volume"},
    {code::kMicMaxVolume, "mic max volume"},
    {code::kEqBand, "eq band"},
    {code::kCompressor, "compressor"},
    {code::kCrossover, "crossover filter"},
    {code::kSubDecay, "subwoofer decay"},
    {code::kOutputMutes, "output switches"},
    {code::kEchoLevel, "echo level"},
    {code::kEchoDelay, "echo delay"},
    {code::kEchoRepeat, "echo repeat"},
    {code::kEchoPreDelay, "echo pre-delay"},
    {code::kEchoDelayLr, "echo delay L-R"},
    {code::kEchoPreDelayLr, "echo pre-delay L-R"},
    {code::kRevLevel, "reverb level"},
    {code::kRevTime, "reverb time"},
    {code::kRevPreDelay, "reverb pre-delay"},
    {code::kMicEqMode, "mic eq mode"},
    {code::kEchoDirect, "echo direct volume"},
    {code::kMicPolarity, "mic polarity"},
    {code::kRevDamp, "reverb damping"},
    {code::kRevWet, "reverb wet"},
    {code::kRevWidth, "reverb width"},
    {code::kPinkNoise, "pink noise"},
    {code::kPanelLock, "panel lock"},
    {code::kPanelPassword, "panel password"},
    {code::kGreeting, "greeting"},
    {code::kReadBlock, "read block"},
    {code::kBlockChunk, "block chunk"},
    {code::kStoreBlock, "store block"},
    {code::kStatus, "status"},
    {code::kChunkReply, "chunk reply"},
    {code::kEndReply, "end of block"},
    {code::kVersion, "version"},
    {code::kAcknowledge, "acknowledgement"},
}};

}  // namespace

std::string_view CommandName(std::uint8_t command) {
  for (const auto& [c, name] : kNames)
    if (c == command) return name;
  return {};
}

}  // namespace kdsp::device
