// Reading typed values.
#include "skin/typed_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
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
  std::string plain(text);
  for (char& c : plain)
    if (c == ',') c = '.';
  if (plain.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(plain.c_str(), &end);
  if (end != plain.c_str() + plain.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> TypedFrequencyStep(std::string_view text) {
  const auto hz = ParseDecimal(text);
  if (!hz || *hz < settings::gridFrequency(0) || *hz > settings::gridFrequency(settings::kLastStep))
    return std::nullopt;
  return settings::gridStepAtOrAbove(static_cast<float>(*hz));
}

}  // namespace kdsp::skin
