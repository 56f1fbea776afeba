// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's filters as second-order sections: equaliser bands and crossover filters designed
// from their parameter-block records, and the magnitude response of a chain of sections.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "settings/parameter_block.h"

namespace kdsp::display {

// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2), laid out as the processor keeps it:
// six 32-bit words with a spare word between the numerator and the denominator.
struct BiquadSection {
  float b0 = 1.0f;
  float b1 = 0.0f;
  float b2 = 0.0f;
  std::array<std::uint8_t, 4> spare{};  // an equaliser band keeps its on byte in spare[2]
  float a1 = 0.0f;
  float a2 = 0.0f;

  bool isIdentity() const {
    return b0 == 1.0f && b1 == 0.0f && b2 == 0.0f && a1 == 0.0f && a2 == 0.0f;
  }
};
static_assert(sizeof(BiquadSection) == 24);

inline constexpr int kFilterOrders = 4;  // order field 0..3: 2nd, 3rd, 4th, 8th
inline constexpr int kOrder8th = 3;
inline constexpr int kMaxCrossoverSections = 4;

// The sections of one crossover filter; `count` is 4 for the 8th order and 2 otherwise.
struct CrossoverDesign {
  std::array<BiquadSection, kMaxCrossoverSections> sections{};
  int count = 2;

  std::span<const BiquadSection> view() const { return {sections.data(), std::size_t(count)}; }
};

// An order field outside 0..3 designs as the 2nd order, the only other two-section shape.
inline int orderIndex(std::uint8_t order) {
  return order < kFilterOrders ? order : 0;
}
inline int crossoverSectionCount(const settings::CrossoverFilter& filter) {
  return filter.order == kOrder8th ? 4 : 2;
}
inline bool isLowPass(const settings::CrossoverFilter& filter) {
  return filter.direction != settings::kHighPass;
}

// Q of a bandwidth given in hundredths of an octave.
float bandwidthQ(int hundredths);

// One section for a band; a band of gain 0 is the identity whatever its type.
BiquadSection designEqBand(const settings::EqBand& band);

// A peaking (type 0), low-shelf (1) or high-shelf (2) section by the same formulas as
// designEqBand, from continuous values: w0 in radians per sample, the gain in dB and the Q the
// formula takes (the processor's own shelves use 0.707). Gain 0 is the identity.
BiquadSection designEqSection(std::uint8_t type, float w0, float gainDb, float qFactor);

// One second-order high-pass or low-pass section of quality qFactor at w0, by the crossover
// design's formulas (a 2nd-order Butterworth is qFactor = 0.7071).
BiquadSection designPassSection(bool lowPass, float w0, float qFactor);

// The filter's sections; a high-pass at step 0 or a low-pass above step 358 is all identity.
CrossoverDesign designCrossover(const settings::CrossoverFilter& filter);

// The filter's sections at the angular frequency w0 (radians per sample) taken as it is: no
// switch-off rule and no Bessel correction. designCrossover and the Bessel table build on it.
CrossoverDesign designCrossoverAt(const settings::CrossoverFilter& filter, float w0);

// |H|^2 of one section at the angular frequency whose cosine and sine are given: numerator and
// denominator are taken times e^jw, which leaves the magnitude alone and needs no cos 2w.
inline double sectionPowerGain(const BiquadSection& q, double cosW, double sinW) {
  const double reDen = cosW + q.a1 + q.a2 * cosW;
  const double imDen = sinW - q.a2 * sinW;
  const double reNum = q.b0 * cosW + q.b1 + q.b2 * cosW;
  const double imNum = q.b0 * sinW - q.b2 * sinW;
  return (reNum * reNum + imNum * imNum) / (reDen * reDen + imDen * imDen);
}

// Angular frequency of hz at the processing rate, in radians per sample.
double omegaOf(float hz);

// Magnitude response of the chained sections at hz, in dB.
float responseDb(std::span<const BiquadSection> sections, float hz);
inline float responseDb(const BiquadSection* sections, int count, float hz) {
  return responseDb(std::span<const BiquadSection>(sections, std::size_t(count)), hz);
}

}  // namespace kdsp::display
