// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt resource collection (.qrc) that lists the painted pictures: the build hands it to rcc,
// which embeds each picture as ":/skin/<resource>.png" (1x) and ":/skin2x/<resource>.png" (2x),
// so the list of files comes from the generator that walked the skin table and the build keeps
// no copy of it. Each scale has a prefix of its own with the same names under it, so a reader
// picks one set by its prefix and never mixes pictures of two scales.
#pragma once

#include <QString>

namespace kdsp::skingen {

// The prefix of the pictures at `scale`: "/skin" at 1x, "/skin2x" at 2x.
QString SkinResourcePrefix(int scale);

// The collection's text for the pictures painted into `pictureFolder`, their paths written
// relative to `qrcFolder` (where rcc resolves them).
QString SkinResourceCollection(const QString& qrcFolder, const QString& pictureFolder);

// Writes the collection to `qrcFile` in one piece: a reader sees the old file or the new one. On
// failure returns false and says why.
bool WriteSkinResourceCollection(const QString& qrcFile, const QString& pictureFolder,
                                 QString& error);

}  // namespace kdsp::skingen
