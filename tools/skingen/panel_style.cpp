// SPDX-License-Identifier: GPL-3.0-or-later
// The type styles of the print as fonts.
#include "panel_style.h"

#include "skin/skin_fonts.h"

namespace kdsp::skingen {

QFont FontOf(const TextStyle& style) {
  QFont font(QString::fromLatin1(skin::kSkinFontFamily));
  font.setPixelSize(style.pixels);
  font.setBold(style.bold);
  font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  if (style.letterSpacing != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, style.letterSpacing);
  return font;
}

}  // namespace kdsp::skingen
