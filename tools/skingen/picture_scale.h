// SPDX-License-Identifier: GPL-3.0-or-later
// The two sizes every skin picture is painted at: one device pixel per unit of the tables'
// 999 x 600 grid, and two for screens at a device pixel ratio of 2. The painters always work in
// the tables' units; only the lines meant to be as fine as the screen allows ask for the scale.
#pragma once

#include <QImage>
#include <QPainter>
#include <array>

namespace kdsp::skingen {

// Device pixels per unit of the tables' grid, in the order the sets are written.
inline constexpr std::array<int, 2> kPictureScales{1, 2};

// An empty picture of width x height units at `scale` device pixels per unit; a painter on it
// draws in units.
QImage Canvas(int width, int height, int scale);

// The width of a line one device pixel wide: 1 unit at 1x, half a unit at 2x.
double Hairline(const QPainter& p);
// Where an antialiased hairline lies to cover exactly the first device pixel of the unit that
// starts at `edge`, rather than straddle two device pixels at 2x.
double HairlineCentre(const QPainter& p, double edge);

}  // namespace kdsp::skingen
