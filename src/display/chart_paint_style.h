// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart's look shared by its painting files: colours, line widths, faces, and a
// painter placed in the chart's own coordinates.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QTransform>
#include <array>
#include <cstdint>

#include "display/response_chart.h"

namespace kdsp::display {

// Colours as alpha, red, green, blue.
struct Argb {
  std::uint8_t a, r, g, b;
};

// The selected filter's area spans the whole plot below its curve: light enough that the grid
// stays readable through it.
inline constexpr Argb kHighPassFill{70, 218, 228, 246};
inline constexpr Argb kLowPassFill{70, 120, 100, 180};
// One per band, for its area; its handle takes the same colour opaque, so no line shows through
// the handle. The sixteenth belongs to no band.
inline constexpr std::array<Argb, 16> kBandFills = {{{150, 229, 105, 106},
                                                     {150, 197, 129, 46},
                                                     {150, 64, 143, 91},
                                                     {150, 57, 87, 185},
                                                     {150, 210, 184, 22},
                                                     {150, 171, 36, 168},
                                                     {150, 28, 120, 32},
                                                     {150, 87, 39, 175},
                                                     {150, 40, 196, 161},
                                                     {150, 220, 18, 18},
                                                     {150, 238, 52, 210},
                                                     {150, 162, 117, 38},
                                                     {150, 52, 92, 114},
                                                     {150, 96, 201, 27},
                                                     {150, 240, 86, 32},
                                                     {150, 255, 255, 0}}};
inline constexpr Argb kGridLine{120, 192, 192, 192};
inline constexpr Argb kFrame{180, 192, 192, 192};
inline constexpr Argb kLabelText{255, 255, 255, 255};
inline constexpr Argb kFilterLetter{255, 0, 0, 0};
// Band numbers are light with a dark outline and the circle has a dark rim, so the number reads
// on every band colour, the yellow as well as the dark blue, and the handle stands off an area
// of its own colour.
inline constexpr Argb kBandNumber{255, 255, 255, 255};
inline constexpr Argb kBandNumberOutline{255, 0, 0, 0};
inline constexpr Argb kHandleRim{200, 0, 0, 0};
inline constexpr Argb kSumLine{255, 255, 0, 0};
inline constexpr Argb kFilterHandle{200, 200, 200, 150};
inline constexpr Argb kSelectedOutline{200, 255, 255, 255};
// Bright enough over the dark screen to read at a glance (about 11:1), and apart from the red sum
// line and the band colours.
inline constexpr Argb kSpectrumLine{255, 90, 230, 120};

// Widths in page pixels; a painter at a device pixel ratio draws them that many device pixels wide.
inline constexpr qreal kMinorGridWidth = 0.3;
inline constexpr qreal kFrameWidth = 2.0;
inline constexpr qreal kMajorGridWidth = 1.5;
inline constexpr qreal kSumLineWidth = 2.5;
inline constexpr qreal kSelectedOutlineWidth = 2.0;
inline constexpr qreal kSpectrumLineWidth = 1.0;
inline constexpr qreal kBandNumberOutlineWidth = 2.0;
inline constexpr qreal kHandleRimWidth = 1.0;

QColor colourOf(Argb c);
// The colour without its alpha.
QColor opaque(Argb c);
// Flat ends and round joins, as every line of the chart.
QPen penOf(Argb c, qreal width);

struct ChartFonts {
  QFont label;
  QFont bandNumber;
  QFont wideBandNumber;
  QFont filterLetter;
};
// Made once, at the first paint.
const ChartFonts& chartFonts();

// A painter addressed in chart pixels: origin maps the chart's (0, 0) onto the painter's device.
// Thin lines and curves are stroked with whole coordinates at pixel centres, so a one-pixel line
// at x = 100 covers column 100 alone and a curve point at row y is drawn on row y. The frame,
// the handles and text keep whole coordinates at pixel corners: a 16-pixel handle then covers
// exactly the 16 x 16 pixels a press answers to. At a device pixel ratio of 2 the same holds
// for each page pixel's 2 x 2 device pixels.
class ChartCanvas {
 public:
  ChartCanvas(QPainter& painter, const QTransform& origin) : painter_(painter), origin_(origin) {}
  QPainter& painter() { return painter_; }
  void atPixelCentres() {
    painter_.setWorldTransform(QTransform::fromTranslate(0.5, 0.5) * origin_);
  }
  void atPixelCorners() { painter_.setWorldTransform(origin_); }
  // Whole coordinates at pixel corners, measured from the point.
  void around(ChartPoint point) {
    painter_.setWorldTransform(QTransform::fromTranslate(point.x, point.y) * origin_);
  }

 private:
  QPainter& painter_;
  QTransform origin_;
};

}  // namespace kdsp::display
