// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the knob and the fader thumbs.
#include "knobs_thumbs.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "cap_drawing.h"
#include "panel_style.h"

namespace kdsp::skingen {

QImage KnobPicture(int size, int scale) {
  QImage image = Transparent(size, size, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QPointF c(size / 2.0, size / 2.0);
  const double skirt = size / 2.0 - 0.8;
  const double cap = skirt * 0.72;

  // The knurled skirt: a dark ring with grip ridges all round.
  QRadialGradient ring(c, skirt);
  ring.setColorAt(0.7, QColor(0x2c, 0x30, 0x35));
  ring.setColorAt(1.0, QColor(0x14, 0x16, 0x19));
  p.setPen(QPen(QColor(0, 0, 0, 230), 1.0));
  p.setBrush(ring);
  p.drawEllipse(c, skirt, skirt);
  constexpr int kRidges = 28;
  for (int i = 0; i < kRidges; ++i) {
    const double a = 2 * std::numbers::pi * i / kRidges;
    const QPointF d(std::sin(a), -std::cos(a));
    p.setPen(QPen(i % 2 ? QColor(255, 255, 255, 34) : QColor(0, 0, 0, 90), 1.0));
    p.drawLine(c + d * (cap + 1.2), c + d * (skirt - 0.8));
  }
  // The machined cap: a conical sheen, lit from above.
  QConicalGradient sheen(c, 90);
  const QColor light(0xc9, 0xcd, 0xd2);
  const QColor dark(0x6b, 0x70, 0x77);
  sheen.setColorAt(0.00, light);
  sheen.setColorAt(0.18, dark);
  sheen.setColorAt(0.33, light.darker(110));
  sheen.setColorAt(0.50, dark.darker(115));
  sheen.setColorAt(0.68, light.darker(105));
  sheen.setColorAt(0.84, dark);
  sheen.setColorAt(1.00, light);
  p.setPen(QPen(QColor(0, 0, 0, 200), 1.0));
  p.setBrush(sheen);
  p.drawEllipse(c, cap, cap);
  QRadialGradient dome(c - QPointF(0, cap * 0.35), cap * 1.1);
  dome.setColorAt(0, QColor(255, 255, 255, 70));
  dome.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(dome);
  p.drawEllipse(c, cap - 0.5, cap - 0.5);
  // The pointer, from the cap's middle across the skirt.
  p.setPen(QPen(QColor(0, 0, 0, 160), 3.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(0, -cap * 0.25), c + QPointF(0, -skirt + 1.5));
  p.setPen(QPen(QColor(0xff, 0xff, 0xff), 1.7, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(0, -cap * 0.25), c + QPointF(0, -skirt + 1.5));
  return image;
}

QImage ThumbPicture(int width, int height, bool active, int scale) {
  QImage image = Transparent(width, height, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF body(0.5, 0.5, width - 1, height - 1);
  const double radius = width >= 20 ? 2.5 : 1.5;
  // A cylinder lit from above-left: light across the middle of its width.
  QLinearGradient across(body.topLeft(), body.topRight());
  across.setColorAt(0.0, QColor(0x2a, 0x2e, 0x33));
  across.setColorAt(0.35, QColor(0x6a, 0x70, 0x78));
  across.setColorAt(0.6, QColor(0x4c, 0x52, 0x59));
  across.setColorAt(1.0, QColor(0x1c, 0x1f, 0x22));
  p.setPen(QPen(QColor(0, 0, 0, 230), 1.0));
  p.setBrush(across);
  p.drawRoundedRect(body, radius, radius);
  // Grip ridges above and below the index line.
  const double middle = height / 2.0;
  const double pitch = height >= 40 ? 3.0 : 2.5;
  p.setRenderHint(QPainter::Antialiasing, false);
  for (double y = 3; y < height - 2; y += pitch) {
    if (std::abs(y - middle) < pitch * 1.2) continue;
    p.setPen(QColor(0, 0, 0, 120));
    p.drawLine(QPointF(1.5, y), QPointF(width - 2.5, y));
    p.setPen(QColor(255, 255, 255, 40));
    p.drawLine(QPointF(1.5, y + 1), QPointF(width - 2.5, y + 1));
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  // The index line across the middle.
  const QColor index = active ? colour::kLcdActiveEdge : QColor(0xf2, 0xf2, 0xf2);
  if (active) {
    QLinearGradient glow(QPointF(0, middle - 4), QPointF(0, middle + 4));
    glow.setColorAt(0, QColor(index.red(), index.green(), index.blue(), 0));
    glow.setColorAt(0.5, QColor(index.red(), index.green(), index.blue(), 120));
    glow.setColorAt(1, QColor(index.red(), index.green(), index.blue(), 0));
    p.fillRect(QRectF(1, middle - 4, width - 2, 8), glow);
  }
  p.fillRect(QRectF(1, middle - 1, width - 2, 2), index);
  if (active) {
    p.setPen(QPen(index, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  }
  return image;
}

}  // namespace kdsp::skingen
