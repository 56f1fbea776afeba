// SPDX-License-Identifier: GPL-3.0-or-later
// Reading typed values.
#include "skin/typed_text.h"

#include <charconv>
#include <cmath>
#include <string>

#include "settings/frequency_grid.h"

namespace kdsp::skin {

std::optional<long> ParseBoxInteger(std::string_view text) {
  long value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [at, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || at != end || begin == end) return std::nullopt;
  return value;
}

std::optional<double> ParseDecimal(std::string_view text) {
  // from_chars reads the full stop whatever the C locale says, and Qt sets that locale to the
  // desktop's: strtod would refuse "2.5" under a comma locale and "2,5" once the comma became a
  // full stop.
  std::string plain(text);
  for (char& c : plain)
    if (c == ',') c = '.';
  const char* begin = plain.data();
  const char* end = begin + plain.size();
  // One sign at most: "+-2" is no number.
  if (begin != end && *begin == '+') ++begin;
  if (begin == end || (begin != plain.data() && *begin == '-')) return std::nullopt;
  double value = 0;
  const auto [at, error] = std::from_chars(begin, end, value, std::chars_format::fixed);
  if (error != std::errc() || at != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> TypedFrequencyStep(std::string_view text) {
  const auto hz = ParseDecimal(text);
  if (!hz || *hz < settings::gridFrequency(0) || *hz > settings::gridFrequency(settings::kLastStep))
    return std::nullopt;
  return settings::gridStepAtOrAbove(static_cast<float>(*hz));
}

}  // namespace kdsp::skin
