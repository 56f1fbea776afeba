// SPDX-License-Identifier: GPL-3.0-or-later
// The maker's emblem: its shapes in the badge's measures, and painting them.
#include "emblem.h"

#include <QLinearGradient>

#include "panel_style.h"

namespace kdsp::skingen {

// The measures are those of the logo on the panel (r = 19) scaled to r, so the application icon
// is the same picture.
std::vector<EmblemShape> EmblemShapes(QPointF badge, double r) {
  const double k = r / 19.0;
  const QPointF radius(r, r);
  std::vector<EmblemShape> shapes;
  // The brushed ring, lit from above, with a dark edge.
  shapes.push_back({EmblemShape::Kind::kEllipse,
                    QRectF(badge - radius, badge + radius),
                    0,
                    badge - QPointF(0, r),
                    badge + QPointF(0, r),
                    {{0, QColor(0xc4, 0xc8, 0xcd)}, {1, QColor(0x3c, 0x40, 0x46)}},
                    QColor(0, 0, 0, 200),
                    1.0 * k});
  const QPointF face(r - 2.5 * k, r - 2.5 * k);
  shapes.push_back({EmblemShape::Kind::kEllipse,
                    QRectF(badge - face, badge + face),
                    0,
                    badge,
                    badge,
                    {{0, QColor(0x10, 0x12, 0x14)}},
                    QColor(),
                    0});
  // The meter's five bars, each glowing paler towards its top.
  const double bars[5] = {0.45, 0.8, 1.0, 0.65, 0.35};
  const double base = badge.y() + 8 * k;
  for (int i = 0; i < 5; ++i) {
    const double x = badge.x() + (i - 2) * 5.2 * k;
    const double h = (r - 7 * k) * 1.5 * bars[i];
    shapes.push_back({EmblemShape::Kind::kRoundedRect,
                      QRectF(x - 1.7 * k, base - h, 3.4 * k, h),
                      k,
                      QPointF(0, base),
                      QPointF(0, base - h),
                      {{0, colour::kLitAmber}, {1, QColor(0xff, 0xe2, 0x9a)}},
                      QColor(),
                      0});
  }
  return shapes;
}

void PaintEmblem(QPainter& p, const std::vector<EmblemShape>& shapes) {
  for (const EmblemShape& shape : shapes) {
    if (shape.strokeWidth > 0) {
      p.setPen(QPen(shape.stroke, shape.strokeWidth));
    } else {
      p.setPen(Qt::NoPen);
    }
    if (shape.fill.size() == 1) {
      p.setBrush(shape.fill.front().colour);
    } else {
      QLinearGradient gradient(shape.gradientFrom, shape.gradientTo);
      for (const GradientStop& stop : shape.fill) gradient.setColorAt(stop.at, stop.colour);
      p.setBrush(gradient);
    }
    switch (shape.kind) {
      case EmblemShape::Kind::kEllipse:
        p.drawEllipse(shape.bounds);
        break;
      case EmblemShape::Kind::kRoundedRect:
        p.drawRoundedRect(shape.bounds, shape.cornerRadius, shape.cornerRadius);
        break;
    }
  }
}

}  // namespace kdsp::skingen
