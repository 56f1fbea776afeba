// SPDX-License-Identifier: GPL-3.0-or-later
// A skin fader: a thumb image that slides vertically in a rectangle, with its own value box.
// The value is dragged, wheeled or stepped with the arrow keys, always clamped to [min, limit].
#pragma once

#include <QRect>
#include <cstdint>

#include "skin/control_callbacks.h"
#include "skin/control_input.h"
#include "skin/img_edit.h"
#include "skin/paint_key.h"
#include "skin/skin_drawing.h"

class QPainter;

namespace kdsp::skin {

struct ImgRoller {
  ImgRoller() = default;
  // `changed` may point at the fader's own byte, so a copy would share or lose the flag.
  ImgRoller(const ImgRoller&) = delete;
  ImgRoller& operator=(const ImgRoller&) = delete;

  Rect rect;
  std::uint8_t active = 0;       // keyboard and wheel focus
  SkinImage imageOn = nullptr;   // thumb while active
  SkinImage imageOff = nullptr;  // thumb otherwise
  std::uint8_t dragging = 0;
  void* userData = nullptr;               // handed to changeHandler
  ImgEdit valueBox = ImgEdit::Centred();  // the number sits over the fader's slot
  std::int32_t min = 0;
  std::int32_t max = 100;
  std::int32_t limit = 100;  // upper clamp of every change; a page may set it below max
  std::int32_t step = 1;     // kept for the page; the fader's own gestures move by 1
  std::int32_t value = 0;
  // The changed flag: a change sets it, only the synchronisation clears it. It is the fader's own
  // byte until the window points it at the fader's byte in the device link's ChangeFlags bank.
  std::uint8_t ownChanged = 0;
  std::uint8_t* changed = &ownChanged;
  ValueFormatter formatter = nullptr;
  ChangeHandler changeHandler = nullptr;
  void* target = nullptr;  // the field in the parameter block, read by the change handler
  std::int32_t dragStartY = 0;
  std::int32_t dragStartValue = 0;

  // Sets min and max, limit = max, and value = min, as a freshly made fader has them.
  void setRange(std::int32_t lo, std::int32_t hi);

  // Pixels from the top of the rectangle to the top of the thumb: max puts the thumb at the top,
  // min at the bottom.
  int thumbOffset() const;
  SkinImage thumb() const { return active != 0 ? imageOn : imageOff; }

  // The thumb at its natural size, then the value box.
  void draw(QPainter& painter) const;
  // A fingerprint of everything draw() reads, and the area draw() may cover whatever the
  // control's state: the window repaints that area when the fingerprint changes.
  PaintKey paintKey() const;
  QRect paintBounds() const;

  // Whether a press at the point lands on the fader or its value box.
  bool hits(int px, int py) const { return rect.contains(px, py) || valueBox.hits(px, py); }
  bool mouseDown(int px, int py);
  void mouseMove(int px, int py);
  void mouseUp() { dragging = 0; }
  void wheel(int delta, int px, int py);
  void keyDown(int key);

  // The value's text into the value box, through the formatter.
  void refreshText() { valueBox.showValue(formatter, value); }
  // The change handler, then the changed flag; neither without a handler.
  void fireChange() { FireChange(changeHandler, value, target, userData, changed); }

 private:
  void setValue(std::int64_t v);
};

}  // namespace kdsp::skin
