// SPDX-License-Identifier: GPL-3.0-or-later
// The maker's emblem as a list of shapes, so the painter and the scalable icon draw one picture.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <vector>

namespace kdsp::skingen {

// A colour at a position along a linear gradient, 0 at its start and 1 at its end.
struct GradientStop {
  double at;
  QColor colour;
};

// One filled ellipse or rounded rectangle, its fill running from gradientFrom to gradientTo.
// A shape with a single stop is filled flat; strokeWidth 0 leaves the outline undrawn.
struct EmblemShape {
  enum class Kind { kEllipse, kRoundedRect };
  Kind kind;
  QRectF bounds;
  double cornerRadius;
  QPointF gradientFrom;
  QPointF gradientTo;
  std::vector<GradientStop> fill;
  QColor stroke;
  double strokeWidth;
};

// The emblem: a lit level meter in a round badge of radius r centred on badge, back to front.
std::vector<EmblemShape> EmblemShapes(QPointF badge, double r);
// Paints the shapes in order with p's render hints.
void PaintEmblem(QPainter& p, const std::vector<EmblemShape>& shapes);

}  // namespace kdsp::skingen
