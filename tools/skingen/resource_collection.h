// The Qt resource collection (.qrc) that lists the painted pictures: the build hands it to rcc,
// which embeds each picture as ":/skin/<resource>.png", so the list of files comes from the
// generator that walked the skin table and the build keeps no copy of it.
#pragma once

#include <QString>

namespace kdsp::skingen {

inline constexpr char kSkinResourcePrefix[] = "/skin";

// The collection's text for the pictures painted into `pictureFolder`, their paths written
// relative to `qrcFolder` (where rcc resolves them).
QString SkinResourceCollection(const QString& qrcFolder, const QString& pictureFolder);

// Writes the collection to `qrcFile` in one piece: a reader sees the old file or the new one. On
// failure returns false and says why.
bool WriteSkinResourceCollection(const QString& qrcFile, const QString& pictureFolder,
                                 QString& error);

}  // namespace kdsp::skingen
