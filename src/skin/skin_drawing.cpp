// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing skin images and text.
#include "skin/skin_drawing.h"

#include <QFontMetrics>
#include <QTransform>
#include <cmath>

namespace kdsp::skin {
namespace {

bool Empty(SkinImage image) {
  return image == nullptr || image->isNull();
}

// Whether a rectangle of logical pixels covers exactly `pixels` whole device pixels, starting on
// one: the picture then meets the surface one to one.
bool OneToOne(const QPainter& painter, const QRectF& rect, QSize pixels) {
  const QTransform& toDevice = painter.deviceTransform();
  if (toDevice.type() > QTransform::TxScale) return false;
  const QRectF onDevice = toDevice.mapRect(rect);
  const auto whole = [](qreal v) { return std::abs(v - std::round(v)) < 1e-6; };
  return whole(onDevice.left()) && whole(onDevice.top()) &&
         std::abs(onDevice.width() - pixels.width()) < 1e-6 &&
         std::abs(onDevice.height() - pixels.height()) < 1e-6;
}

// The picture's pixels for the painter's ratio, drawn into a rectangle of logical pixels.
void DrawPixelsInto(QPainter& painter, SkinImage image, const QRectF& rect) {
  const qreal ratio = PainterRatio(painter);
  const QImage& pixels =
      image->forArea((rect.size() * ratio * painter.worldTransform().m11()).toSize(), ratio);
  if (pixels.isNull()) return;
  // Pixels that meet the surface one to one need no filtering, and the painter's filtering path
  // is several times slower than its plain copy above a ratio of 1.
  if (!OneToOne(painter, rect, pixels.size())) {
    painter.drawImage(rect, pixels);
    return;
  }
  const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rect, pixels);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

}  // namespace

int ImageWidth(SkinImage image) {
  return Empty(image) ? 0 : image->width();
}
int ImageHeight(SkinImage image) {
  return Empty(image) ? 0 : image->height();
}

QImage MakeSurface(int width, int height, qreal ratio) {
  QImage surface(static_cast<int>(std::ceil(width * ratio)),
                 static_cast<int>(std::ceil(height * ratio)), QImage::Format_ARGB32_Premultiplied);
  surface.setDevicePixelRatio(ratio);
  surface.fill(Qt::transparent);
  return surface;
}

qreal PainterRatio(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  return device != nullptr ? device->devicePixelRatioF() : 1.0;
}

void PrepareSurface(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
}

void DrawImageAt(QPainter& painter, SkinImage image, int x, int y) {
  if (!Empty(image)) DrawPixelsInto(painter, image, QRectF(QPointF(x, y), image->size()));
}

void DrawImageInto(QPainter& painter, SkinImage image, const QRect& rect) {
  if (!Empty(image) && rect.width() > 0 && rect.height() > 0) DrawPixelsInto(painter, image, rect);
}

void DrawImageOnParallelogram(QPainter& painter, SkinImage image, QPointF p0, QPointF p1,
                              QPointF p2) {
  if (Empty(image)) return;
  const QImage& pixels = image->forRatio(PainterRatio(painter));
  if (pixels.isNull()) return;
  const qreal w = image->width();
  const qreal h = image->height();
  // The affine map that takes the image's corners (0,0), (w,0), (0,h) to p0, p1, p2.
  const QTransform map((p1.x() - p0.x()) / w, (p1.y() - p0.y()) / w, (p2.x() - p0.x()) / h,
                       (p2.y() - p0.y()) / h, p0.x(), p0.y());
  painter.save();
  painter.setTransform(map, true);
  painter.drawImage(QRectF(0, 0, w, h), pixels);
  painter.restore();
}

void DrawTextAt(QPainter& painter, const QString& text, const QFont& font, QColor color, int x,
                int y) {
  painter.save();
  painter.setFont(font);
  painter.setPen(color);
  const QFontMetrics metrics(font);
  painter.drawText(QPointF(x, y + metrics.ascent()), text);
  painter.restore();
}

void DrawTextInBox(QPainter& painter, const QString& text, const QFont& font, QColor color,
                   const QRect& box, bool centred) {
  const QFontMetricsF metrics(font);
  const qreal width = metrics.horizontalAdvance(text);
  qreal x = box.x();
  if (width > box.width())
    x = box.x() + box.width() - width;
  else if (centred)
    x = box.x() + std::round((box.width() - width) / 2);
  painter.save();
  painter.setClipRect(box, Qt::IntersectClip);
  painter.setFont(font);
  painter.setPen(color);
  painter.drawText(QPointF(x, box.y() + metrics.ascent()), text);
  painter.restore();
}

}  // namespace kdsp::skin
