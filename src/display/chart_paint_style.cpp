// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart's pens, colours and faces.
#include "display/chart_paint_style.h"

#include "skin/skin_fonts.h"

namespace kdsp::display {
namespace {

constexpr int kLabelPixels = 10;
// Two digits need a smaller face than one to stay inside the 16-pixel circle with their outline.
constexpr int kBandNumberPixels = 12;
constexpr int kWideBandNumberPixels = 10;
constexpr int kFilterLetterPixels = 14;

}  // namespace

QColor colourOf(Argb c) {
  return QColor(c.r, c.g, c.b, c.a);
}

QColor opaque(Argb c) {
  return QColor(c.r, c.g, c.b);
}

QPen penOf(Argb c, qreal width) {
  QPen pen(colourOf(c), width);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

const ChartFonts& chartFonts() {
  static const ChartFonts fonts{skin::MakeSkinFont(kLabelPixels, false),
                                skin::MakeSkinFont(kBandNumberPixels, true),
                                skin::MakeSkinFont(kWideBandNumberPixels, true),
                                skin::MakeSkinFont(kFilterLetterPixels, false)};
  return fonts;
}

}  // namespace kdsp::display
