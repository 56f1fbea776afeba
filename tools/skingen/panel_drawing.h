// SPDX-License-Identifier: GPL-3.0-or-later
// The parts every panel background is printed from: the brushed anodised surface, engraved
// section frames, silk-screen text, fader slots with their scales, knob scales, the chart
// screen and the light label plates that carry black text.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

#include "panel_style.h"
#include "skin/skin_geometry.h"

namespace kdsp::skingen {

// The tables' rectangles and texts as Qt takes them.
QRect ToQRect(const skin::LayoutRect& r);
QString ToQString(std::string_view text);

// A panel of width x height units at `scale` device pixels per unit: vertical gradient,
// horizontal brushing and a bevelled edge. The seed makes the brushing repeatable; the brushing
// grain is one device pixel, so a finer screen shows a finer grain.
QImage PanelSurface(int width, int height, std::uint32_t seed, int scale);

// Text anchored at a point: the horizontal flag says which side of the text `at` is on (left,
// centre, right); the vertical flag puts `at` at the top, the middle of the capitals or the
// baseline. Both return the rectangle the text covers.
QRectF MeasureLabel(const QString& text, QPointF at, Qt::Alignment align, const TextStyle& style);
QRectF DrawLabel(QPainter& p, const QString& text, QPointF at, Qt::Alignment align,
                 const TextStyle& style);

// An engraved frame with rounded corners and its title cut into the top edge. Every title is
// printed in the one section title style; a frame is made wide enough for its title.
void DrawSectionFrame(QPainter& p, const QRectF& frame, const QString& title);
QRectF SectionTitleBox(const QRectF& frame, const QString& title);
bool SectionTitleFits(const QRectF& frame, const QString& title);

// A recessed screen the response chart is drawn over.
void DrawScreen(QPainter& p, const QRectF& rect);
// A light printed plate for text the windows draw in black.
void DrawLabelPlate(QPainter& p, const QRectF& rect);

// A fader as the background sees it: the control's rectangle and thumb, and its scale.
enum class Side { kLeft, kRight };

struct FaderGeometry {
  QRect rect;
  int thumbHeight;
  int min;
  int max;
};

// A point of a printed scale; an empty label prints a tick only.
struct ScaleMark {
  int value;
  QString label;
  bool major;
};

// The height of the thumb's middle when the fader holds `value`, as the fader places its thumb.
double MarkY(const FaderGeometry& f, int value);

// The slot the thumb runs in, from the top to the bottom of its travel.
void DrawSlot(QPainter& p, const FaderGeometry& f);
// Ticks on both sides of the thumb's column. On a side that prints the numbers the numbers
// stand in for the ticks of the labelled marks.
struct NumberSides {
  bool left = false;
  bool right = false;
};
void DrawTicks(QPainter& p, const FaderGeometry& f, const std::vector<ScaleMark>& marks,
               NumberSides numbers = {});
// The numbers of two faders with the same scale, in the middle of the gap between them.
QRectF DrawGapScale(QPainter& p, const FaderGeometry& left, const FaderGeometry& right,
                    const std::vector<ScaleMark>& marks);
// The labels of a scale in a column beside the fader; returns the column they cover.
QRectF ScaleLabelColumn(const FaderGeometry& f, const std::vector<ScaleMark>& marks, Side side);
void DrawScaleLabels(QPainter& p, const FaderGeometry& f, const std::vector<ScaleMark>& marks,
                     Side side);

// Marks at every `tickStep` from min to max, labelled every `labelStep`.
std::vector<ScaleMark> NumberScale(int min, int max, int tickStep, int labelStep);
// One labelled mark per position 0..n-1.
std::vector<ScaleMark> PositionScale(const std::vector<QString>& labels);

// The angle a knob turns its picture to for `value`, in degrees clockwise from straight up.
double KnobAngle(int value, int min, int max);
// The recess under a knob, its ticks and the labels of its marks; returns the labels' extent.
QRectF DrawKnobScale(QPainter& p, const QRect& knob, int min, int max,
                     const std::vector<ScaleMark>& marks, const TextStyle& style);
QRectF MeasureKnobScale(const QRect& knob, int min, int max, const std::vector<ScaleMark>& marks,
                        const TextStyle& style);
// The box of each label of a knob's scale, in the order of the marks.
std::vector<QRectF> MeasureKnobLabels(const QRect& knob, int min, int max,
                                      const std::vector<ScaleMark>& marks, const TextStyle& style);

}  // namespace kdsp::skingen
