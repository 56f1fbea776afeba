// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the equaliser and crossover designs and of their response in dB.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "display/bessel_correction.h"
#include "display/filter_design.h"
#include "display/response_curve.h"
#include "settings/frequency_grid.h"

namespace kdsp::display {
namespace {

using settings::CrossoverFilter;
using settings::EqBand;

constexpr std::uint8_t kAllFamilies[] = {settings::kButterworth, settings::kBessel,
                                         settings::kLinkwitzRiley, 7};
constexpr std::uint8_t kBothDirections[] = {settings::kHighPass, settings::kLowPass};

EqBand band(std::int16_t gain, std::uint16_t step, std::uint8_t bandwidth, std::uint8_t type) {
  return EqBand{gain, step, bandwidth, type, 1, 0};
}

CrossoverFilter filter(std::uint16_t step, std::uint8_t family, std::uint8_t direction,
                       std::uint8_t order) {
  return CrossoverFilter{step, family, direction, order, 0};
}

float bandDb(const EqBand& b, float hz) {
  const BiquadSection q = designEqBand(b);
  return responseDb(&q, 1, hz);
}

float filterDb(const CrossoverFilter& f, float hz) {
  return responseDb(designCrossover(f).view(), hz);
}

bool sameBits(const CrossoverDesign& a, const CrossoverDesign& b) {
  return a.count == b.count && std::memcmp(a.sections.data(), b.sections.data(),
                                           sizeof(BiquadSection) * std::size_t(a.count)) == 0;
}

TEST(BandwidthQ, TellingValues) {
  EXPECT_NEAR(bandwidthQ(5), 28.85f, 0.005f);    // step 0
  EXPECT_NEAR(bandwidthQ(100), 1.4142f, 1e-4f);  // step 19, one octave
  EXPECT_NEAR(bandwidthQ(200), 0.6667f, 1e-4f);  // step 39, two octaves
}

TEST(EqBand, ZeroGainIsFlatWhateverTheRest) {
  for (std::uint8_t type : {0, 1, 2, 3, 255}) {
    for (std::uint16_t step : {0, 120, 203, 359}) {
      for (std::uint8_t bandwidth : {0, 19, 255}) {
        const BiquadSection q = designEqBand(band(0, step, bandwidth, type));
        EXPECT_TRUE(q.isIdentity());
        for (float hz : chartFrequencies()) ASSERT_EQ(responseDb(&q, 1, hz), 0.0f) << hz;
      }
    }
  }
}

TEST(EqBand, OnByteLivesInTheThirdByteOfTheSpareWord) {
  for (std::int16_t gain : {0, 60}) {
    for (std::uint8_t on : {0, 1}) {
      EqBand b = band(gain, 203, 9, settings::kPeaking);
      b.on = on;
      const BiquadSection q = designEqBand(b);
      std::uint8_t word[4];
      std::memcpy(word, reinterpret_cast<const char*>(&q) + 12, 4);
      EXPECT_EQ(word[0], 0);
      EXPECT_EQ(word[1], 0);
      EXPECT_EQ(word[2], on);
      EXPECT_EQ(word[3], 0);
    }
  }
}

TEST(EqBand, PeakingReadsItsGainAtItsFrequency) {
  EXPECT_NEAR(bandDb(band(120, 203, 19, settings::kPeaking), 1000.0f), 12.0f, 1e-4f);
  EXPECT_NEAR(bandDb(band(-240, 203, 19, settings::kPeaking), 1000.0f), -24.0f, 1e-4f);
  // The narrowest band's float coefficients are the least exact.
  EXPECT_NEAR(bandDb(band(35, 131, 0, settings::kPeaking), settings::gridFrequency(131)), 3.5f,
              5e-4f);
}

TEST(EqBand, PeakingBandwidthSpansHalfTheGainInOctaves) {
  // The band's edges, half an octave either side for a one-octave band, read half its gain.
  for (int bandwidth : {9, 19, 39}) {
    const float octaves = (bandwidth + 1) * 0.05f;
    const EqBand b = band(120, 203, std::uint8_t(bandwidth), settings::kPeaking);
    EXPECT_NEAR(bandDb(b, 1000.0f * std::exp2(octaves / 2)), 6.0f, 0.1f) << bandwidth;
    EXPECT_NEAR(bandDb(b, 1000.0f * std::exp2(-octaves / 2)), 6.0f, 0.1f) << bandwidth;
  }
}

TEST(EqBand, UnknownTypesArePeakingWithTheShelfQ) {
  const EqBand narrow = band(120, 203, 0, 3);
  const EqBand wide = band(120, 203, 39, 255);
  const BiquadSection a = designEqBand(narrow);
  const BiquadSection b = designEqBand(wide);
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);  // the bandwidth is not read
  EXPECT_NEAR(responseDb(&a, 1, 1000.0f), 12.0f, 1e-4f);
  // Q = 0.707 is a little wider than the two-octave band (Q = 0.667 is wider still).
  const float edge = bandDb(narrow, 2000.0f);
  EXPECT_GT(edge, bandDb(band(120, 203, 19, settings::kPeaking), 2000.0f));
  EXPECT_LT(edge, bandDb(band(120, 203, 39, settings::kPeaking), 2000.0f));
}

TEST(EqBand, ShelvesLiftTheirSideOnly) {
  struct Row {
    std::uint8_t type;
    std::int16_t gain;
    float lowDb;
    float highDb;
  };
  const Row rows[] = {
      {settings::kLowShelf, 60, 6.0f, 0.0f},
      {settings::kLowShelf, -120, -12.0f, 0.0f},
      {settings::kHighShelf, 60, 0.0f, 6.0f},
      {settings::kHighShelf, -120, 0.0f, -12.0f},
  };
  for (const Row& r : rows) {
    const EqBand b = band(r.gain, 203, 9, r.type);
    EXPECT_NEAR(bandDb(b, 20.0f), r.lowDb, 0.05f) << int(r.type) << " " << r.gain;
    EXPECT_NEAR(bandDb(b, 20000.0f), r.highDb, 0.05f) << int(r.type) << " " << r.gain;
    EXPECT_NEAR(bandDb(b, 1000.0f), r.gain * 0.05f, 0.05f) << "half the gain at the corner";
  }
}

TEST(Crossover, SectionCountFollowsTheOrder) {
  for (std::uint8_t order : {0, 1, 2, 3, 4, 255}) {
    const CrossoverFilter f = filter(150, settings::kButterworth, settings::kLowPass, order);
    EXPECT_EQ(designCrossover(f).count, order == 3 ? 4 : 2) << int(order);
    EXPECT_EQ(crossoverSectionCount(f), order == 3 ? 4 : 2);
  }
  for (std::uint8_t family : kAllFamilies) {
    EXPECT_TRUE(
        designCrossover(filter(150, family, settings::kHighPass, 0)).sections[1].isIdentity());
  }
}

TEST(Crossover, SwitchedOffFiltersAreFlatInEveryFamilyAndOrder) {
  const CrossoverFilter off[] = {filter(0, 0, settings::kHighPass, 0),
                                 filter(359, 0, settings::kLowPass, 0),
                                 filter(400, 0, settings::kLowPass, 0)};
  for (CrossoverFilter f : off) {
    for (std::uint8_t family : kAllFamilies) {
      for (std::uint8_t order = 0; order < 4; ++order) {
        f.family = family;
        f.order = order;
        const CrossoverDesign d = designCrossover(f);
        ASSERT_EQ(d.count, order == 3 ? 4 : 2);
        for (const BiquadSection& q : d.view()) EXPECT_TRUE(q.isIdentity());
        for (float hz : chartFrequencies()) ASSERT_EQ(responseDb(d.view(), hz), 0.0f);
      }
    }
  }
}

// The sections are bilinear designs warped onto their corner, so a Butterworth filter of order n
// follows 1 / (1 + W^2n) with W = tan(w/2) / tan(w0/2) exactly (W inverted for a high-pass).
TEST(Crossover, ButterworthFollowsItsMagnitudeAtEveryOrder) {
  const int orders[] = {2, 3, 4, 8};
  for (std::uint8_t direction : kBothDirections) {
    for (std::uint8_t order = 0; order < 4; ++order) {
      for (std::uint16_t step : {120, 203, 300}) {
        const CrossoverFilter f = filter(step, settings::kButterworth, direction, order);
        for (float hz : {50.0f, 400.0f, 1000.0f, 2500.0f, 12000.0f}) {
          const double warp = std::tan(std::numbers::pi * hz / 48000.0) /
                              std::tan(std::numbers::pi * settings::gridFrequency(step) / 48000.0);
          const double ratio = direction == settings::kLowPass ? warp : 1.0 / warp;
          const double expected = -10.0 * std::log10(1.0 + std::pow(ratio, 2 * orders[order]));
          if (expected < -150.0) continue;
          EXPECT_NEAR(filterDb(f, hz), expected, 0.01 + 1e-4 * std::abs(expected))
              << "direction " << int(direction) << " order " << orders[order] << " step " << step
              << " at " << hz;
        }
      }
    }
  }
}

TEST(Crossover, CornerValuesAt1kHz) {
  struct Row {
    std::uint8_t family;
    std::uint8_t order;
    float db;
    float tolerance;
  };
  const Row rows[] = {
      {settings::kButterworth, 0, -3.0103f, 0.001f},
      {settings::kButterworth, 3, -3.0103f, 0.001f},
      {settings::kLinkwitzRiley, 0, -6.0206f, 0.001f},
      {settings::kLinkwitzRiley, 1, -6.0206f, 0.001f},
      {settings::kLinkwitzRiley, 2, -6.0206f, 0.001f},
      {9, 2, -6.0206f, 0.001f},  // any other family value is a Linkwitz-Riley
      // Q = 0.54 and 1.34 twice: 40 log10(0.54 * 1.34).
      {settings::kLinkwitzRiley, 3, -5.6206f, 0.001f},
      {settings::kBessel, 0, -3.0f, 0.01f},
      {settings::kBessel, 1, -3.0f, 0.01f},
      {settings::kBessel, 2, -3.0f, 0.01f},
      {settings::kBessel, 3, -3.0f, 0.01f},
  };
  for (const Row& r : rows) {
    for (std::uint8_t direction : kBothDirections) {
      EXPECT_NEAR(filterDb(filter(203, r.family, direction, r.order), 1000.0f), r.db, r.tolerance)
          << "family " << int(r.family) << " order " << int(r.order) << " direction "
          << int(direction);
    }
  }
}

TEST(Crossover, PassBandIsUnityInEveryFamilyAndOrder) {
  // The Bessel sections' own gains (1/t, 1/p) only cancel across the whole filter.
  for (std::uint8_t family : kAllFamilies) {
    for (std::uint8_t order = 0; order < 4; ++order) {
      EXPECT_NEAR(filterDb(filter(340, family, settings::kLowPass, order), 20.0f), 0.0f, 0.001f)
          << int(family) << " " << int(order);
      EXPECT_NEAR(filterDb(filter(20, family, settings::kHighPass, order), 23000.0f), 0.0f, 0.001f)
          << int(family) << " " << int(order);
    }
  }
}

TEST(Crossover, BesselReadsMinus3dBAtItsOwnStep) {
  for (std::uint8_t direction : kBothDirections) {
    for (std::uint8_t order = 0; order < 4; ++order) {
      for (int step : {202, 203, 204, 250, 300, 330, 350, 358, 359}) {
        if (direction == settings::kLowPass && step == 359) continue;  // switched off
        const CrossoverFilter f = filter(std::uint16_t(step), settings::kBessel, direction, order);
        EXPECT_NEAR(filterDb(f, settings::gridFrequency(step)), -3.0f, 0.01f)
            << "direction " << int(direction) << " order " << int(order) << " step " << step;
      }
    }
  }
}

TEST(Crossover, BesselAtHighStepsWouldMissWithThe1kHzCorrection) {
  // Guards the test above: near the top the correction moves well away from its 1 kHz value.
  for (std::uint8_t direction : kBothDirections) {
    const CrossoverFilter f = filter(340, settings::kBessel, direction, 3);
    CrossoverFilter at1k = f;
    at1k.frequency = 203;
    const float k = 1.0f + float(besselCorrection(at1k)) * 0.0001f;
    const float w0 = direction == settings::kLowPass ? settings::stepOmega(340) * k
                                                     : settings::stepOmega(340) / k;
    const float missed = responseDb(designCrossoverAt(f, w0).view(), settings::gridFrequency(340));
    EXPECT_GT(std::abs(missed + 3.0f), 0.5f) << int(direction);
  }
}

TEST(Crossover, OutOfRangeFieldsStayInsideTheTables) {
  // Orders past the 8th design as the 2nd order; steps past the top design as the top step.
  for (std::uint8_t family : kAllFamilies) {
    for (std::uint8_t direction : kBothDirections) {
      EXPECT_TRUE(sameBits(designCrossover(filter(150, family, direction, 200)),
                           designCrossover(filter(150, family, direction, 0))));
    }
    EXPECT_TRUE(sameBits(designCrossover(filter(65535, family, settings::kHighPass, 3)),
                         designCrossover(filter(359, family, settings::kHighPass, 3))));
  }
  // A direction byte other than 0 is a low-pass filter, switched off at the top step.
  EXPECT_TRUE(sameBits(designCrossover(filter(250, settings::kBessel, 5, 1)),
                       designCrossover(filter(250, settings::kBessel, settings::kLowPass, 1))));
}

TEST(Response, SectionsAddInDecibels) {
  const BiquadSection sections[] = {designEqBand(band(90, 150, 9, settings::kPeaking)),
                                    designEqBand(band(-60, 260, 19, settings::kHighShelf))};
  EXPECT_EQ(responseDb(sections, 0, 1000.0f), 0.0f);
  for (float hz : {20.0f, 500.0f, 3000.0f, 15000.0f}) {
    EXPECT_NEAR(responseDb(sections, 2, hz),
                responseDb(&sections[0], 1, hz) + responseDb(&sections[1], 1, hz), 1e-5f);
  }
}

}  // namespace
}  // namespace kdsp::display
