// SPDX-License-Identifier: GPL-3.0-or-later
// A skin knob: one image drawn turned about its centre from -150 degrees at 0 to +150 degrees at
// max, with an optional value box. Dragged toward the pointer's angle one step per move,
// wheeled, or stepped with the arrow keys; always clamped to [min, max].
#pragma once

#include <QPointF>
#include <QRect>
#include <array>
#include <cstdint>

#include "skin/control_callbacks.h"
#include "skin/control_input.h"
#include "skin/img_edit.h"
#include "skin/paint_key.h"
#include "skin/skin_drawing.h"

class QPainter;

namespace kdsp::skin {

struct ImgKnob {
  ImgKnob() = default;
  // `changed` may point at the knob's own byte, so a copy would share or lose the flag.
  ImgKnob(const ImgKnob&) = delete;
  ImgKnob& operator=(const ImgKnob&) = delete;

  Rect rect;
  ImgEdit valueBox;
  std::int32_t min = 0;  // every knob of the program starts at 0: the angle is taken from value
  std::int32_t max = 100;
  std::int32_t step = 1;  // wheel notch and arrow key step
  std::int32_t value = 0;
  void* target = nullptr;     // the byte in the parameter block, read by the change handler
  std::int32_t dragStep = 1;  // the most one mouse move changes the value by
  std::uint8_t active = 0;    // keyboard and wheel focus
  // The changed flag: a change sets it, only the synchronisation clears it. It is the knob's own
  // byte until the window points it at the knob's byte in the device link's ChangeFlags bank.
  std::uint8_t ownChanged = 0;
  std::uint8_t* changed = &ownChanged;
  std::uint8_t showValueBox = 0;  // 0: the value box is neither drawn nor hit-tested
  ValueFormatter formatter = nullptr;
  ChangeHandler changeHandler = nullptr;
  void* userData = nullptr;  // handed to changeHandler
  SkinImage imageNormal = nullptr;
  SkinImage imageActive = nullptr;
  std::uint8_t dragging = 0;

  // value * 300 / (max - min) - 150.
  double angleDegrees() const;
  // Where the image's top-left, top-right and bottom-left corners land: the rectangle turned by
  // the angle about its centre (halves by integer division).
  std::array<QPointF, 3> corners() const;
  SkinImage image() const { return active != 0 ? imageActive : imageNormal; }

  // The image turned into its rectangle, then the value box when it is shown.
  void draw(QPainter& painter) const;
  // A fingerprint of everything draw() reads, and the area draw() may cover whatever the
  // control's state: the window repaints that area when the fingerprint changes.
  PaintKey paintKey() const;
  QRect paintBounds() const;

  // Whether a press at the point lands on the knob or on its value box while that is shown.
  bool hits(int px, int py) const {
    return rect.contains(px, py) || (showValueBox != 0 && valueBox.hits(px, py));
  }
  bool mouseDown(int px, int py);
  void mouseMove(int px, int py);
  void mouseUp() { dragging = 0; }
  void wheel(int delta, int px, int py);
  void keyDown(int key);

  void refreshText() { valueBox.showValue(formatter, value); }
  void fireChange() { FireChange(changeHandler, value, target, userData, changed); }

 private:
  void setValue(std::int64_t v);
};

}  // namespace kdsp::skin
