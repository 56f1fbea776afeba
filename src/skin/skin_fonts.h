// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts of the skinned windows: created once by the main window and shared with the pages.
#pragma once

#include <QFont>

namespace kdsp::skin {

// "Liberation Sans" has the metrics of the panel's sans-serif; the Chinese captions need a CJK
// face.
inline constexpr char kSkinFontFamily[] = "Liberation Sans";
inline constexpr char kCjkFontFamily[] = "WenQuanYi Micro Hei";

inline constexpr int kValueFontPixels = 12;
inline constexpr int kSmallFontPixels = 11;
inline constexpr int kTinyFontPixels = 8;
inline constexpr int kCjkFontPixels = 12;
// The standard Qt windows (dialogs, menus, message boxes) in the skin's face.
inline constexpr int kStandardWindowFontPixels = 12;

struct SkinFonts {
  QFont fontValue;  // 12 px bold: fader and value box text on all windows
  QFont fontSmall;  // 11 px regular: version text, the main window's knob boxes, page texts
  QFont fontTiny;   // 8 px bold: text of the Main Output page
  QFont fontCjk;    // 12 px regular: Chinese captions
};

// A font of the skin family at a size in pixels.
QFont MakeSkinFont(int pixels, bool bold);

SkinFonts MakeSkinFonts();

}  // namespace kdsp::skin
