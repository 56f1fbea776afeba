// SPDX-License-Identifier: GPL-3.0-or-later
// The look every skin picture shares: the colours of the anodised panel, its silk-screen print,
// the lit and unlit lamps and the LCD windows, and the type styles of the print.
#pragma once

#include <QColor>
#include <QFont>

#include "skin/skin_colours.h"

namespace kdsp::skingen {

// The panel's colours are the skin's own: the standard windows are themed from the same table.
namespace colour = skin::colour;

// A style of printed text.
struct TextStyle {
  int pixels;
  bool bold;
  QColor colour;
  qreal letterSpacing = 0;  // extra pixels between letters
};

// Nothing printed on the panels is smaller than this, so every legend stays legible at 100 %.
inline constexpr int kLegibleMinimumPixels = 9;

namespace text {
inline const TextStyle kPageTitle{19, true, colour::kSilk, 1.0};
inline const TextStyle kSectionTitle{11, true, colour::kSilkAccent, 1.6};
inline const TextStyle kCaption{10, true, colour::kSilk, 0.4};
inline const TextStyle kSmallCaption{9, true, colour::kSilk, 0.3};
inline const TextStyle kScale{9, false, colour::kSilkDim, 0};
inline const TextStyle kScaleBold{9, true, colour::kSilk, 0};
}  // namespace text

QFont FontOf(const TextStyle& style);

}  // namespace kdsp::skingen
