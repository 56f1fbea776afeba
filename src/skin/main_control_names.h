// SPDX-License-Identifier: GPL-3.0-or-later
// The names a user knows the main window's controls by, made from the captions its background
// prints around them: the section's title, the control's caption and what kind of control it is
// ("Main Music fader", "Center Echo mute", "Main Out L switch", "Mic Setting FB-EX knob"). The
// Control section's faders are called the master levels ("Master Music fader").
#pragma once

#include <string>

namespace kdsp::skin {

// By row of the main window's tables; a fader's or knob's value box goes by the same name.
std::string MainFaderName(int fader);
std::string MainMuteName(int fader);
std::string MainOutputSwitchName(int row);
std::string MainKnobName(int knob);
std::string MainMaxVolumeName(int box);

}  // namespace kdsp::skin
