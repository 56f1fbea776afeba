// SPDX-License-Identifier: GPL-3.0-or-later
// What the skin controls take from a window's input: rectangles hit-tested with both edges
// inclusive, and the few keys and characters they answer to.
#pragma once

#include <Qt>
#include <cstddef>
#include <cstdint>

#include "skin/skin_geometry.h"

namespace kdsp::skin {

// A control's rectangle in client pixels. A point on the right or bottom edge still hits it, so a
// rectangle w wide answers for w + 1 columns.
struct Rect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t w = 0;
  std::int32_t h = 0;

  constexpr bool contains(int px, int py) const {
    return x <= px && px <= x + w && y <= py && py <= y + h;
  }
};

// A layout table's rectangle as a control's rectangle.
constexpr Rect ToRect(const LayoutRect& r) {
  return {r.x, r.y, r.w, r.h};
}

// The arrow keys that step faders, knobs and the band boxes. Controls take Qt key codes; the
// processor's panels were described with virtual keys 38 and 40, mapped here and nowhere else.
inline constexpr int kKeyUp = Qt::Key_Up;
inline constexpr int kKeyDown = Qt::Key_Down;

constexpr int KeyFromVirtualKey(int virtualKey) {
  switch (virtualKey) {
    case 38:
      return kKeyUp;
    case 40:
      return kKeyDown;
    default:
      return 0;
  }
}

// Characters a value box treats as editing commands rather than text.
inline constexpr char kCharBackspace = 8;
inline constexpr char kCharEnter = 13;

// One wheel notch in the platform's wheel units.
inline constexpr int kWheelNotch = 120;

}  // namespace kdsp::skin
