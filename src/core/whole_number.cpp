// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a whole number digit by digit, stopping at the first step past the bounds.
#include "core/whole_number.h"

#include <algorithm>

namespace kdsp::core {
namespace {

// The digit's value in the base, or -1.
int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

}  // namespace

WholeNumber ReadWholeNumber(std::string_view text, std::int64_t low, std::int64_t high, int base) {
  WholeNumber read;
  if (base != 10 && base != 16) return read;
  const bool negative = base == 10 && low < 0 && text.starts_with('-');
  if (negative) text.remove_prefix(1);
  if (text.empty()) return read;
  // The magnitude is counted towards the bound on its side; once past it, the rest of the
  // digits only have to be digits.
  const std::uint64_t limit = negative
                                  ? 0 - static_cast<std::uint64_t>(std::min<std::int64_t>(low, 0))
                                  : static_cast<std::uint64_t>(std::max<std::int64_t>(high, 0));
  std::uint64_t magnitude = 0;
  bool beyond = false;
  for (const char c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return read;
    const auto b = static_cast<std::uint64_t>(base);
    const auto d = static_cast<std::uint64_t>(digit);
    if (!beyond && (d > limit || magnitude > (limit - d) / b)) beyond = true;
    if (!beyond) magnitude = magnitude * b + d;
  }
  read.problem = NumberProblem::kOutOfRange;
  if (beyond) return read;
  const std::int64_t value =
      negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  if (value < low || value > high) return read;
  read.value = value;
  read.problem = NumberProblem::kNone;
  return read;
}

}  // namespace kdsp::core
