// SPDX-License-Identifier: GPL-3.0-or-later
// Skin fader behaviour and drawing.
#include "skin/img_roller.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kdsp::skin {

void ImgRoller::setRange(std::int32_t lo, std::int32_t hi) {
  min = lo;
  max = hi;
  limit = hi;
  value = lo;
}

int ImgRoller::thumbOffset() const {
  if (max == min) return 0;
  const double travel = static_cast<double>(rect.h) - ImageHeight(thumb());
  const double offset =
      travel * (static_cast<double>(max) - value) / (static_cast<double>(max) - min);
  return static_cast<int>(std::ceil(offset));
}

void ImgRoller::draw(QPainter& painter) const {
  DrawImageAt(painter, thumb(), rect.x, rect.y + thumbOffset());
  valueBox.draw(painter);
}

PaintKey ImgRoller::paintKey() const {
  return PaintKey().add(rect).add(thumb()).add(thumbOffset()).add(valueBox.paintKey());
}

QRect ImgRoller::paintBounds() const {
  // The thumb is drawn at its own width anywhere along the rectangle's height.
  const QRect travel(rect.x, rect.y, std::max(rect.w, ImageWidth(thumb())), rect.h);
  return travel | valueBox.paintBounds();
}

void ImgRoller::setValue(std::int64_t v) {
  value = ClampValue(v, min, limit);
  refreshText();
  fireChange();
}

bool ImgRoller::mouseDown(int px, int py) {
  const bool hit = rect.contains(px, py);
  if (hit) {
    dragging = 1;
    dragStartY = py;
    dragStartValue = value;
    active = 1;
  } else {
    dragging = 0;
    active = 0;
  }
  const bool boxHit = valueBox.mouseDown(px, py);
  return hit || boxHit;
}

void ImgRoller::mouseMove(int, int py) {
  if (dragging == 0 || rect.h == 0) return;
  // The whole rectangle height maps to the whole range, so the thumb moves a little slower than
  // the pointer; the division truncates toward zero.
  const std::int64_t moved = (static_cast<std::int64_t>(max) - min) *
                             (static_cast<std::int64_t>(dragStartY) - py) / rect.h;
  setValue(moved + dragStartValue);
}

void ImgRoller::wheel(int delta, int px, int py) {
  if (!rect.contains(px, py)) {
    active = 0;
    return;
  }
  active = 1;
  setValue(static_cast<std::int64_t>(value) + delta / kWheelNotch);
}

void ImgRoller::keyDown(int key) {
  if (active == 0) return;
  if (key == kKeyUp) {
    setValue(static_cast<std::int64_t>(value) + 1);
  } else if (key == kKeyDown) {
    setValue(static_cast<std::int64_t>(value) - 1);
  }
}

}  // namespace kdsp::skin
