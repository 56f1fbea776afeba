// SPDX-License-Identifier: GPL-3.0-or-later
// Filling a pattern in and reading its values back out of the message.
#include "core/composed_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kdsp::core {
namespace {

using Values = std::vector<std::string>;

TEST(ComposedTextTest, FillInPutsEachValueAtItsNumber) {
  const struct {
    std::string_view pattern;
    Values values;
    std::string expected;
  } cases[] = {
      {"Can't write %1: %2",
       {"/a/b.aex", "No space left on device"},
       "Can't write /a/b.aex: No space left on device"},
      {"%2 before %1", {"one", "two"}, "two before one"},
      {"%1 and %1 again", {"x"}, "x and x again"},
      {"100% of %1, %3 missing", {"all"}, "100% of all, %3 missing"},
      {"%0 and %a stay", {"v"}, "%0 and %a stay"},
      {"ends in %", {}, "ends in %"},
      {"%1", {"%2 held in a value"}, "%2 held in a value"},
      {"no placeholders", {"unused"}, "no placeholders"},
  };
  for (const auto& c : cases) EXPECT_EQ(FillIn(c.pattern, c.values), c.expected) << c.pattern;
  EXPECT_EQ(FillIn("line %1: %2", {"3", "text"}), "line 3: text");
}

TEST(ComposedTextTest, ValuesInReadsBackWhatFillInPutIn) {
  const struct {
    std::string_view pattern;
    std::string_view text;
    std::optional<Values> expected;
  } cases[] = {
      {"Can't write %1: %2", "Can't write /a/b.aex: No space left on device",
       Values{"/a/b.aex", "No space left on device"}},
      // The separator inside a value goes to the last placeholder.
      {"Can't write %1: %2", "Can't write /a: b.aex: full", Values{"/a", "b.aex: full"}},
      {"line %1: %2 in \"%3\"", "line 7: 'Q' given twice in \"Filter 1: ON PK Q 1 Q 2\"",
       Values{"7", "'Q' given twice", "Filter 1: ON PK Q 1 Q 2"}},
      {"%2 before %1", "two before one", Values{"one", "two"}},
      {"%1 and %1 again", "x and x again", Values{"x"}},
      {"%1 and %1 again", "x and y again", std::nullopt},
      {"Can't read %1", "Can't read ", Values{""}},
      {"Can't read %1", "Can't write x", std::nullopt},
      {"Can't read %1", "Can't read x\n", Values{"x\n"}},
      {"no placeholders", "no placeholders", std::nullopt},
      {"%1: %2", "no separator", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ValuesIn(c.pattern, c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace kdsp::core
