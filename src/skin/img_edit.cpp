// SPDX-License-Identifier: GPL-3.0-or-later
// Skin value box behaviour and drawing.
#include "skin/img_edit.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QString>
#include <algorithm>

#include "skin/skin_colours.h"

namespace kdsp::skin {
namespace {

bool Typable(char ch) {
  return (ch >= '0' && ch <= '9') || ch == '-' || ch == '.' || ch == ',';
}

// A refused entry: the red lamp colour as a frame over a red tint of the box image.
constexpr int kFlashFrameWidth = 2;
constexpr int kFlashTintAlpha = 0x50;

QColor FlashTint() {
  QColor tint = colour::kLitRed;
  tint.setAlpha(kFlashTintAlpha);
  return tint;
}

}  // namespace

void ImgEdit::showValue(ValueFormatter formatter, std::int32_t value) {
  if (formatter == nullptr) return;
  text.fill(0);
  formatter(value, text);
  text.back() = 0;
}

void ImgEdit::draw(QPainter& painter) const {
  const QRect box(rect.x, rect.y, rect.w, rect.h);
  DrawImageInto(painter, active != 0 ? imageActive : imageNormal, box);
  if (flashing != 0) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(box, FlashTint());
    painter.setPen(
        QPen(colour::kLitRed, kFlashFrameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(1, 1, -1, -1));
    painter.restore();
  }
  const std::string_view chars = textView();
  const QString shown = QString::fromLatin1(chars.data(), static_cast<qsizetype>(chars.size()));
  if (shown.isEmpty()) return;
  DrawTextInBox(painter, shown, font != nullptr ? *font : painter.font(),
                QColor(255, 255, 255, 255), box, align == BoxAlign::kCentre);
}

PaintKey ImgEdit::paintKey() const {
  return PaintKey()
      .add(rect)
      .add(active)
      .add(imageActive)
      .add(imageNormal)
      .add(font)
      .add(textView())
      .add(align)
      .add(flashing);
}

QRect ImgEdit::paintBounds() const {
  return QRect(rect.x, rect.y, rect.w, rect.h);
}

bool ImgEdit::mouseDown(int px, int py) {
  if (hits(px, py)) {
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
  bool taken = true;
  if (commitA != nullptr && userDataA != nullptr) {
    taken = commitA(*this, userDataA, text);
    dirty = 0;
  }
  if (dirty != 0 && commitB != nullptr && userDataB != nullptr) {
    taken = commitB(userDataB, text);
    dirty = 0;
  }
  text.back() = 0;
  if (!taken) {
    // The handler has put the value in force back; typing goes on with a new entry rather than
    // after that text.
    flashing = 1;
    cursor = -1;
  }
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
