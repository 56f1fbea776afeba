// SPDX-License-Identifier: GPL-3.0-or-later
// The connection indicator and the logo.
#pragma once

#include <QImage>

namespace kdsp::skingen {

// The connection lamp's three looks: lit, dark, and a processor present that may not be opened.
enum class LinkLamp { kOn, kOff, kWithoutAccess };

// The connection lamp at full resolution (the main window draws it at 43 × 43): a chain-link
// symbol in a round lens, lit green while a processor is connected; glowing amber with the chain
// struck through in red while a processor is present that this user may not open.
QImage LinkPicture(int size, LinkLamp lamp, int scale);
// The maker's mark printed on the main window and five pages.
QImage LogoPicture(int width, int height, int scale);

}  // namespace kdsp::skingen
