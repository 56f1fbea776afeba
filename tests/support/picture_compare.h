// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing a picture painted at 2x with the same picture at 1x: the 2x one reduced to 1x, the
// mean difference of two pictures (one of them read shifted), and how many rows a fine line
// covers.
#pragma once

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kdsp::testing {

// Each 2 x 2 block of `fine` averaged into one pixel.
inline QImage Reduced(const QImage& fine) {
  QImage coarse(fine.width() / 2, fine.height() / 2, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < coarse.height(); ++y) {
    for (int x = 0; x < coarse.width(); ++x) {
      const QRgb block[4] = {fine.pixel(2 * x, 2 * y), fine.pixel(2 * x + 1, 2 * y),
                             fine.pixel(2 * x, 2 * y + 1), fine.pixel(2 * x + 1, 2 * y + 1)};
      int sum[4] = {};
      for (const QRgb p : block) {
        sum[0] += qRed(p);
        sum[1] += qGreen(p);
        sum[2] += qBlue(p);
        sum[3] += qAlpha(p);
      }
      coarse.setPixel(
          x, y, qRgba((sum[0] + 2) / 4, (sum[1] + 2) / 4, (sum[2] + 2) / 4, (sum[3] + 2) / 4));
    }
  }
  return coarse;
}

// The mean absolute difference of all four channels over the pixels both pictures have, `b`
// read `dx`, `dy` pixels away.
inline double MeanDifference(const QImage& a, const QImage& b, int dx = 0, int dy = 0) {
  double total = 0;
  int count = 0;
  for (int y = std::max(0, -dy); y < a.height() && y + dy < b.height(); ++y) {
    for (int x = std::max(0, -dx); x < a.width() && x + dx < b.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x + dx, y + dy);
      total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
               std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
      count += 4;
    }
  }
  return total / count;
}

// The rows of `column` from `top` to `bottom` where the picture is lighter than halfway between
// the darkest and the lightest of them.
inline int LitRows(const QImage& image, int column, int top, int bottom) {
  int darkest = 255;
  int lightest = 0;
  for (int y = top; y <= bottom; ++y) {
    darkest = std::min(darkest, qGray(image.pixel(column, y)));
    lightest = std::max(lightest, qGray(image.pixel(column, y)));
  }
  int lit = 0;
  for (int y = top; y <= bottom; ++y)
    if (qGray(image.pixel(column, y)) * 2 > darkest + lightest) ++lit;
  return lit;
}

}  // namespace kdsp::testing
