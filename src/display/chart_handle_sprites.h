// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's handle marks kept as small pictures at the page's device pixel ratio. Drawing a
// handle then costs one copy, where drawing it afresh means an antialiased ellipse and two path
// fills, each of which the rasteriser may hand to its thread pool. A picture is made for each
// mark and each fraction of a device pixel its centre falls on, so a copied mark lies on exactly
// the device pixels a drawn one would cover.
#pragma once

#include <QImage>
#include <QPointF>
#include <QtGlobal>
#include <cstdint>
#include <unordered_map>

class QPainter;

namespace kdsp::display {

class HandleSprites {
 public:
  // The mark (see drawHandleMark) centred on the point, in the page coordinates the painter
  // addresses.
  void draw(QPainter& page, int mark, QPointF centre);

 private:
  const QImage& sprite(int mark, int phaseX, int phaseY);

  qreal ratio_ = 0;
  int reach_ = 0;  // device pixels from the centre's pixel to each edge of a picture
  std::unordered_map<std::uint32_t, QImage> sprites_;
};

}  // namespace kdsp::display
