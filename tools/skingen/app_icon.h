// SPDX-License-Identifier: GPL-3.0-or-later
// The application icon for the desktop's icon theme: a bitmap for every usual size and a
// scalable source, all drawn from the emblem's shapes.
#pragma once

#include <QImage>
#include <QString>
#include <array>

namespace kdsp::skingen {

// The sizes a desktop looks the icon up in; each is painted at its size, never scaled, so small
// icons keep crisp edges and large ones are never blown up from a small bitmap.
inline constexpr std::array<int, 5> kAppIconSizes{32, 48, 64, 128, 256};
// The square the scalable icon is drawn in (its viewBox).
inline constexpr int kAppIconViewBox = 256;

// The emblem alone, filling a size × size square.
QImage AppIconPicture(int size);
// The same picture as an SVG document on a kAppIconViewBox square.
QString AppIconSvg();
// Writes <folder>/<N>x<N>/apps/kdsp.png for every size and <folder>/scalable/apps/kdsp.svg, the
// icon theme's layout, so the folder installs as it is.
bool WriteAppIconTheme(const QString& folder, QString& error);

}  // namespace kdsp::skingen
