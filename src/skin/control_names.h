// SPDX-License-Identifier: GPL-3.0-or-later
// How the names of controls are spelt: printed captions as a user reads them aloud, and the
// words of a name joined. The windows name the control under a point with these, so an edit can
// be called after what the user pressed ("Main Music fader", "Mic Equalizer band 3").
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kdsp::skin {

// A caption the panel prints in capitals, title-cased: "OUT L" reads "Out L", "DELAY R" reads
// "Delay R", "music" reads "Music". Abbreviations of one or two letters ("EQ", "L", "FB-EX")
// stay in capitals; the parts of a hyphenated word are taken one by one.
std::string TitleCase(std::string_view printed);

// The non-empty words, one space between each.
std::string JoinWords(std::initializer_list<std::string_view> words);

}  // namespace kdsp::skin
