// SPDX-License-Identifier: GPL-3.0-or-later
// A part of the response chart kept as a picture between paints: drawn at the page's device pixel
// ratio and laid on the page's device pixel grid, so drawing it back moves nothing by a fraction
// of a device pixel, even where a fractional ratio puts the chart's edge between two pixels.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QTransform>
#include <QtGlobal>
#include <cstdint>

class QPainter;

namespace kdsp::display {

class ChartLayer {
 public:
  // Whether the layer holds the picture made for key on the page's device pixels as the painter
  // now addresses them.
  bool holds(const QPainter& page, std::uint64_t key) const;

  // Starts a transparent picture covering every device pixel of the page that rect (in the
  // page coordinates `page` addresses) touches, made for key at the page's ratio. Returns where
  // those page coordinates lie on the picture, for a painter that draws into image(). The image
  // is reused while its size stays.
  QTransform restart(const QPainter& page, const QRectF& rect, std::uint64_t key);
  // Starts a picture as a copy of under's, made for key.
  QTransform restartFrom(const ChartLayer& under, std::uint64_t key);
  QImage& image() { return image_; }

  // The picture onto the page, on the device pixels it was made for.
  void drawOnto(QPainter& page) const;
  // Lets the picture go; the next paint makes it anew.
  void release() { image_ = QImage(); }

 private:
  QImage image_;
  QPoint deviceOrigin_;  // the picture's top-left corner in the page's device pixels
  QTransform pageToDevice_;
  QTransform pageToPicture_;
  qreal ratio_ = 0;
  std::uint64_t key_ = 0;
};

}  // namespace kdsp::display
