// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the response chart's handles. The band numbers are outlines of their glyphs, made once:
// shaping text and stroking its outline is the costliest part of a handle, and a number never
// changes.
#include "display/chart_handles.h"

#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRectF>
#include <QString>
#include <array>

#include "display/chart_paint_style.h"
#include "skin/skin_drawing.h"

namespace kdsp::display {
namespace {

// The letter of a filter handle starts left of and above its centre.
constexpr int kLetterShift = 5;
constexpr int kTextRise = 7;
// The outline of a number is flattened finely enough to stay smooth at a device pixel ratio of 4.
constexpr qreal kOutlineCurveThreshold = 0.02;

constexpr qreal kHandleHalf = kHandleSize / 2.0;
// The handle's box around its centre.
constexpr QRectF kHandleBox(-kHandleHalf, -kHandleHalf, kHandleSize, kHandleSize);

// A band's number centred on (0, 0) by its glyphs' own outline, so one and two digits both sit in
// the middle, and the dark outline stroked around it.
struct BandMark {
  QPainterPath number;
  QPainterPath outline;
};

std::array<BandMark, kChartBands> makeBandMarks() {
  QPainterPathStroker stroker(penOf(kBandNumberOutline, kBandNumberOutlineWidth));
  stroker.setCurveThreshold(kOutlineCurveThreshold);
  std::array<BandMark, kChartBands> marks;
  for (int band = 0; band < kChartBands; ++band) {
    const int number = band + 1;
    const QFont& font = number < 10 ? chartFonts().bandNumber : chartFonts().wideBandNumber;
    QPainterPath path;
    path.addText(0, 0, font, QString::number(number));
    marks[band].number = path.translated(-path.boundingRect().center());
    marks[band].outline = stroker.createStroke(marks[band].number);
  }
  return marks;
}

const BandMark& bandMark(int band) {
  static const std::array<BandMark, kChartBands> marks = makeBandMarks();
  return marks[band];
}

void drawBandHandle(QPainter& painter, int band) {
  const qreal rimInset = kHandleRimWidth / 2;
  painter.setPen(penOf(kHandleRim, kHandleRimWidth));
  painter.setBrush(opaque(kBandFills[band]));
  painter.drawEllipse(kHandleBox.adjusted(rimInset, rimInset, -rimInset, -rimInset));

  const BandMark& mark = bandMark(band);
  painter.fillPath(mark.outline, colourOf(kBandNumberOutline));
  painter.fillPath(mark.number, colourOf(kBandNumber));
}

void drawFilterHandle(QPainter& painter, int filter) {
  painter.fillRect(kHandleBox, colourOf(kFilterHandle));
  skin::DrawTextAt(painter, QString::fromLatin1(filter == kHighPassHandle ? "H" : "L"),
                   chartFonts().filterLetter, colourOf(kFilterLetter), -kLetterShift, -kTextRise);
}

void drawSelectedOutline(QPainter& painter) {
  painter.setPen(penOf(kSelectedOutline, kSelectedOutlineWidth));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(kHandleBox);
}

}  // namespace

void drawHandleMark(QPainter& painter, int mark) {
  if (mark >= 0 && mark < kChartBands) {
    drawBandHandle(painter, mark);
  } else if (mark == kHighPassMark || mark == kLowPassMark) {
    drawFilterHandle(painter, mark == kHighPassMark ? kHighPassHandle : kLowPassHandle);
  } else if (mark == kSelectedFilterMark) {
    drawSelectedOutline(painter);
  }
}

}  // namespace kdsp::display
