// SPDX-License-Identifier: GPL-3.0-or-later
// Reading what a user typed into a value box: a whole number, a decimal number with either
// decimal separator, a frequency in Hz as a grid step. Plain functions, so they are fuzzed
// without a window.
#pragma once

#include <optional>
#include <string_view>

namespace kdsp::skin {

// The whole number the text holds, if it holds exactly one (an optional leading + or -).
std::optional<long> ParseBoxInteger(std::string_view text);
// The decimal number the text holds, with "." or "," as the separator whatever the C locale;
// finite only, no exponent, one leading sign at most.
std::optional<double> ParseDecimal(std::string_view text);
// The grid step of a typed frequency in Hz, when it lies within the grid.
std::optional<int> TypedFrequencyStep(std::string_view text);

}  // namespace kdsp::skin
