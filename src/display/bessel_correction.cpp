// SPDX-License-Identifier: GPL-3.0-or-later
// The Bessel frequency correction table, worked out once by bisection.
#include "display/bessel_correction.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "settings/frequency_grid.h"

namespace kdsp::display {
namespace {

constexpr float kCorrectionUnit = 0.0001f;
constexpr double kTargetDb = -3.0;
constexpr double kLowestFactor = 1.0;
constexpr double kHighestFactor = 4.0;
// (4 - 1) / 2^20 is well below the table's resolution of 0.0001.
constexpr int kHalvings = 20;

float correctedOmega(float w0, bool lowPass, float k) {
  return lowPass ? w0 * k : w0 / k;
}

std::uint16_t solveEntry(bool lowPass, int order, int step) {
  settings::CrossoverFilter filter{};
  filter.family = settings::kBessel;
  filter.direction = lowPass ? settings::kLowPass : settings::kHighPass;
  filter.order = static_cast<std::uint8_t>(order);
  const float w0 = settings::stepOmega(step);
  const float hz = settings::gridFrequency(step);
  double low = kLowestFactor;
  double high = kHighestFactor;
  for (int i = 0; i < kHalvings; ++i) {
    const double k = 0.5 * (low + high);
    const float corrected = correctedOmega(w0, lowPass, static_cast<float>(k));
    // At or past Nyquist the bilinear design folds over: treat it as a corner set too high.
    const bool tooHigh = corrected >= std::numbers::pi_v<float> ||
                         responseDb(designCrossoverAt(filter, corrected).view(), hz) > kTargetDb;
    (tooHigh ? high : low) = k;
  }
  const double k = 0.5 * (low + high);
  return static_cast<std::uint16_t>(std::lround((k - 1.0) * 10000.0));
}

}  // namespace

BesselCorrectionTable computeBesselCorrectionTable() {
  BesselCorrectionTable table{};
  for (const bool lowPass : {true, false}) {
    for (int order = 0; order < kFilterOrders; ++order) {
      for (int j = 0; j < kBesselSteps; ++j) {
        table[besselBlock(lowPass)][order][j] = solveEntry(lowPass, order, settings::kStep1kHz + j);
      }
    }
  }
  return table;
}

const BesselCorrectionTable& besselCorrectionTable() {
  static const BesselCorrectionTable table = computeBesselCorrectionTable();
  return table;
}

std::uint16_t besselCorrection(const settings::CrossoverFilter& filter) {
  const int row = std::clamp(int{filter.frequency} - settings::kStep1kHz, 0, kBesselSteps - 1);
  return besselCorrectionTable()[besselBlock(isLowPass(filter))][orderIndex(filter.order)][row];
}

float besselOmega(const settings::CrossoverFilter& filter) {
  const float k = 1.0f + static_cast<float>(besselCorrection(filter)) * kCorrectionUnit;
  return correctedOmega(settings::stepOmega(filter.frequency), isLowPass(filter), k);
}

}  // namespace kdsp::display
