// SPDX-License-Identifier: GPL-3.0-or-later
// The factory-default parameter block, the block checksum and the process's working block.
#include "settings/parameter_block.h"

#include <cstring>

namespace kdsp::settings {
namespace {

constexpr std::uint16_t kMicBandSteps[15] = {59,  95,  131, 167, 177, 185, 203, 215,
                                             239, 251, 275, 297, 311, 347, 347};
constexpr std::uint16_t kMusicBandSteps[7] = {59, 95, 131, 167, 203, 239, 275};
constexpr std::uint16_t kEffectBandSteps[3] = {131, 167, 203};
constexpr std::uint16_t kOutputBandSteps[5] = {95, 131, 167, 203, 239};

constexpr std::uint8_t kDefaultMix[kOutputCount][kSourceCount] = {
    {50, 50, 50, 50},  // Main
    {50, 50, 0, 0},    // Center
    {50, 0, 0, 0},     // Subwoofer
    {50, 50, 50, 50},  // Surround
};

// frequency, family, direction, order, spare
constexpr CrossoverFilter kDefaultFilters[kFilterCount] = {
    {0, kButterworth, kHighPass, 0, 1},   {0, kButterworth, kHighPass, 0, 1},
    {347, kButterworth, kLowPass, 0, 1},  {0, kButterworth, kHighPass, 0, 1},
    {347, kButterworth, kLowPass, 0, 1},  {0, kLinkwitzRiley, kHighPass, 2, 1},
    {0, kLinkwitzRiley, kHighPass, 2, 1}, {359, kLinkwitzRiley, kLowPass, 2, 1},
    {0, kLinkwitzRiley, kHighPass, 2, 1}, {131, kLinkwitzRiley, kLowPass, 2, 1},
    {0, kLinkwitzRiley, kHighPass, 2, 1},
};

constexpr EqBand DefaultBand(std::uint16_t step, std::uint8_t type = kPeaking) {
  return EqBand{0, step, 9, type, 1, 0};
}

template <std::size_t N>
constexpr int PlaceBands(ParameterBlock& b, int first, const std::uint16_t (&steps)[N]) {
  for (std::size_t i = 0; i < N; ++i) b.bands[first + static_cast<int>(i)] = DefaultBand(steps[i]);
  return first + static_cast<int>(N);
}

constexpr ParameterBlock MakeFactoryDefaults() {
  ParameterBlock b{};
  b.marker = 0xF1;
  b.musicInput = 2;
  b.feedbackLevel = 2;
  b.masterMusic = 30;
  b.masterMic = 30;
  b.micFlags = kMicSetsLinked;
  b.masterEffect = 50;
  for (int o = 0; o < kOutputCount; ++o)
    for (int s = 0; s < kSourceCount; ++s) b.mix[o][s] = kDefaultMix[o][s];

  int next = PlaceBands(b, 0, kMicBandSteps);    // 0..14, first mic set
  next = PlaceBands(b, next, kMusicBandSteps);   // 15..21
  next = PlaceBands(b, next, kEffectBandSteps);  // 22..24 echo
  next = PlaceBands(b, next, kEffectBandSteps);  // 25..27 reverb
  for (int page = 0; page < 4; ++page) next = PlaceBands(b, next, kOutputBandSteps);  // 28..47
  PlaceBands(b, next, kMicBandSteps);  // 48..62, second mic set
  for (int set : {0, 48}) {
    b.bands[set].type = kLowShelf;
    b.bands[set + 14].type = kHighShelf;
  }

  for (int k = 0; k < kFilterCount; ++k) b.filters[k] = kDefaultFilters[k];
  for (int k = 0; k < kCompressorCount; ++k) {
    const bool music = k == 5;
    b.compressors[k] = CompressorRecord{
        0, std::uint8_t(music ? 6 : 3), std::uint8_t(music ? 4 : 2), 0, 22, {0, 0}};
  }
  b.echoA = EchoRecord{45, {0, 0}, 45, 196, {0, 0, 0, 0}, 0};
  b.echoB = EchoRecord{45, {0, 0}, 45, 196, {0, 0, 0, 0}, 5};
  b.revTime = 68;
  b.revDamp = 20;
  b.revWet = 30;
  b.revLevel = 20;
  b.revWidth = 90;
  b.revPreDelay = 30;
  b.echoDirect = 80;
  return b;
}

constexpr ParameterBlock kFactoryDefaults = MakeFactoryDefaults();

ParameterBlock gWorkingBlock = kFactoryDefaults;

}  // namespace

bool operator==(const ParameterBlock& a, const ParameterBlock& b) {
  return std::memcmp(&a, &b, kBlockSize) == 0;
}

const ParameterBlock& FactoryDefaults() {
  return kFactoryDefaults;
}

void ResetToFactory(ParameterBlock& block) {
  std::memcpy(&block, &kFactoryDefaults, kBlockSize);
}

std::uint16_t BlockChecksum(std::span<const std::uint8_t, kBlockSize> bytes) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < offsets::kChecksum; ++i)
    sum = static_cast<std::uint16_t>(sum + bytes[i]);
  return sum;
}

ParameterBlock& WorkingBlock() {
  return gWorkingBlock;
}

}  // namespace kdsp::settings
