// SPDX-License-Identifier: GPL-3.0-or-later
// The effect pages' backgrounds: one painter driven by a page's control table prints its title,
// the EQ strips' scales and captions, the fader groups with their frames, scales and knob
// dials, and the screen the response chart is drawn over.
#pragma once

#include <QImage>

#include "skin/page_layouts.h"

namespace kdsp::skingen {

QImage PageBackgroundPicture(const skin::page_layout::PageLayout& page, int scale);

}  // namespace kdsp::skingen
