// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart's handles: a numbered round handle per band, a lettered square per filter,
// and the outline around the selected filter's square. Each is a mark drawn around its centre.
#pragma once

#include <QPainter>

#include "display/response_chart.h"

namespace kdsp::display {

// Marks 0..14 are the bands' handles; then the filters' and the selected filter's outline.
inline constexpr int kHighPassMark = kChartBands;
inline constexpr int kLowPassMark = kChartBands + 1;
inline constexpr int kSelectedFilterMark = kChartBands + 2;
inline constexpr int kHandleMarks = kChartBands + 3;
// How far any mark reaches from its centre, in page pixels: the selected outline stands a pixel
// outside the handle's box; one more for antialiasing.
inline constexpr int kHandleMarkReach = kHandleSize / 2 + 2;

constexpr int filterMark(int filter) {
  return filter == kHighPassHandle ? kHighPassMark : kLowPassMark;
}

// Draws the mark with its centre at the painter's (0, 0), whole coordinates at pixel corners. A
// band's handle is its colour, opaque, in a dark rim, with its number light on a dark outline; a
// filter's is a light square with its letter.
void drawHandleMark(QPainter& painter, int mark);

}  // namespace kdsp::display
