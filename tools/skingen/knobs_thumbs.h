// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures that move: the knob (drawn turned by the windows) and the fader thumbs.
#pragma once

#include <QImage>

namespace kdsp::skingen {

// The knob's picture, its pointer straight up; the windows turn it about its centre.
QImage KnobPicture(int size, int scale);
// A fader thumb: a ridged cap with an index line across its middle, lit while the fader has the
// keyboard.
QImage ThumbPicture(int width, int height, bool active, int scale);

}  // namespace kdsp::skingen
