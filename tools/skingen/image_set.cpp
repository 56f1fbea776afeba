// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the skin image set out and putting it on a contact sheet.
#include "image_set.h"

#include <QDir>
#include <QPainter>
#include <set>

#include "panel_drawing.h"
#include "panel_style.h"
#include "picture_scale.h"

namespace kdsp::skingen {
namespace {

bool IsBackground(skin::SkinSlot slot) {
  return slot == skin::SkinSlot::kMainBackground ||
         (slot >= skin::SkinSlot::kPageBackground0 && slot <= skin::SkinSlot::kPageBackground7);
}

QString NameOf(const skin::SkinImageEntry& entry) {
  return QString::fromLatin1(entry.name.data(), static_cast<int>(entry.name.size()));
}

}  // namespace

std::vector<skin::SkinImageEntry> PaintedEntries() {
  std::vector<skin::SkinImageEntry> painted;
  std::set<int> seen;
  for (const skin::SkinImageEntry& entry : skin::kSkinImageTable)
    if (seen.insert(entry.resourceId).second) painted.push_back(entry);
  return painted;
}

QString PictureFileName(int resourceId, int scale) {
  if (scale == 1) return QStringLiteral("%1.png").arg(resourceId);
  return QStringLiteral("%1@%2x.png").arg(resourceId).arg(scale);
}

bool WriteSkinImages(const QString& folder, const PaintOptions& options, QString& error) {
  if (!QDir().mkpath(folder)) {
    error = QStringLiteral("cannot create the folder %1").arg(folder);
    return false;
  }
  for (const int scale : kPictureScales) {
    PaintOptions scaled = options;
    scaled.scale = scale;
    for (const skin::SkinImageEntry& entry : PaintedEntries()) {
      const QImage image = PaintSlot(entry.slot, scaled);
      if (image.width() != entry.width * scale || image.height() != entry.height * scale) {
        error = QStringLiteral("%1 painted at %2 x %3, listed at %4 x %5 times %6")
                    .arg(NameOf(entry))
                    .arg(image.width())
                    .arg(image.height())
                    .arg(entry.width)
                    .arg(entry.height)
                    .arg(scale);
        return false;
      }
      const QString path = QDir(folder).filePath(PictureFileName(entry.resourceId, scale));
      if (!image.save(path, "PNG")) {
        error = QStringLiteral("cannot write %1").arg(path);
        return false;
      }
    }
  }
  return true;
}

QImage ContactSheet(const PaintOptions& options) {
  constexpr int kWidth = 1100;
  constexpr int kCell = 150;
  QImage sheet = PanelSurface(kWidth, 900, 1, 1);
  QPainter p(&sheet);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  int x = 10;
  int y = 10;
  int rowHeight = 0;
  for (const skin::SkinImageEntry& entry : skin::kSkinImageTable) {
    if (IsBackground(entry.slot)) continue;
    const QImage image = PaintSlot(entry.slot, options);
    // Small pictures are shown twice their size so their detail can be judged.
    const int scale = image.width() <= 64 && image.height() <= 64 ? 2 : 1;
    QSize shown = image.size() * scale;
    if (shown.width() > kCell) shown.scale(kCell, kCell, Qt::KeepAspectRatio);
    if (x + kCell > kWidth) {
      x = 10;
      y += rowHeight + 24;
      rowHeight = 0;
    }
    p.drawImage(QRect(QPoint(x, y), shown), image);
    DrawLabel(p, NameOf(entry), QPointF(x, y + shown.height() + 4), Qt::AlignLeft | Qt::AlignTop,
              text::kScale);
    rowHeight = std::max(rowHeight, shown.height());
    x += kCell;
  }
  return sheet.copy(0, 0, kWidth, std::min(900, y + rowHeight + 30));
}

}  // namespace kdsp::skingen
