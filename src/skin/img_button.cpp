// SPDX-License-Identifier: GPL-3.0-or-later
// Skin button behaviour and drawing.
#include "skin/img_button.h"

#include <QPainter>
#include <QRect>

namespace kdsp::skin {

void ImgButton::draw(QPainter& painter) const {
  drawAs(painter, state);
}

PaintKey ImgButton::paintKey() const {
  return PaintKey().add(rect).add(state).add(imageOn).add(imageOff);
}

QRect ImgButton::paintBounds() const {
  return QRect(rect.x, rect.y, rect.w, rect.h);
}

void ImgButton::drawAs(QPainter& painter, std::uint8_t shownState) const {
  DrawImageInto(painter, imageOfState(shownState), QRect(rect.x, rect.y, rect.w, rect.h));
}

bool ImgButton::mouseDown(int px, int py) {
  if (!hits(px, py)) return false;
  pressed = 1;
  state = state != 0 ? 0 : 1;
  return true;
}

void ImgButton::mouseUp() {
  if (pressed != 0) {
    if (momentary != 0) {
      // A push button rests in state 1 and shows state 0 while held; the release position does
      // not matter.
      if (state == 0 && clickHandler != nullptr) {
        clickHandler(*this, userData);
        state = 1;
      }
    } else if (clickHandler != nullptr) {
      clickHandler(*this, userData);
    }
  }
  pressed = 0;
}

}  // namespace kdsp::skin
