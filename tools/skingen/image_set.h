// SPDX-License-Identifier: GPL-3.0-or-later
// The whole skin image set: writing it as one PNG per resource number, the list of those files
// for the build, and a contact sheet to look at.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "skin/skin_image_table.h"
#include "slot_painters.h"

namespace kdsp::skingen {

// The entries whose pictures are painted: the first slot of every resource number, in table
// order. Slots that share a number (the knob) share its one picture.
std::vector<skin::SkinImageEntry> PaintedEntries();

// The file a resource's picture at `scale` is written to inside the folder: "<resource>.png" at
// 1x, "<resource>@2x.png" at 2x, beside each other.
QString PictureFileName(int resourceId, int scale);

// Paints every resource into `folder` at every scale of kPictureScales. On failure returns false
// and says why.
bool WriteSkinImages(const QString& folder, const PaintOptions& options, QString& error);

// Every picture of the set on one sheet, captioned with its slot name, for looking at them.
QImage ContactSheet(const PaintOptions& options);

}  // namespace kdsp::skingen
