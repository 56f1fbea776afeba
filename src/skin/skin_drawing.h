// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing operations the skinned windows, their controls and the response chart use, on a
// QPainter over an off-screen ARGB image of any device pixel ratio. Coordinates and sizes are
// logical pixels; a skin picture is drawn from its pixels for the surface's ratio. A picture
// reference may be empty: drawing it draws nothing and it measures 0.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QString>

#include "skin/skin_picture.h"

namespace kdsp::skin {

// A skin image as the controls hold it: a reference into the loaded set, or none.
using SkinImage = const SkinPicture*;

int ImageWidth(SkinImage image);
int ImageHeight(SkinImage image);

// An off-screen surface of the given logical size at a device pixel ratio: 32-bit premultiplied
// ARGB, fully transparent, width x ratio by height x ratio pixels (rounded up).
QImage MakeSurface(int width, int height, qreal ratio = 1.0);
// The device pixel ratio a painter draws at.
qreal PainterRatio(const QPainter& painter);
// Sets the painter up as every off-screen surface is: antialiased, smooth image scaling.
void PrepareSurface(QPainter& painter);

void DrawImageAt(QPainter& painter, SkinImage image, int x, int y);
void DrawImageInto(QPainter& painter, SkinImage image, const QRect& rect);
// The image mapped onto the parallelogram with corners p0 (its top-left), p1 (top-right) and
// p2 (bottom-left).
void DrawImageOnParallelogram(QPainter& painter, SkinImage image, QPointF p0, QPointF p1,
                              QPointF p2);
// Text whose top-left corner is at (x, y), unclipped.
void DrawTextAt(QPainter& painter, const QString& text, const QFont& font, QColor color, int x,
                int y);
// Text inside a box and clipped to it, its top at the box's top: from the left edge, or centred
// when `centred`; a text wider than the box is drawn against the right edge, so its end shows.
void DrawTextInBox(QPainter& painter, const QString& text, const QFont& font, QColor color,
                   const QRect& box, bool centred);

}  // namespace kdsp::skin
