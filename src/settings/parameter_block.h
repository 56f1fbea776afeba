// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter block: one preset of the processor, 708 bytes, laid out exactly as it travels
// over the link, lies in a setting file and sits in memory.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kdsp::settings {

static_assert(std::endian::native == std::endian::little,
              "the parameter block is a little-endian memory image");

inline constexpr std::size_t kBlockSize = 708;
inline constexpr int kBandCount = 63;
inline constexpr int kFilterCount = 11;
inline constexpr int kCompressorCount = 6;
inline constexpr int kDelayLineCount = 6;
inline constexpr int kOutputCount = 4;
inline constexpr int kSourceCount = 4;

// Equaliser band types.
enum BandType : std::uint8_t { kPeaking = 0, kLowShelf = 1, kHighShelf = 2 };
// Crossover filter families and directions.
enum FilterFamily : std::uint8_t { kButterworth = 0, kBessel = 1, kLinkwitzRiley = 2 };
enum FilterDirection : std::uint8_t { kHighPass = 0, kLowPass = 1 };
// Outputs as the block indexes them, and the sources of the mix.
enum Output : int { kMain = 0, kCenter = 1, kSubwoofer = 2, kSurround = 3 };
enum Source : int { kMusic = 0, kMic = 1, kEcho = 2, kRev = 3 };

struct EqBand {
  std::int16_t gain;        // tenths of a dB
  std::uint16_t frequency;  // frequency grid step 0..359
  std::uint8_t bandwidth;   // (bandwidth + 1) * 0.05 octave
  std::uint8_t type;        // BandType
  std::uint8_t on;          // 1 = switched on
  std::uint8_t spare;
};
static_assert(sizeof(EqBand) == 8);

struct CrossoverFilter {
  std::uint16_t frequency;  // grid step; high-pass at 0 and low-pass at 359 are off
  std::uint8_t family;      // FilterFamily
  std::uint8_t direction;   // FilterDirection
  std::uint8_t order;       // 0 = 12, 1 = 18, 2 = 24, 3 = 48 dB/octave
  std::uint8_t spare;
};
static_assert(sizeof(CrossoverFilter) == 6);

struct CompressorRecord {
  std::uint8_t spare0;
  std::uint8_t attack;     // index into 1, 2, 5, 10, 20, 50, 100 ms
  std::uint8_t release;    // index into 2X .. 32X
  std::uint8_t ratio;      // index into 1:1 .. 1:INF
  std::int16_t threshold;  // dB
  std::uint8_t spare6[2];
};
static_assert(sizeof(CompressorRecord) == 8);

struct EchoRecord {
  std::uint8_t level;
  std::uint8_t spare1[2];
  std::uint8_t repeat;
  std::uint16_t delay;
  std::uint8_t spare6[4];
  std::uint16_t preDelay;
};
static_assert(sizeof(EchoRecord) == 12);

// Bits of micFlags.
inline constexpr std::uint8_t kMicSetsLinked = 0x04;
inline constexpr std::uint8_t kMicPolarity1 = 0x08;
inline constexpr std::uint8_t kMicPolarity2 = 0x10;
// Bit 7 of a mix byte mutes it; bits 0..6 keep the level.
inline constexpr std::uint8_t kMixMuted = 0x80;

struct ParameterBlock {
  std::uint8_t marker;
  std::uint8_t musicInput;
  std::uint8_t feedbackLevel;
  std::uint8_t reserved3;
  std::uint8_t masterMusic;
  std::uint8_t masterMic;
  std::uint8_t micFlags;
  std::uint8_t masterEffect;
  std::uint8_t subDecay;
  std::uint8_t reserved9;
  std::uint8_t mix[kOutputCount][kSourceCount];
  EqBand bands[kBandCount];
  CrossoverFilter filters[kFilterCount];
  CompressorRecord compressors[kCompressorCount];
  std::uint32_t outputDelay[kDelayLineCount];  // microseconds
  EchoRecord echoA;
  EchoRecord echoB;  // derived from echoA and the page's left/right offsets
  std::uint8_t revTime;
  std::uint8_t revDamp;
  std::uint8_t revWet;
  std::uint8_t revLevel;
  std::uint8_t revWidth;
  std::uint8_t reserved697;
  std::uint16_t revPreDelay;
  std::uint8_t outputMutes;
  std::uint8_t echoDirect;
  std::uint8_t reserved702[4];
  std::uint16_t checksum;

  std::span<std::uint8_t, kBlockSize> bytes() {
    return std::span<std::uint8_t, kBlockSize>(reinterpret_cast<std::uint8_t*>(this), kBlockSize);
  }
  std::span<const std::uint8_t, kBlockSize> bytes() const {
    return std::span<const std::uint8_t, kBlockSize>(reinterpret_cast<const std::uint8_t*>(this),
                                                     kBlockSize);
  }
  friend bool operator==(const ParameterBlock& a, const ParameterBlock& b);
};

// Offsets of the fields, as the wire and the files know them.
namespace offsets {
inline constexpr std::size_t kMarker = 0;
inline constexpr std::size_t kMicFlags = 6;
inline constexpr std::size_t kSubDecay = 8;
inline constexpr std::size_t kMix = 10;
inline constexpr std::size_t kBands = 26;
inline constexpr std::size_t kFilters = 530;
inline constexpr std::size_t kCompressors = 596;
inline constexpr std::size_t kOutputDelay = 644;
inline constexpr std::size_t kEchoA = 668;
inline constexpr std::size_t kEchoB = 680;
inline constexpr std::size_t kRevTime = 692;
inline constexpr std::size_t kRevDamp = 693;
inline constexpr std::size_t kRevWet = 694;
inline constexpr std::size_t kRevLevel = 695;
inline constexpr std::size_t kRevWidth = 696;
inline constexpr std::size_t kRevPreDelay = 698;
inline constexpr std::size_t kOutputMutes = 700;
inline constexpr std::size_t kEchoDirect = 701;
inline constexpr std::size_t kChecksum = 706;

constexpr std::size_t Band(int b) {
  return kBands + 8 * static_cast<std::size_t>(b);
}
constexpr std::size_t Filter(int k) {
  return kFilters + 6 * static_cast<std::size_t>(k);
}
constexpr std::size_t Compressor(int k) {
  return kCompressors + 8 * static_cast<std::size_t>(k);
}
constexpr std::size_t Mix(int output, int source) {
  return kMix + 4 * static_cast<std::size_t>(output) + static_cast<std::size_t>(source);
}
}  // namespace offsets

static_assert(sizeof(ParameterBlock) == kBlockSize);
static_assert(offsetof(ParameterBlock, micFlags) == offsets::kMicFlags);
static_assert(offsetof(ParameterBlock, subDecay) == offsets::kSubDecay);
static_assert(offsetof(ParameterBlock, mix) == offsets::kMix);
static_assert(offsetof(ParameterBlock, bands) == offsets::kBands);
static_assert(offsetof(ParameterBlock, filters) == offsets::kFilters);
static_assert(offsetof(ParameterBlock, compressors) == offsets::kCompressors);
static_assert(offsetof(ParameterBlock, outputDelay) == offsets::kOutputDelay);
static_assert(offsetof(ParameterBlock, echoA) == offsets::kEchoA);
static_assert(offsetof(ParameterBlock, echoB) == offsets::kEchoB);
static_assert(offsetof(ParameterBlock, revTime) == offsets::kRevTime);
static_assert(offsetof(ParameterBlock, revLevel) == offsets::kRevLevel);
static_assert(offsetof(ParameterBlock, revWidth) == offsets::kRevWidth);
static_assert(offsetof(ParameterBlock, revPreDelay) == offsets::kRevPreDelay);
static_assert(offsetof(ParameterBlock, outputMutes) == offsets::kOutputMutes);
static_assert(offsetof(ParameterBlock, echoDirect) == offsets::kEchoDirect);
static_assert(offsetof(ParameterBlock, checksum) == offsets::kChecksum);

// The factory-default block (marker 0xF1, checksum bytes 0).
const ParameterBlock& FactoryDefaults();

// Copies the factory defaults over the block in place; the block is never moved.
void ResetToFactory(ParameterBlock& block);

// The 16-bit wrapping sum of bytes 0..705.
std::uint16_t BlockChecksum(std::span<const std::uint8_t, kBlockSize> bytes);
inline std::uint16_t BlockChecksum(const ParameterBlock& block) {
  return BlockChecksum(block.bytes());
}

// The one working block of the process. Controls keep pointers into it, so it never moves.
ParameterBlock& WorkingBlock();

}  // namespace kdsp::settings
