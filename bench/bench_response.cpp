// SPDX-License-Identifier: GPL-3.0-or-later
// Filter response of a whole response chart: 15 bands and an 8th-order high-pass and low-pass
// filter, designed and evaluated at the chart's 362 frequencies as one repaint does it.
#include <benchmark/benchmark.h>

#include <array>

#include "display/bessel_correction.h"
#include "display/filter_design.h"
#include "display/response_curve.h"

namespace kdsp::display {
namespace {

struct Chart {
  std::array<settings::EqBand, 15> bands;
  settings::CrossoverFilter highPass;
  settings::CrossoverFilter lowPass;
};

// A busy microphone page: every band boosted or cut, shelves at both ends, Bessel filters.
Chart busyChart() {
  Chart chart{};
  for (int i = 0; i < 15; ++i) {
    const std::uint8_t type = i == 0    ? settings::kLowShelf
                              : i == 14 ? settings::kHighShelf
                                        : settings::kPeaking;
    const auto gain = static_cast<std::int16_t>((i % 2 ? -1 : 1) * (15 + 11 * i));
    const auto step = static_cast<std::uint16_t>(20 + 22 * i);
    const auto bandwidth = static_cast<std::uint8_t>(4 + 2 * i);
    chart.bands[i] = {gain, step, bandwidth, type, 1, 0};
  }
  chart.highPass = {40, settings::kBessel, settings::kHighPass, 3, 0};
  chart.lowPass = {330, settings::kBessel, settings::kLowPass, 3, 0};
  return chart;
}

// As the chart needs it: each curve on its own (for its area) and their sum (for the line).
void BM_ChartFast(benchmark::State& state) {
  const Chart chart = busyChart();
  besselCorrectionTable();
  for (auto _ : state) {
    std::array<ChartResponse, 17> curves{};
    ChartResponse sum;
    for (int i = 0; i < 15; ++i) addBand(chart.bands[i], curves[i]);
    addCrossover(chart.highPass, curves[15]);
    addCrossover(chart.lowPass, curves[16]);
    for (const ChartResponse& c : curves) addResponse(c, sum);
    benchmark::DoNotOptimize(curves);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_ChartFast)->Unit(benchmark::kMicrosecond);

// One responseDb call per point and curve, designs included.
void BM_ChartPerPoint(benchmark::State& state) {
  const Chart chart = busyChart();
  const auto& hz = chartFrequencies();
  besselCorrectionTable();
  for (auto _ : state) {
    std::array<ChartResponse, 17> curves{};
    ChartResponse sum;
    for (int i = 0; i < 15; ++i) {
      const BiquadSection q = designEqBand(chart.bands[i]);
      for (int p = 0; p < kChartPoints; ++p) curves[i].db[p] = responseDb(&q, 1, hz[p]);
    }
    const CrossoverDesign filters[] = {designCrossover(chart.highPass),
                                       designCrossover(chart.lowPass)};
    for (int f = 0; f < 2; ++f) {
      for (int p = 0; p < kChartPoints; ++p) {
        curves[15 + f].db[p] = responseDb(filters[f].view(), hz[p]);
      }
    }
    for (const ChartResponse& c : curves) addResponse(c, sum);
    benchmark::DoNotOptimize(curves);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_ChartPerPoint)->Unit(benchmark::kMicrosecond);

// The one-off cost of working out the Bessel correction table on first use.
void BM_BesselTable(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(computeBesselCorrectionTable());
}
BENCHMARK(BM_BesselTable)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kdsp::display
