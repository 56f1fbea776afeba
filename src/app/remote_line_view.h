// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the main window's phone remote line: a dark inset strip along the bottom edge with
// the lamp, the caption, the address and the pairing code.
#pragma once

#include <QRect>

#include "app/remote_line.h"
#include "skin/skin_fonts.h"

class QPainter;

namespace kdsp::app {

// Everything DrawRemoteLine may touch.
QRect RemoteLineBounds();

// Paints the line; nothing while the remote does not serve.
void DrawRemoteLine(QPainter& painter, const RemoteLine& line, const skin::SkinFonts& fonts);

}  // namespace kdsp::app
