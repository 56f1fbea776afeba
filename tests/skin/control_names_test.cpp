// SPDX-License-Identifier: GPL-3.0-or-later
// How printed captions become the words of a control's name.
#include "skin/control_names.h"

#include <gtest/gtest.h>

namespace kdsp::skin {
namespace {

TEST(ControlNames, CapitalsReadAsTitlesAndShortAbbreviationsStay) {
  struct Case {
    const char* printed;
    const char* read;
  };
  const Case cases[] = {
      {"MUSIC", "Music"},
      {"OUT L", "Out L"},
      {"DELAY R", "Delay R"},
      {"FB-EX", "FB-EX"},
      {"EQ MODE", "EQ Mode"},
      {"HIGH PASS", "High Pass"},
      {"MIC SETTING", "Mic Setting"},
      {"music", "Music"},
      {"mic", "Mic"},
      {"Mic Equalizer", "Mic Equalizer"},
      {"Delay L-R", "Delay L-R"},
      {"SUB-WOOFER", "Sub-Woofer"},
      {"", ""},
      {"A", "A"},
  };
  for (const Case& c : cases) EXPECT_EQ(TitleCase(c.printed), c.read) << c.printed;
}

TEST(ControlNames, WordsJoinWithOneSpaceAndEmptyOnesAreLeftOut) {
  EXPECT_EQ(JoinWords({"Main", "Music", "fader"}), "Main Music fader");
  EXPECT_EQ(JoinWords({"", "Mic Equalizer", "", "band", "3", ""}), "Mic Equalizer band 3");
  EXPECT_EQ(JoinWords({}), "");
}

}  // namespace
}  // namespace kdsp::skin
