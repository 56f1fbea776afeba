// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures at one or two device pixels per unit of the tables' grid.
#include "picture_scale.h"

namespace kdsp::skingen {

QImage Canvas(int width, int height, int scale) {
  QImage image(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  return image;
}

double Hairline(const QPainter& p) {
  return 1.0 / p.device()->devicePixelRatio();
}

double HairlineCentre(const QPainter& p, double edge) {
  return edge + Hairline(p) / 2;
}

}  // namespace kdsp::skingen
