// SPDX-License-Identifier: GPL-3.0-or-later
// The shown spectrum as CSV text.
#include "display/spectrum_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kdsp::display {
namespace {

// to_chars never looks at the locale, so a comma locale still writes "20.000".
void Append(std::string& out, double value, int decimals) {
  char text[64];
  const auto [end, ec] =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (ec == std::errc()) out.append(text, end);
}

}  // namespace

std::string SpectrumCsv(std::span<const float> levels, double binSpacing, double lowHz,
                        double highHz) {
  std::string out = "Frequency (Hz),Level (dBFS)\n";
  const auto first = static_cast<std::size_t>(std::max(0.0, std::ceil(lowHz / binSpacing)));
  for (std::size_t k = first; k < levels.size(); ++k) {
    const double hz = static_cast<double>(k) * binSpacing;
    if (hz > highHz) break;
    Append(out, hz, 3);
    out += ',';
    // "-0.00" would puzzle a reader; a level that rounds to zero is written "0.00".
    const double level = std::round(levels[k] * 100.0) / 100.0;
    Append(out, level == 0.0 ? 0.0 : level, 2);
    out += '\n';
  }
  return out;
}

}  // namespace kdsp::display
