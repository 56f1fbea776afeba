// SPDX-License-Identifier: GPL-3.0-or-later
// A page's response as comma-separated text, for measurement programs and spreadsheets to
// overlay on a measurement: the same curve the chart draws, at the deviation's finer points.
#pragma once

#include <string>

#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"

namespace kdsp::display {

// "Frequency (Hz),Response (dB)", then one "hz,db" row (two and three decimals, "." whatever
// the locale) for each point of DeviationFrequencies: 20 Hz to 20 kHz, 48 per octave.
std::string PageResponseCsv(const settings::ParameterBlock& block,
                            const settings::PageParameters& page, bool secondSet = false);

}  // namespace kdsp::display
