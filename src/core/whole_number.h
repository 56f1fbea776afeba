// SPDX-License-Identifier: GPL-3.0-or-later
// The one way a number typed by the user is read, on every command line and in every address
// (a port, a slot, a password, a count): the whole text as an integer within the bounds the
// caller gives, written in digits and nothing else. No blanks, no '+', no second sign and no
// base the caller did not ask for, so "--5", "+9" and " 9" are no numbers; a value too large for
// any integer is out of range, never wrapped.
#pragma once

#include <cstdint>
#include <string_view>

namespace kdsp::core {

enum class NumberProblem : std::uint8_t {
  kNone,
  kNotANumber,  // anything but the digits of the base (and a '-' where negatives are allowed)
  kOutOfRange,  // a number, but below low or above high
};

struct WholeNumber {
  std::int64_t value = 0;  // meaningful only without a problem
  NumberProblem problem = NumberProblem::kNotANumber;
  explicit operator bool() const { return problem == NumberProblem::kNone; }
};

// The whole text as an integer in [low, high]: one or more digits of the base (10 or 16, the
// hexadecimal ones in either case and without "0x"), after one leading '-' only when low is
// negative and the base is 10.
WholeNumber ReadWholeNumber(std::string_view text, std::int64_t low, std::int64_t high,
                            int base = 10);

}  // namespace kdsp::core
