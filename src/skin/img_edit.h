// A skin value box: a background image with a short white text that takes typed digits, signs
// and decimal separators, and commits the entry on Enter or on a click elsewhere.
#pragma once

#include <cstdint>
#include <string_view>

#include "skin/control_callbacks.h"
#include "skin/control_input.h"
#include "skin/skin_drawing.h"

class QFont;
class QPainter;

namespace kdsp::skin {

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

  std::string_view textView() const { return BoxTextView(text); }
  // Clears the 10 bytes and copies at most 9 characters.
  void setText(std::string_view s) { SetBoxText(text, s); }
  // The text of a value through a formatter; without a formatter the text stays as it is.
  void showValue(ValueFormatter formatter, std::int32_t value);

  // The active or normal image into the rectangle, then the text in opaque white with its
  // top-left at the box origin.
  void draw(QPainter& painter) const;

  // A hit activates the box for a new entry; a miss deactivates it and commits a pending entry.
  bool mouseDown(int px, int py);
  // Backspace (8), Enter (13), digits, minus, full stop and comma; ignored unless active and
  // editable.
  void keyPress(char ch);
  // Hands a pending entry to commit handler A or, when A is not set, to B.
  void commitPending();
};

}  // namespace kdsp::skin
