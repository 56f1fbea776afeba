// SPDX-License-Identifier: GPL-3.0-or-later
// Evaluation of sections at the chart's fixed frequencies, with their cosines and sines kept.
#include "display/response_curve.h"

#include <cmath>

#include "settings/frequency_grid.h"

namespace kdsp::display {
namespace {

struct ChartPoints {
  std::array<float, kChartPoints> hz{};
  std::array<double, kChartPoints> cosW{};
  std::array<double, kChartPoints> sinW{};

  ChartPoints() {
    hz[0] = kChartLowHz;
    for (int step = 0; step < settings::kGridSteps; ++step)
      hz[step + 1] = settings::gridFrequency(step);
    hz[kChartPoints - 1] = kChartHighHz;
    for (int i = 0; i < kChartPoints; ++i) {
      const double w = omegaOf(hz[i]);
      cosW[i] = std::cos(w);
      sinW[i] = std::sin(w);
    }
  }
};

const ChartPoints& chartPoints() {
  static const ChartPoints points;
  return points;
}

}  // namespace

const std::array<float, kChartPoints>& chartFrequencies() {
  return chartPoints().hz;
}

void addSections(std::span<const BiquadSection> sections, ChartResponse& into) {
  const ChartPoints& points = chartPoints();
  // The power gains of the sections multiply, so each point needs one logarithm for the whole
  // chain rather than one per section; identity sections multiply by exactly 1 and are skipped.
  std::array<double, kChartPoints> gain;
  bool flat = true;
  for (const BiquadSection& q : sections) {
    if (q.isIdentity()) continue;
    if (flat) {
      for (int i = 0; i < kChartPoints; ++i) {
        gain[i] = sectionPowerGain(q, points.cosW[i], points.sinW[i]);
      }
      flat = false;
    } else {
      for (int i = 0; i < kChartPoints; ++i) {
        gain[i] *= sectionPowerGain(q, points.cosW[i], points.sinW[i]);
      }
    }
  }
  if (flat) return;
  for (int i = 0; i < kChartPoints; ++i) into.db[i] += 10.0 * std::log10(gain[i]);
}

void addBand(const settings::EqBand& band, ChartResponse& into) {
  const BiquadSection section = designEqBand(band);
  addSections({&section, 1}, into);
}

void addCrossover(const settings::CrossoverFilter& filter, ChartResponse& into) {
  addSections(designCrossover(filter).view(), into);
}

void addResponse(const ChartResponse& curve, ChartResponse& into) {
  for (int i = 0; i < kChartPoints; ++i) into.db[i] += curve.db[i];
}

}  // namespace kdsp::display
