// SPDX-License-Identifier: GPL-3.0-or-later
// Where the pages and dialogs open the first time: centred on the main window's screen, moved
// aside when that would hide the main window's Presets button or LINK lamp, and in front. Later
// openings keep the place the user left the window at.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace kdsp::app {

// The top-left corner for a window of `size` on the screen area `screen`, given the main
// window's frame `mainWindow`: the centre of the screen, unless the window would cover the
// Presets button or the LINK lamp there; then the nearest place beside, above or below them
// that keeps both visible and the window on the screen. Where no such place exists the window
// stays centred, its top-left corner on the screen.
QPoint FirstPlacement(const QRect& mainWindow, const QRect& screen, QSize size);

// Places `window` with FirstPlacement when it is shown for the first time.
void PlaceOnFirstShow(QWidget& window, const QWidget& mainWindow);

// Shows the window (placed as above on its first showing) and brings it in front of the others.
void ShowInFront(QWidget& window);

}  // namespace kdsp::app
