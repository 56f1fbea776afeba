// SPDX-License-Identifier: GPL-3.0-or-later
// The one dark theme of the program's standard Qt windows (system control panel, dialogs, the
// Presets menu, message, question and input boxes, file dialogs, progress bars, tool tips), made
// from the skin's own colours and font so that no light default window appears over the dark
// panels. Applied once at start, before the first window is made.
#pragma once

#include <QFont>
#include <QPalette>

namespace kdsp::skin {

// The palette of the standard windows: panel-coloured windows and buttons, LCD-dark entry
// fields and lists, silk-screen text, the LCD's blue for selections.
QPalette DarkPalette();
// The skin's sans face at the standard windows' size.
QFont StandardWindowFont();
// Fusion style, the palette and the font for the whole program; Qt's own file and message
// dialogs instead of the desktop's, which would keep the desktop's light look. Fusion draws
// everything from the palette, so no style sheet is needed.
void ApplyDarkTheme();

}  // namespace kdsp::skin
