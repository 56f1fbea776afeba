// SPDX-License-Identifier: GPL-3.0-or-later
// Skin knob behaviour and drawing.
#include "skin/img_knob.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace kdsp::skin {

double ImgKnob::angleDegrees() const {
  if (max == min) return -150.0;
  return static_cast<double>(value) * 300.0 / (static_cast<double>(max) - min) - 150.0;
}

std::array<QPointF, 3> ImgKnob::corners() const {
  const int halfW = rect.w / 2;
  const int halfH = rect.h / 2;
  QTransform turn;
  turn.translate(rect.x + halfW, rect.y + halfH);
  turn.rotate(angleDegrees());
  turn.translate(-halfW, -halfH);
  return {turn.map(QPointF(0, 0)), turn.map(QPointF(rect.w, 0)), turn.map(QPointF(0, rect.h))};
}

void ImgKnob::draw(QPainter& painter) const {
  const auto [topLeft, topRight, bottomLeft] = corners();
  DrawImageOnParallelogram(painter, image(), topLeft, topRight, bottomLeft);
  if (showValueBox != 0) valueBox.draw(painter);
}

PaintKey ImgKnob::paintKey() const {
  PaintKey key;
  key.add(rect).add(image()).add(value).add(min).add(max).add(showValueBox);
  if (showValueBox != 0) key.add(valueBox.paintKey());
  return key;
}

QRect ImgKnob::paintBounds() const {
  // Turned about its centre, the picture's corners sweep a circle through the rectangle's corners.
  const int reach = static_cast<int>(std::ceil(std::hypot(rect.w, rect.h) / 2)) + 1;
  const QPoint centre(rect.x + rect.w / 2, rect.y + rect.h / 2);
  return QRect(centre - QPoint(reach, reach), QSize(2 * reach, 2 * reach)) | valueBox.paintBounds();
}

void ImgKnob::setValue(std::int64_t v) {
  value = ClampValue(v, min, max);
  refreshText();
  fireChange();
}

bool ImgKnob::mouseDown(int px, int py) {
  const bool hit = rect.contains(px, py);
  dragging = hit ? 1 : 0;
  active = hit ? 1 : 0;
  const bool boxHit = showValueBox != 0 && valueBox.mouseDown(px, py);
  return hit || boxHit;
}

void ImgKnob::mouseMove(int px, int py) {
  if (dragging == 0) return;
  const int dx = px - rect.x;
  const int dy = py - rect.y;
  const int cx = rect.w / 2;
  const int cy = rect.h / 2;
  const double ex = cx - dx;
  const double ey = cy - dy;
  double r = std::sqrt(ex * ex + ey * ey);
  if (r == 0.0) r = 0.0001;
  // The pointer's angle in radians: 0 straight up, positive clockwise, ±π straight down.
  const auto arcSine = [](double s) { return std::asin(std::clamp(s, -1.0, 1.0)); };
  double a;
  if (dy < cy) {
    a = arcSine((dx - cx) / r);
  } else {
    a = arcSine((cx - dx) / r);
    a += dx > cx ? std::numbers::pi : -std::numbers::pi;
  }
  const double range = static_cast<double>(max) - min;
  const auto goal = static_cast<std::int64_t>(
      std::ceil(range * a * 0.2 + static_cast<double>((static_cast<std::int64_t>(min) + max) / 2)));
  // One dragStep per move, so the knob turns toward the pointer instead of jumping to it.
  std::int64_t next = value;
  if (value < max && goal > value) {
    next += dragStep;
  } else if (value > min && goal < value) {
    next -= dragStep;
  }
  setValue(next);
}

void ImgKnob::wheel(int delta, int px, int py) {
  if (!rect.contains(px, py)) {
    active = 0;
    return;
  }
  active = 1;
  // Multiplied first, so half a notch still moves a knob whose step is 2 or more.
  setValue(value + static_cast<std::int64_t>(delta) * step / kWheelNotch);
}

void ImgKnob::keyDown(int key) {
  if (active == 0) return;
  if (key == kKeyUp) {
    setValue(static_cast<std::int64_t>(value) + step);
  } else if (key == kKeyDown) {
    setValue(static_cast<std::int64_t>(value) - step);
  }
}

}  // namespace kdsp::skin
