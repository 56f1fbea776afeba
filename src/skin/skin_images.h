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

// One member per slot of the skin table. The main window owns the one set; everybody else
// holds references into it, so it is neither copied nor moved.
struct SkinImages {
  QImage mainBackground;
  std::array<QImage, kPageBackgroundCount> pageBackground;  // TForm2..TForm9
  QImage pageButtonOn, pageButtonOff;
  QImage speakerOn, speakerOff;
  QImage thumbActive, thumbNormal;
  QImage mainBoxActive, mainBoxNormal;
  QImage pageBoxActive, pageBoxNormal;
  QImage knobNormal, knobActive;
  QImage minimizeButton;
  QImage closeButton;
  QImage pageCloseButton;
  QImage peakOn, peakOff;
  QImage lowShelfOn, lowShelfOff;
  QImage highShelfOn, highShelfOff;
  QImage smallThumbActive, smallThumbNormal;
  QImage muteOn, muteOff;
  QImage bandPassOn, bandPassOff;
  QImage linkOn, linkOff, linkWithoutAccess;
  QImage logo;
  QImage presetsOn, presetsOff;
  QImage eqPassOn, eqPassOff;

  SkinImages() = default;
  SkinImages(const SkinImages&) = delete;
  SkinImages& operator=(const SkinImages&) = delete;

  QImage& operator[](SkinSlot slot);
  const QImage& operator[](SkinSlot slot) const;
};

// Fills every slot in table order (the main background first, then the page backgrounds).
void LoadSkinImages(SkinImages& images);

}  // namespace kdsp::skin
