// The skin image set: every picture the skinned windows draw, decoded once from the resources
// embedded in the program and shared by reference with the pages and their controls.
#pragma once

#include <QImage>
#include <array>

#include "skin/skin_image_table.h"

namespace kdsp::skin {

// The picture embedded under resource number `resourceId` (":/skin/<id>.png"). A missing or
// undecodable resource gives a null image: drawing it draws nothing and it measures 0.
QImage LoadSkinImage(int resourceId);

// One picture per slot of the skin table, looked up by slot: images[SkinSlot::kThumbNormal]. The
// main window owns the one set; everybody else holds references into it, so it is neither copied
// nor moved.
class SkinImages {
 public:
  SkinImages() = default;
  SkinImages(const SkinImages&) = delete;
  SkinImages& operator=(const SkinImages&) = delete;

  QImage& operator[](SkinSlot slot) { return bySlot_[static_cast<std::size_t>(slot)]; }
  const QImage& operator[](SkinSlot slot) const { return bySlot_[static_cast<std::size_t>(slot)]; }

 private:
  std::array<QImage, kSkinSlotCount> bySlot_;
};

// Fills every slot in table order (the main background first, then the page backgrounds).
void LoadSkinImages(SkinImages& images);

}  // namespace kdsp::skin
