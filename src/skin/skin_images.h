// SPDX-License-Identifier: GPL-3.0-or-later
// The skin image set: every picture the skinned windows draw, embedded in the program at 1x and
// 2x and shared by reference with the pages and their controls. Each picture decodes the scale a
// window draws it at when that window first paints it.
#pragma once

#include <array>

#include "skin/skin_image_table.h"
#include "skin/skin_picture.h"

namespace kdsp::skin {

// One picture per slot of the skin table, looked up by slot: images[SkinSlot::kThumbNormal]. The
// main window owns the one set; everybody else holds references into it, so it is neither copied
// nor moved.
class SkinImages {
 public:
  SkinImages() = default;
  SkinImages(const SkinImages&) = delete;
  SkinImages& operator=(const SkinImages&) = delete;

  SkinPicture& operator[](SkinSlot slot) { return bySlot_[static_cast<std::size_t>(slot)]; }
  const SkinPicture& operator[](SkinSlot slot) const {
    return bySlot_[static_cast<std::size_t>(slot)];
  }

 private:
  std::array<SkinPicture, kSkinSlotCount> bySlot_;
};

// Binds every slot to its embedded picture, in table order; nothing is decoded yet.
void LoadSkinImages(SkinImages& images);

}  // namespace kdsp::skin
