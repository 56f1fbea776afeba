// SPDX-License-Identifier: GPL-3.0-or-later
// Painting button caps, lamps and glows.
#include "cap_drawing.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include "panel_style.h"
#include "picture_scale.h"

namespace kdsp::skingen {

QImage Transparent(int width, int height, int scale) {
  QImage image = Canvas(width, height, scale);
  image.fill(Qt::transparent);
  return image;
}

void DrawCap(QPainter& p, const QRectF& cap, bool pressed, double radius) {
  p.save();
  p.setPen(Qt::NoPen);
  if (!pressed) {
    // A soft shadow below the cap.
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(cap.adjusted(-1, 0, 1, 2.5), radius + 1, radius + 1);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(cap.adjusted(-0.5, 0.5, 0.5, 1.5), radius, radius);
  }
  QLinearGradient body(cap.topLeft(), cap.bottomLeft());
  if (pressed) {
    body.setColorAt(0, colour::kCapBottom.darker(130));
    body.setColorAt(1, colour::kCapBottom);
  } else {
    body.setColorAt(0, colour::kCapTop);
    body.setColorAt(0.5, colour::kCapTop.darker(125));
    body.setColorAt(1, colour::kCapBottom);
  }
  p.setBrush(body);
  p.setPen(QPen(colour::kCapEdge, 1.0));
  p.drawRoundedRect(cap, radius, radius);
  p.setBrush(Qt::NoBrush);
  if (pressed) {
    // The panel's edge shades the top of a pushed cap.
    QLinearGradient shade(cap.topLeft(), cap.topLeft() + QPointF(0, 5));
    shade.setColorAt(0, QColor(0, 0, 0, 140));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(cap.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
  } else {
    p.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
    p.drawLine(QPointF(cap.left() + radius, cap.top() + 1.2),
               QPointF(cap.right() - radius, cap.top() + 1.2));
  }
  p.restore();
}

void DrawLitFace(QPainter& p, const QRectF& cap, double radius, const QColor& lamp) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(lamp.red(), lamp.green(), lamp.blue(), 70));
  p.drawRoundedRect(cap.adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
  QLinearGradient face(cap.topLeft(), cap.bottomLeft());
  face.setColorAt(0, lamp.lighter(125));
  face.setColorAt(0.55, lamp);
  face.setColorAt(1, lamp.darker(135));
  p.setBrush(face);
  p.setPen(QPen(lamp.darker(220), 1.0));
  p.drawRoundedRect(cap, radius, radius);
  p.setPen(QPen(QColor(255, 255, 255, 120), 1.0));
  p.drawLine(QPointF(cap.left() + radius, cap.top() + 1.2),
             QPointF(cap.right() - radius, cap.top() + 1.2));
  p.restore();
}

void DrawGlow(QPainter& p, QPointF centre, double radius, const QColor& lamp, int alpha) {
  p.save();
  QRadialGradient glow(centre, radius);
  glow.setColorAt(0, QColor(lamp.red(), lamp.green(), lamp.blue(), alpha));
  glow.setColorAt(1, QColor(lamp.red(), lamp.green(), lamp.blue(), 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(centre, radius, radius);
  p.restore();
}

void DrawLens(QPainter& p, QPointF centre, double radius, const QColor& lamp, bool lit) {
  p.save();
  p.setPen(Qt::NoPen);
  // Bezel.
  QLinearGradient bezel(centre - QPointF(0, radius + 2), centre + QPointF(0, radius + 2));
  bezel.setColorAt(0, QColor(0x10, 0x11, 0x13));
  bezel.setColorAt(1, QColor(0x5a, 0x5f, 0x66));
  p.setBrush(bezel);
  p.drawEllipse(centre, radius + 1.8, radius + 1.8);
  if (lit) {
    DrawGlow(p, centre, radius * 2.1, lamp, 110);
    QRadialGradient lens(centre - QPointF(radius * 0.3, radius * 0.35), radius * 1.3);
    lens.setColorAt(0, QColor(255, 255, 255));
    lens.setColorAt(0.3, lamp.lighter(120));
    lens.setColorAt(1, lamp.darker(140));
    p.setBrush(lens);
  } else {
    QRadialGradient lens(centre - QPointF(radius * 0.3, radius * 0.35), radius * 1.3);
    lens.setColorAt(0, QColor(0x4a, 0x50, 0x4c));
    lens.setColorAt(1, QColor(0x12, 0x15, 0x14));
    p.setBrush(lens);
  }
  p.drawEllipse(centre, radius, radius);
  // Specular highlight.
  p.setBrush(QColor(255, 255, 255, lit ? 170 : 60));
  p.drawEllipse(centre + QPointF(-radius * 0.35, -radius * 0.4), radius * 0.28, radius * 0.2);
  p.restore();
}

}  // namespace kdsp::skingen
