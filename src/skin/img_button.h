// SPDX-License-Identifier: GPL-3.0-or-later
// A skin button drawn from two images: a push button that fires on release, or a toggle button
// that fires on every release with its state already flipped.
#pragma once

#include <QRect>
#include <cstdint>

#include "skin/control_callbacks.h"
#include "skin/control_input.h"
#include "skin/paint_key.h"
#include "skin/skin_drawing.h"

class QPainter;

namespace kdsp::skin {

struct ImgButton {
  ImgButton() = default;
  // `changed` may point at the button's own byte, so a copy would share or lose the flag.
  ImgButton(const ImgButton&) = delete;
  ImgButton& operator=(const ImgButton&) = delete;

  ClickHandler clickHandler = nullptr;
  // The changed flag: the button itself never touches it; the page's click handler sets it and
  // only the synchronisation clears it. It is the button's own byte until the window points it
  // at the button's byte in the device link's ChangeFlags bank.
  std::uint8_t ownChanged = 0;
  std::uint8_t* changed = &ownChanged;
  std::uint8_t momentary = 1;  // 0 makes a toggle button
  Rect rect;
  std::uint8_t state = 0;  // 1 draws imageOn, 0 draws imageOff
  SkinImage imageOn = nullptr;
  SkinImage imageOff = nullptr;
  std::uint8_t pressed = 0;  // the left button went down inside and is not yet released
  void* userData = nullptr;  // handed to clickHandler

  SkinImage currentImage() const { return imageOfState(state); }
  SkinImage imageOfState(std::uint8_t shownState) const {
    return shownState != 0 ? imageOn : imageOff;
  }

  // The image of the current state scaled into the rectangle.
  void draw(QPainter& painter) const;
  // A fingerprint of everything draw() reads, and the area draw() may cover whatever the
  // control's state: the window repaints that area when the fingerprint changes.
  PaintKey paintKey() const;
  QRect paintBounds() const;
  // The same with the image of another state, for owners that show a state they keep elsewhere.
  void drawAs(QPainter& painter, std::uint8_t shownState) const;

  // Whether a press at the point lands on the button.
  bool hits(int px, int py) const { return rect.contains(px, py); }
  // A hit presses the button and flips its state.
  bool mouseDown(int px, int py);
  // Fires the click handler of a pressed button wherever the pointer is released.
  void mouseUp();
};

}  // namespace kdsp::skin
