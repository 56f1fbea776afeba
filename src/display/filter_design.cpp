// SPDX-License-Identifier: GPL-3.0-or-later
// Design of equaliser bands and crossover filters into second-order sections, and their response.
#include "display/filter_design.h"

#include <cmath>

#include "display/bessel_correction.h"
#include "settings/frequency_grid.h"

namespace kdsp::display {
namespace {

constexpr float kShelfQ = 0.707f;
constexpr int kFamilies = 3;  // Butterworth, Bessel, Linkwitz-Riley

enum class Shape : std::uint8_t { kIdentity, kFirstOrder, kSecondOrder };

// One section of a prototype: a pole pair with m = twice its real part and t = its squared
// magnitude (kept as t - 1 and t + 1, the forms the design uses), or a real pole p.
struct PrototypeSection {
  Shape shape = Shape::kIdentity;
  float m = 0.0f;
  float tMinus1 = 0.0f;
  float tPlus1 = 0.0f;
  float p = 0.0f;
};

constexpr PrototypeSection pole(float m, float t = 1.0f) {
  return {Shape::kSecondOrder, m, t - 1.0f, t + 1.0f, 0.0f};
}
// The processor's 4th-order Bessel carries t - 1 and t + 1 as literals of their own.
constexpr PrototypeSection poleWithLiterals(float m, float tMinus1, float tPlus1) {
  return {Shape::kSecondOrder, m, tMinus1, tPlus1, 0.0f};
}
constexpr PrototypeSection realPole(float p) {
  return {Shape::kFirstOrder, 0.0f, 0.0f, 0.0f, p};
}
constexpr PrototypeSection kIdentity{};

using OrderPrototype = std::array<PrototypeSection, kMaxCrossoverSections>;

// [family][order]: the sections of each prototype; unused trailing sections stay identity.
constexpr std::array<std::array<OrderPrototype, kFilterOrders>, kFamilies> kPrototypes = {{
    {{
        // Butterworth
        {pole(1.4142135623730951f), kIdentity},
        {pole(1.0f), realPole(1.0f)},
        {pole(0.76536686473018f), pole(1.84775906502257f)},
        {pole(0.39018065f), pole(1.1111405f), pole(1.6629392f), pole(1.9615705f)},
    }},
    {{
        // Bessel, phase-normalised
        {pole(1.7320508f), kIdentity},
        {pole(1.4912808f, 1.0620221f), realPole(0.9416f)},
        {pole(1.8095176f, 0.8919854f), poleWithLiterals(1.3144224f, 0.121094584f, 2.121094584f)},
        {pole(1.8193663f, 0.8474733f), pole(1.6946502f, 0.8993521f), pole(1.4222764f, 1.0221778f),
         pole(0.9243481f, 1.2835648f)},
    }},
    {{
        // Linkwitz-Riley; the 8th order uses Q = 0.54 and Q = 1.34
        {pole(2.0f), kIdentity},
        {pole(1.4142135623730949f), realPole(1.0f)},
        {pole(1.4142135623730949f), pole(1.4142135623730949f)},
        {pole(1.8518518f), pole(0.7462686f), pole(1.8518518f), pole(0.7462686f)},
    }},
}};

int familyIndex(std::uint8_t family) {
  return family == settings::kButterworth ? 0 : family == settings::kBessel ? 1 : 2;
}

BiquadSection secondOrder(const PrototypeSection& section, bool lowPass, float s, float c) {
  BiquadSection q;
  const float r = section.m * s / 2.0f;
  const float oneMinusT = -section.tMinus1;
  if (lowPass) {
    const float e = (section.tPlus1 + oneMinusT * c) / 2.0f;
    const float a0 = e + r;
    q.b0 = (1.0f - c) / 2.0f / a0;
    q.b1 = (1.0f - c) / a0;
    q.b2 = q.b0;
    q.a1 = (section.tMinus1 - section.tPlus1 * c) / a0;
    q.a2 = (e - r) / a0;
  } else {
    const float e = (section.tPlus1 + section.tMinus1 * c) / 2.0f;
    const float a0 = e + r;
    q.b0 = (1.0f + c) / 2.0f / a0;
    q.b1 = -(1.0f + c) / a0;
    q.b2 = q.b0;
    q.a1 = (oneMinusT - section.tPlus1 * c) / a0;
    q.a2 = (e - r) / a0;
  }
  return q;
}

BiquadSection firstOrder(float p, bool lowPass, float s, float c) {
  BiquadSection q;
  if (lowPass) {
    const float d = 1.0f + c + p * s;
    q.b0 = s / d;
    q.b1 = q.b0;
    q.a1 = (p * s - 1.0f - c) / d;
  } else {
    const float d = s + p * (1.0f + c);
    q.b0 = (1.0f + c) / d;
    q.b1 = -(1.0f + c) / d;
    q.a1 = (s - p * (1.0f + c)) / d;
  }
  return q;
}

// The cookbook peaking and shelf sections at amplitude a = 10^(dB / 40); every intermediate
// value is a 32-bit float, as in the processor.
BiquadSection eqSection(std::uint8_t type, float a, float w0, float qFactor) {
  BiquadSection q;
  const float s = std::sin(w0);
  const float c = std::cos(w0);
  const float ap1 = a + 1.0f;
  const float am1 = a - 1.0f;

  if (type == settings::kLowShelf) {
    const float beta = s * std::sqrt(a) / qFactor;
    const float a0 = ap1 + am1 * c + beta;
    q.b0 = a * (ap1 - am1 * c + beta) / a0;
    q.b1 = 2.0f * a * (am1 - ap1 * c) / a0;
    q.b2 = a * (ap1 - am1 * c - beta) / a0;
    q.a1 = -2.0f * (am1 + ap1 * c) / a0;
    q.a2 = (ap1 + am1 * c - beta) / a0;
  } else if (type == settings::kHighShelf) {
    const float beta = s * std::sqrt(a) / qFactor;
    const float a0 = ap1 - am1 * c + beta;
    q.b0 = a * (ap1 + am1 * c + beta) / a0;
    q.b1 = -2.0f * a * (am1 + ap1 * c) / a0;
    q.b2 = a * (ap1 + am1 * c - beta) / a0;
    q.a1 = 2.0f * (am1 - ap1 * c) / a0;
    q.a2 = (ap1 - am1 * c - beta) / a0;
  } else {
    const float alpha = s / (2.0f * qFactor);
    const float a0 = 1.0f + alpha / a;
    q.b0 = (1.0f + alpha * a) / a0;
    q.b1 = -2.0f * c / a0;
    q.b2 = (1.0f - alpha * a) / a0;
    q.a1 = q.b1;
    q.a2 = (1.0f - alpha / a) / a0;
  }
  return q;
}

}  // namespace

float bandwidthQ(int hundredths) {
  const float octaves = static_cast<float>(hundredths) * 0.01f;
  const float p = std::pow(2.0f, octaves);
  return std::sqrt(p) / (p - 1.0f);
}

BiquadSection designEqBand(const settings::EqBand& band) {
  if (band.gain == 0) {
    BiquadSection identity;
    identity.spare[2] = band.on;
    return identity;
  }
  const float a = std::pow(10.0f, static_cast<float>(band.gain) * 0.1f * 0.025f);
  // Any type but the two shelves is a peaking band; only type 0 takes the band's own Q.
  const float qFactor =
      band.type == settings::kPeaking ? bandwidthQ((band.bandwidth + 1) * 5) : kShelfQ;
  BiquadSection q = eqSection(band.type, a, settings::stepOmega(band.frequency), qFactor);
  q.spare[2] = band.on;
  return q;
}

BiquadSection designEqSection(std::uint8_t type, float w0, float gainDb, float qFactor) {
  if (gainDb == 0.0f) return {};
  return eqSection(type, std::pow(10.0f, gainDb * 0.025f), w0, qFactor);
}

BiquadSection designPassSection(bool lowPass, float w0, float qFactor) {
  return secondOrder(pole(1.0f / qFactor), lowPass, std::sin(w0), std::cos(w0));
}

CrossoverDesign designCrossoverAt(const settings::CrossoverFilter& filter, float w0) {
  CrossoverDesign design;
  design.count = crossoverSectionCount(filter);
  const OrderPrototype& prototype =
      kPrototypes[familyIndex(filter.family)][orderIndex(filter.order)];
  const bool lowPass = isLowPass(filter);
  const float s = std::sin(w0);
  const float c = std::cos(w0);
  for (int i = 0; i < design.count; ++i) {
    const PrototypeSection& section = prototype[i];
    if (section.shape == Shape::kSecondOrder) {
      design.sections[i] = secondOrder(section, lowPass, s, c);
    } else if (section.shape == Shape::kFirstOrder) {
      design.sections[i] = firstOrder(section.p, lowPass, s, c);
    }
  }
  return design;
}

CrossoverDesign designCrossover(const settings::CrossoverFilter& filter) {
  const bool off =
      isLowPass(filter) ? filter.frequency >= settings::kLastStep : filter.frequency == 0;
  if (off) {
    CrossoverDesign identity;
    identity.count = crossoverSectionCount(filter);
    return identity;
  }
  const float w0 = filter.family == settings::kBessel ? besselOmega(filter)
                                                      : settings::stepOmega(filter.frequency);
  return designCrossoverAt(filter, w0);
}

double omegaOf(float hz) {
  return static_cast<double>(hz) * settings::kTwoPi * (1.0 / settings::kSampleRate);
}

float responseDb(std::span<const BiquadSection> sections, float hz) {
  const double w = omegaOf(hz);
  const double cosW = std::cos(w);
  const double sinW = std::sin(w);
  float sum = 0.0f;
  for (const BiquadSection& q : sections) {
    sum += 20.0 * std::log10(std::sqrt(sectionPowerGain(q, cosW, sinW)));
  }
  return sum;
}

}  // namespace kdsp::display
