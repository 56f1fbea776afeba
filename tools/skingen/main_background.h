// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's background: the output mixer's sections, scales and captions, printed
// against the main window's control table.
#pragma once

#include <QImage>

namespace kdsp::skingen {

QImage MainBackgroundPicture(int scale);

}  // namespace kdsp::skingen
