// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of the skin: the anodised panel, its silk-screen print, the lamps and the LCD
// windows. The skin generator paints the pictures with them and the standard Qt windows take
// their dark theme from them, so both stay one look.
#pragma once

#include <QColor>

namespace kdsp::skin {

namespace colour {
// Anodised panel: a dark blue-grey, lighter at the top.
inline const QColor kPanelTop{0x34, 0x38, 0x3e};
inline const QColor kPanelBottom{0x1c, 0x1f, 0x23};
// Engraving: a dark cut with a light lip below and to the right of it.
inline const QColor kEngraveDark{0, 0, 0, 150};
inline const QColor kEngraveLight{255, 255, 255, 34};
// Silk-screen print.
inline const QColor kSilk{0xe2, 0xe4, 0xe7};
inline const QColor kSilkDim{0xb9, 0xbe, 0xc5};
inline const QColor kSilkAccent{0xf2, 0xb4, 0x4a};  // section titles
// Fader slots.
inline const QColor kSlot{0x06, 0x07, 0x08};
// LCD windows and the chart screen.
inline const QColor kLcdTop{0x0b, 0x13, 0x18};
inline const QColor kLcdBottom{0x05, 0x09, 0x0c};
inline const QColor kLcdActiveTop{0x0f, 0x2a, 0x36};
inline const QColor kLcdActiveBottom{0x08, 0x17, 0x1f};
inline const QColor kLcdActiveEdge{0x47, 0xc8, 0xff};
inline const QColor kScreenTop{0x0d, 0x12, 0x17};
inline const QColor kScreenBottom{0x07, 0x0a, 0x0d};
// Printed label plate that carries black text.
inline const QColor kPlateTop{0xdd, 0xe0, 0xe3};
inline const QColor kPlateBottom{0xbd, 0xc1, 0xc6};
// Lamps.
inline const QColor kLitGreen{0x5c, 0xff, 0x86};
inline const QColor kLitAmber{0xff, 0xb8, 0x3d};
inline const QColor kLitRed{0xff, 0x4d, 0x3f};
inline const QColor kLitBlue{0x4f, 0xc3, 0xff};
inline const QColor kUnlit{0x3a, 0x3f, 0x45};
// Button caps.
inline const QColor kCapTop{0x4a, 0x4f, 0x56};
inline const QColor kCapBottom{0x25, 0x28, 0x2d};
inline const QColor kCapEdge{0x0e, 0x10, 0x12};
}  // namespace colour

}  // namespace kdsp::skin
