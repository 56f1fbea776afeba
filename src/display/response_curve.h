// SPDX-License-Identifier: GPL-3.0-or-later
// Responses at the response chart's frequencies: 20 Hz, every grid step and 23 kHz. The chart and
// the command line both evaluate curves here, so they always draw and print the same numbers.
#pragma once

#include <array>
#include <span>

#include "display/filter_design.h"
#include "settings/parameter_block.h"

namespace kdsp::display {

inline constexpr int kChartPoints = 362;
inline constexpr float kChartLowHz = 20.0f;
inline constexpr float kChartHighHz = 23000.0f;

// kChartLowHz, settings::gridFrequency(0..359), kChartHighHz.
const std::array<float, kChartPoints>& chartFrequencies();

// A response in dB at each chart frequency; starts flat.
struct ChartResponse {
  std::array<float, kChartPoints> db{};
};

// Each adds its response in dB to `into`, point by point. Bands and filters are designed here and
// evaluated whether or not they are switched on or shown: that choice belongs to the caller.
void addSections(std::span<const BiquadSection> sections, ChartResponse& into);
void addBand(const settings::EqBand& band, ChartResponse& into);
void addCrossover(const settings::CrossoverFilter& filter, ChartResponse& into);
void addResponse(const ChartResponse& curve, ChartResponse& into);

}  // namespace kdsp::display
