// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the main window's settings status: the A and B tabs with the live one lit, the origin
// of the live settings elided to the section's width, and beneath it in amber "Not on the
// processor" or "Modified".
#pragma once

#include <QRect>
#include <QString>

#include "app/settings_status.h"
#include "skin/skin_fonts.h"

class QPainter;

namespace kdsp::app {

// Everything DrawSettingsStatus may touch, inside the section's frame.
QRect SettingsStatusBounds();

// The origin as it fits the width the section gives it, cut with "…".
QString ShownOrigin(const SettingsStatus& status, const skin::SkinFonts& fonts);

void DrawSettingsStatus(QPainter& painter, const SettingsStatus& status,
                        const skin::SkinFonts& fonts);

}  // namespace kdsp::app
