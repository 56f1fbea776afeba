// SPDX-License-Identifier: GPL-3.0-or-later
// Previews of the windows: each background with the control pictures placed where the tables
// put them, holding sample values, to judge the set as the user will see it.
#pragma once

#include <QImage>

#include "image_set.h"
#include "skin/page_layouts.h"

namespace kdsp::skingen {

QImage MainWindowPreview(const PaintOptions& options);
QImage PagePreview(const skin::page_layout::PageLayout& page, const PaintOptions& options);

}  // namespace kdsp::skingen
