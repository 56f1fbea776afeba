// SPDX-License-Identifier: GPL-3.0-or-later
// A check of the printing against the tables: the control rectangles of a window drawn faintly
// over its background, so the scales and captions can be seen to line up with them.
#pragma once

#include <QImage>

#include "skin/page_layouts.h"

namespace kdsp::skingen {

void DrawMainOverlay(QImage& background);
void DrawPageOverlay(QImage& background, const skin::page_layout::PageLayout& page);

}  // namespace kdsp::skingen
