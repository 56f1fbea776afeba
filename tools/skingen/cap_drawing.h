// SPDX-License-Identifier: GPL-3.0-or-later
// Button caps, lamps and glows: the pieces the button and indicator pictures are built from.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>

namespace kdsp::skingen {

// A fully transparent picture of width x height units at `scale` device pixels per unit.
QImage Transparent(int width, int height, int scale);

// A rounded button cap with its shadow: raised, or pushed into the panel.
void DrawCap(QPainter& p, const QRectF& cap, bool pressed, double radius);
// A cap lit from behind in the lamp's colour.
void DrawLitFace(QPainter& p, const QRectF& cap, double radius, const QColor& lamp);
// A soft halo of light.
void DrawGlow(QPainter& p, QPointF centre, double radius, const QColor& lamp, int alpha);
// A round lamp lens in a dark bezel, lit or dark.
void DrawLens(QPainter& p, QPointF centre, double radius, const QColor& lamp, bool lit);

}  // namespace kdsp::skingen
