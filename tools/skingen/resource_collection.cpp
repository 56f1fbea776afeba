// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the Qt resource collection of the painted pictures.
#include "resource_collection.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "image_set.h"
#include "picture_scale.h"

namespace kdsp::skingen {

QString SkinResourcePrefix(int scale) {
  if (scale == 1) return QStringLiteral("/skin");
  return QStringLiteral("/skin%1x").arg(scale);
}

QString SkinResourceCollection(const QString& qrcFolder, const QString& pictureFolder) {
  const QDir from(qrcFolder);
  const QDir pictures(pictureFolder);
  QString qrc = QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n");
  for (const int scale : kPictureScales) {
    qrc += QStringLiteral("<qresource prefix=\"%1\">\n").arg(SkinResourcePrefix(scale));
    for (const skin::SkinImageEntry& entry : PaintedEntries()) {
      // The alias fixes the name inside the resources wherever the pictures' folder lies, and
      // gives both scales the one name.
      const QString file = PictureFileName(entry.resourceId, scale);
      qrc += QStringLiteral("  <file alias=\"%1\">%2</file>\n")
                 .arg(PictureFileName(entry.resourceId, 1),
                      from.relativeFilePath(pictures.absoluteFilePath(file)).toHtmlEscaped());
    }
    qrc += QStringLiteral("</qresource>\n");
  }
  qrc += QStringLiteral("</RCC>\n");
  return qrc;
}

bool WriteSkinResourceCollection(const QString& qrcFile, const QString& pictureFolder,
                                 QString& error) {
  const QFileInfo info(qrcFile);
  if (!QDir().mkpath(info.absolutePath())) {
    error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
    return false;
  }
  QSaveFile file(qrcFile);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    error = QStringLiteral("cannot write %1: %2").arg(qrcFile, file.errorString());
    return false;
  }
  file.write(SkinResourceCollection(info.absolutePath(), pictureFolder).toUtf8());
  if (!file.commit()) {
    error = QStringLiteral("cannot write %1: %2").arg(qrcFile, file.errorString());
    return false;
  }
  return true;
}

}  // namespace kdsp::skingen
