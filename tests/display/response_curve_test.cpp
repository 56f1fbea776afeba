// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the chart-point evaluator against the per-frequency response.
#include "display/response_curve.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/frequency_grid.h"

namespace kdsp::display {
namespace {

using settings::CrossoverFilter;
using settings::EqBand;

constexpr float kAgreementDb = 1e-4f;

TEST(ChartFrequencies, RunFrom20HzOverTheGridTo23kHz) {
  const auto& hz = chartFrequencies();
  EXPECT_EQ(hz.front(), 20.0f);
  EXPECT_EQ(hz.back(), 23000.0f);
  for (int step = 0; step < settings::kGridSteps; ++step)
    EXPECT_EQ(hz[step + 1], settings::gridFrequency(step));
}

void expectAgreement(std::span<const BiquadSection> sections, const ChartResponse& curve,
                     const char* what) {
  const auto& hz = chartFrequencies();
  for (int i = 0; i < kChartPoints; ++i) {
    ASSERT_NEAR(curve.db[i], responseDb(sections, hz[i]), kAgreementDb) << what << " at " << hz[i];
  }
}

TEST(ChartResponse, BandsAgreeWithResponseDb) {
  for (std::uint8_t type : {0, 1, 2, 4}) {
    for (std::int16_t gain : {-240, -35, 1, 120, 400}) {
      for (std::uint16_t step : {0, 57, 203, 330, 359}) {
        for (std::uint8_t bandwidth : {0, 9, 39, 255}) {
          const EqBand band{gain, step, bandwidth, type, 1, 0};
          ChartResponse curve;
          addBand(band, curve);
          const BiquadSection q = designEqBand(band);
          expectAgreement({&q, 1}, curve, "band");
        }
      }
    }
  }
}

TEST(ChartResponse, FiltersAgreeWithResponseDb) {
  for (std::uint8_t family : {0, 1, 2}) {
    for (std::uint8_t direction : {0, 1}) {
      for (std::uint8_t order = 0; order < 4; ++order) {
        for (std::uint16_t step : {0, 1, 40, 203, 300, 358, 359}) {
          const CrossoverFilter f{step, family, direction, order, 0};
          ChartResponse curve;
          addCrossover(f, curve);
          expectAgreement(designCrossover(f).view(), curve, "filter");
        }
      }
    }
  }
}

TEST(ChartResponse, FlatCurvesAddExactlyNothing) {
  ChartResponse curve;
  for (int i = 0; i < kChartPoints; ++i) curve.db[i] = 0.1f * float(i) - 7.3f;
  const ChartResponse before = curve;
  addBand(EqBand{0, 120, 9, settings::kLowShelf, 1, 0}, curve);
  addCrossover(CrossoverFilter{0, settings::kBessel, settings::kHighPass, 3, 0}, curve);
  addCrossover(CrossoverFilter{359, settings::kButterworth, settings::kLowPass, 1, 0}, curve);
  EXPECT_EQ(curve.db, before.db);
}

TEST(ChartResponse, CurvesAccumulate) {
  const EqBand bands[] = {{60, 100, 9, settings::kPeaking, 1, 0},
                          {-90, 250, 19, settings::kHighShelf, 1, 0}};
  const CrossoverFilter highPass{30, settings::kLinkwitzRiley, settings::kHighPass, 3, 0};
  ChartResponse total;
  ChartResponse separate[3];
  for (int i = 0; i < 2; ++i) {
    addBand(bands[i], total);
    addBand(bands[i], separate[i]);
  }
  addCrossover(highPass, total);
  addCrossover(highPass, separate[2]);
  ChartResponse summed;
  for (const ChartResponse& c : separate) addResponse(c, summed);
  const auto& hz = chartFrequencies();
  for (int i = 0; i < kChartPoints; ++i) {
    EXPECT_NEAR(total.db[i], summed.db[i], 1e-5f);
    std::vector<BiquadSection> all = {designEqBand(bands[0]), designEqBand(bands[1])};
    const CrossoverDesign design = designCrossover(highPass);
    for (const BiquadSection& q : design.view()) all.push_back(q);
    EXPECT_NEAR(total.db[i], responseDb(all, hz[i]), 2 * kAgreementDb) << hz[i];
  }
}

}  // namespace
}  // namespace kdsp::display
