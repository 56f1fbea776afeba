// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart's kept picture: placing it on the device pixel grid and drawing it back.
#include "display/chart_layer.h"

#include <QPainter>
#include <QPointF>
#include <cmath>

namespace kdsp::display {

bool ChartLayer::holds(const QPainter& page, std::uint64_t key) const {
  return !image_.isNull() && key_ == key && ratio_ == page.device()->devicePixelRatioF() &&
         pageToDevice_ == page.deviceTransform();
}

QTransform ChartLayer::restart(const QPainter& page, const QRectF& rect, std::uint64_t key) {
  const qreal ratio = page.device()->devicePixelRatioF();
  const QRectF onDevice = page.deviceTransform().mapRect(rect);
  const int left = static_cast<int>(std::floor(onDevice.left()));
  const int top = static_cast<int>(std::floor(onDevice.top()));
  const int right = static_cast<int>(std::ceil(onDevice.right()));
  const int bottom = static_cast<int>(std::ceil(onDevice.bottom()));
  const QSize size(right - left, bottom - top);
  if (image_.size() != size) image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  image_.setDevicePixelRatio(ratio);
  image_.fill(Qt::transparent);
  deviceOrigin_ = QPoint(left, top);
  pageToDevice_ = page.deviceTransform();
  ratio_ = ratio;
  key_ = key;
  // Page coordinates to device pixels, then to the picture's pixels, then to its own coordinates.
  pageToPicture_ = page.deviceTransform() * QTransform::fromTranslate(-left, -top) *
                   QTransform::fromScale(1 / ratio, 1 / ratio);
  return pageToPicture_;
}

QTransform ChartLayer::restartFrom(const ChartLayer& under, std::uint64_t key) {
  *this = under;
  key_ = key;
  return pageToPicture_;
}

void ChartLayer::drawOnto(QPainter& page) const {
  if (image_.isNull()) return;
  // In device pixels, with no transform of the page's own: the picture's pixels meet the page's
  // one to one, so smoothing has nothing to do and would only take the rasteriser's slow path,
  // many times slower at a ratio above 1.
  const QTransform world = page.worldTransform();
  const bool smooth = page.testRenderHint(QPainter::SmoothPixmapTransform);
  page.resetTransform();
  page.setRenderHint(QPainter::SmoothPixmapTransform, false);
  page.drawImage(QPointF(deviceOrigin_.x() / ratio_, deviceOrigin_.y() / ratio_), image_);
  page.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
  page.setWorldTransform(world);
}

}  // namespace kdsp::display
