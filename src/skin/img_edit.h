// SPDX-License-Identifier: GPL-3.0-or-later
// A skin value box: a background image with a short white text that takes typed digits, signs
// and decimal separators, and commits the entry on Enter or on a click elsewhere. An entry the
// commit handler refuses leaves the value in force on show and makes the box flash until its
// window ends the flash.
#pragma once

#include <QRect>
#include <cstdint>
#include <string_view>

#include "skin/control_callbacks.h"
#include "skin/control_input.h"
#include "skin/paint_key.h"
#include "skin/skin_drawing.h"

class QFont;
class QPainter;

namespace kdsp::skin {

// Where a value box puts a text that fits inside it.
enum class BoxAlign : std::uint8_t { kLeft, kCentre };

struct ImgEdit {
  Rect rect;
  std::uint8_t active = 0;  // takes typed characters
  SkinImage imageActive = nullptr;
  SkinImage imageNormal = nullptr;
  const QFont* font = nullptr;  // the window's shared font; none draws with the painter's font
  // Typing stops when the text would grow past this many characters (and never past 9).
  std::int32_t maxChars = 2;
  BoxText text{};
  std::uint8_t readOnly = 0;
  BoxCommitHandler commitA = nullptr;
  void* userDataA = nullptr;
  void* userDataB = nullptr;
  CommitHandler commitB = nullptr;
  std::uint8_t dirty = 0;    // an entry is waiting to be committed
  std::int32_t cursor = -1;  // index of the last typed character; -1: the next one replaces all
  BoxAlign align = BoxAlign::kLeft;
  std::uint8_t flashing = 0;  // the last entry was refused; drawn with a red frame

  // A box that centres its text, with every other field at its default.
  static ImgEdit Centred() {
    ImgEdit box;
    box.align = BoxAlign::kCentre;
    return box;
  }

  std::string_view textView() const { return BoxTextView(text); }
  // Clears the 10 bytes and copies at most 9 characters.
  void setText(std::string_view s) { SetBoxText(text, s); }
  // The text of a value through a formatter; without a formatter the text stays as it is.
  void showValue(ValueFormatter formatter, std::int32_t value);

  // The active or normal image into the rectangle, then the text in opaque white, clipped to the
  // rectangle: its top at the box origin, left-aligned or centred as `align` says; a text wider
  // than the box shows its end, where typing happens. A flashing box gets a red frame on top.
  void draw(QPainter& painter) const;
  // A fingerprint of everything draw() reads, and the area draw() may cover whatever the
  // control's state: the window repaints that area when the fingerprint changes.
  PaintKey paintKey() const;
  QRect paintBounds() const;

  // Whether a press at the point lands on the box.
  bool hits(int px, int py) const { return rect.contains(px, py); }
  // A hit activates the box for a new entry; a miss deactivates it and commits a pending entry.
  bool mouseDown(int px, int py);
  // Backspace (8), Enter (13), digits, minus, full stop and comma; ignored unless active and
  // editable.
  void keyPress(char ch);
  // Hands a pending entry to commit handler A or, when A is not set, to B; a refused entry starts
  // the flash and ends the entry, so the next typed character starts a new one.
  void commitPending();
  void endFlash() { flashing = 0; }
};

}  // namespace kdsp::skin
