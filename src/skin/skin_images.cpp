// SPDX-License-Identifier: GPL-3.0-or-later
// Binding the skin image set to the embedded pictures.
#include "skin/skin_images.h"

namespace kdsp::skin {

void LoadSkinImages(SkinImages& images) {
  for (const SkinImageEntry& entry : kSkinImageTable)
    images[entry.slot] = SkinPicture(entry.resourceId);
}

}  // namespace kdsp::skin
