// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement analyser's shown spectrum as CSV text for other measurement programs.
#pragma once

#include <span>
#include <string>

namespace kdsp::display {

// A header line "Frequency (Hz),Level (dBFS)", then one line per bin whose frequency lies in
// lowHz..highHz: the bin's frequency with three decimals and its level with two, a point as the
// decimal mark whatever the locale, lines ending in "\n". Bin k lies at k x binSpacing.
std::string SpectrumCsv(std::span<const float> levels, double binSpacing, double lowHz,
                        double highHz);

}  // namespace kdsp::display
