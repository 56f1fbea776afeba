// SPDX-License-Identifier: GPL-3.0-or-later
// Creating the skin fonts.
#include "skin/skin_fonts.h"

namespace kdsp::skin {
namespace {

QFont MakeFont(const char* family, int pixels, bool bold) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(pixels);
  font.setBold(bold);
  // Keep the face even if the family is missing on this machine: fall back to a sans face
  // rather than to whatever the platform's default happens to be.
  font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
  return font;
}

}  // namespace

QFont MakeSkinFont(int pixels, bool bold) {
  return MakeFont(kSkinFontFamily, pixels, bold);
}

SkinFonts MakeSkinFonts() {
  return SkinFonts{
      .fontValue = MakeSkinFont(kValueFontPixels, true),
      .fontSmall = MakeSkinFont(kSmallFontPixels, false),
      .fontTiny = MakeSkinFont(kTinyFontPixels, true),
      .fontCjk = MakeFont(kCjkFontFamily, kCjkFontPixels, false),
  };
}

}  // namespace kdsp::skin
