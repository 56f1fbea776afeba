// Writing the Qt resource collection of the painted pictures.
#include "resource_collection.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "image_set.h"

namespace kdsp::skingen {

QString SkinResourceCollection(const QString& qrcFolder, const QString& pictureFolder) {
  const QDir from(qrcFolder);
  const QDir pictures(pictureFolder);
  QString qrc = QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"%1\">\n")
                    .arg(QLatin1String(kSkinResourcePrefix));
  for (const skin::SkinImageEntry& entry : PaintedEntries()) {
    const QString name = PictureFileName(entry.resourceId);
    // The alias fixes the name inside the resources wherever the pictures' folder lies.
    qrc += QStringLiteral("  <file alias=\"%1\">%2</file>\n")
               .arg(name, from.relativeFilePath(pictures.absoluteFilePath(name)).toHtmlEscaped());
  }
  qrc += QStringLiteral("</qresource>\n</RCC>\n");
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
