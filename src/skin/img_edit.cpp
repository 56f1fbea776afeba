// Skin value box behaviour and drawing.
#include "skin/img_edit.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>
#include <algorithm>

namespace kdsp::skin {
namespace {

bool Typable(char ch) {
  return (ch >= '0' && ch <= '9') || ch == '-' || ch == '.' || ch == ',';
}

}  // namespace

void ImgEdit::showValue(ValueFormatter formatter, std::int32_t value) {
  if (formatter == nullptr) return;
  text.fill(0);
  formatter(value, text);
  text.back() = 0;
}

void ImgEdit::draw(QPainter& painter) const {
  DrawImageInto(painter, active != 0 ? imageActive : imageNormal,
                QRect(rect.x, rect.y, rect.w, rect.h));
  const std::string_view chars = textView();
  const QString shown = QString::fromLatin1(chars.data(), static_cast<qsizetype>(chars.size()));
  if (shown.isEmpty()) return;
  DrawTextAt(painter, shown, font != nullptr ? *font : painter.font(), QColor(255, 255, 255, 255),
             rect.x, rect.y);
}

bool ImgEdit::mouseDown(int px, int py) {
  if (rect.contains(px, py)) {
    active = 1;
    cursor = -1;
    return true;
  }
  active = 0;
  commitPending();
  return false;
}

void ImgEdit::commitPending() {
  if (dirty == 0) return;
  if (commitA != nullptr && userDataA != nullptr) {
    commitA(*this, userDataA, text);
    dirty = 0;
  }
  if (dirty != 0 && commitB != nullptr && userDataB != nullptr) {
    commitB(userDataB, text);
    dirty = 0;
  }
  text.back() = 0;
}

void ImgEdit::keyPress(char ch) {
  if (active == 0 || readOnly != 0) return;
  if (ch == kCharBackspace) {
    if (cursor > -1 && cursor < kBoxTextMaxChars) {
      text[static_cast<std::size_t>(cursor)] = 0;
      --cursor;
    } else {
      text.fill(0);
    }
    dirty = 1;
  }
  if (ch == kCharEnter) commitPending();
  // The buffer holds 9 characters whatever a page asks for.
  const int limit = std::min(maxChars, kBoxTextMaxChars);
  if (cursor >= -1 && cursor <= limit - 2 && Typable(ch)) {
    if (cursor == -1) text.fill(0);
    ++cursor;
    text[static_cast<std::size_t>(cursor)] = ch;
    dirty = 1;
  }
}

}  // namespace kdsp::skin
