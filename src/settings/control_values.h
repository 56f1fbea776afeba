// SPDX-License-Identifier: GPL-3.0-or-later
// The working settings that live in the controls rather than in the parameter block: the
// processor is told them by their own records, and the block keeps only what they imply.
#pragma once

namespace kdsp::settings {

struct ControlValues {
  int echoDelayLr = 0;     // Echo page Delay L-R fader, -99..99
  int echoPreDelayLr = 0;  // Echo page Pre Delay L-R fader, -99..99
  int echoDirect = 80;     // Echo page Direct Volume fader, 0..80
  int micEqMode = 0;       // Mic Equalizer mode knob, 0..2

  friend bool operator==(const ControlValues&, const ControlValues&) = default;
};

}  // namespace kdsp::settings
