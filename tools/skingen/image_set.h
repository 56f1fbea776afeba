// The whole skin image set: which painter makes the picture of each slot, and writing them as
// one PNG per resource number.
#pragma once

#include <QImage>
#include <QString>

#include "skin/skin_image_table.h"

namespace kdsp::skingen {

struct PaintOptions {
  bool overlay = false;  // draw the tables' control rectangles over the backgrounds
};

QImage PaintSlot(skin::SkinSlot slot, const PaintOptions& options);

// Paints every resource into `folder` as "<resource>.png". On failure returns false and says why.
bool WriteSkinImages(const QString& folder, const PaintOptions& options, QString& error);

// Every picture of the set on one sheet, captioned with its slot name, for looking at them.
QImage ContactSheet(const PaintOptions& options);

}  // namespace kdsp::skingen
