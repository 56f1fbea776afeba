// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the numbers users type: digits only, within the caller's bounds, never wrapped.
#include "core/whole_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace kdsp::core {
namespace {

constexpr std::int64_t kLeast = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();

TEST(WholeNumberTest, ReadsDigitsWithinTheBoundsAndNothingElse) {
  using P = NumberProblem;
  const struct {
    const char* text;
    std::int64_t low, high;
    int base;
    P problem;
    std::int64_t value;
  } cases[] = {
      {"8899", 1, 65535, 10, P::kNone, 8899},
      {"0008899", 1, 65535, 10, P::kNone, 8899},
      {"65536", 1, 65535, 10, P::kOutOfRange, 0},
      {"-12", -24, 12, 10, P::kNone, -12},
      {"-3", 0, 9, 10, P::kNotANumber, 0},  // no sign where negatives are not allowed
      {"--5", -9, 9, 10, P::kNotANumber, 0},
      {"+9", 0, 99, 10, P::kNotANumber, 0},
      {" 9", 0, 99, 10, P::kNotANumber, 0},
      {"", 0, 99, 10, P::kNotANumber, 0},
      {"0x10", 0, 99, 10, P::kNotANumber, 0},
      {"9223372036854775807", 0, kMost, 10, P::kNone, kMost},
      {"9223372036854775808", 0, kMost, 10, P::kOutOfRange, 0},
      {"-9223372036854775808", kLeast, kMost, 10, P::kNone, kLeast},
      {"--9223372036854775808", kLeast, kMost, 10, P::kNotANumber, 0},
      {"99999999999999999999999", 0, 9, 10, P::kOutOfRange, 0},
      {"-5", -10, -7, 10, P::kOutOfRange, 0},
      {"E5", 0, 255, 16, P::kNone, 0xE5},
      {"0x21", 0, 255, 16, P::kNotANumber, 0},
      {"-1", -255, 255, 16, P::kNotANumber, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "'" << c.text << "' in " << c.low << ".." << c.high);
    const WholeNumber read = ReadWholeNumber(c.text, c.low, c.high, c.base);
    EXPECT_EQ(read.problem, c.problem);
    EXPECT_EQ(static_cast<bool>(read), c.problem == P::kNone);
    EXPECT_EQ(read ? read.value : 0, c.value);
  }
}

}  // namespace
}  // namespace kdsp::core
