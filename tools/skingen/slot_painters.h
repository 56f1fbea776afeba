// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the picture of one skin slot: the options that change the pictures, and the entry
// point that finds the slot's painter.
#pragma once

#include <QImage>

#include "skin/skin_image_table.h"

namespace kdsp::skingen {

struct PaintOptions {
  bool overlay = false;  // draw the tables' control rectangles over the backgrounds
  int scale = 1;         // device pixels per unit of the tables' grid
};

// The picture of `slot`, at the size the skin table lists for it times the scale.
QImage PaintSlot(skin::SkinSlot slot, const PaintOptions& options);

}  // namespace kdsp::skingen
