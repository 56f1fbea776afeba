// The connection indicator, the logo and the application icon.
#pragma once

#include <QImage>

namespace kdsp::skingen {

// The connection lamp at full resolution (the main window draws it at 43 × 43): a chain-link
// symbol in a round lens, lit green while a processor is connected.
QImage LinkPicture(int size, bool on);
// The maker's mark printed on the main window and five pages.
QImage LogoPicture(int width, int height);
// The application icon for the desktop: the logo's emblem alone, filling a size × size square.
QImage AppIconPicture(int size);

}  // namespace kdsp::skingen
