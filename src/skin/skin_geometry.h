// SPDX-License-Identifier: GPL-3.0-or-later
// Points, sizes and rectangles of the windows' geometry tables. Plain C++ with no Qt, so the
// windows, the skin generator and pure tests read the same tables.
#pragma once

namespace kdsp::skin {

struct LayoutPoint {
  int x = 0;
  int y = 0;
};

struct LayoutSize {
  int w = 0;
  int h = 0;
};

// x, y, w, h in client pixels of the owning window.
struct LayoutRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;

  constexpr int right() const { return x + w; }
  constexpr int bottom() const { return y + h; }
  constexpr bool empty() const { return w <= 0 || h <= 0; }
  // Whether the two share at least one pixel (touching edges do not overlap).
  constexpr bool overlaps(const LayoutRect& o) const {
    return !empty() && !o.empty() && x < o.right() && o.x < right() && y < o.bottom() &&
           o.y < bottom();
  }
  constexpr bool contains(const LayoutRect& o) const {
    return o.x >= x && o.y >= y && o.right() <= right() && o.bottom() <= bottom();
  }
  // A point on the right or bottom edge lies outside.
  constexpr bool contains(int px, int py) const {
    return px >= x && py >= y && px < right() && py < bottom();
  }
  friend constexpr bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

constexpr LayoutRect RectAt(LayoutPoint at, LayoutSize size) {
  return {at.x, at.y, size.w, size.h};
}

// A size drawn at a percentage of itself, rounded down as the windows round it.
constexpr LayoutSize ScaledDown(LayoutSize size, int percent) {
  return {size.w * percent / 100, size.h * percent / 100};
}

}  // namespace kdsp::skin
