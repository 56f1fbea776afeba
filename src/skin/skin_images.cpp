// Loading the skin image set from the embedded resources.
#include "skin/skin_images.h"

#include <QString>
#include <QtGlobal>

// The pictures are compiled into this static library from the list the skin generator writes, so
// nothing else refers to them: registering them here keeps the linker from dropping them.
// Q_INIT_RESOURCE declares a function of the global namespace, so this stays outside every
// namespace, the unnamed one included.
static void RegisterSkinResources() {
  Q_INIT_RESOURCE(skin_images);
}

namespace kdsp::skin {

QImage LoadSkinImage(int resourceId) {
  [[maybe_unused]] static const bool registered = (RegisterSkinResources(), true);
  QImage image;
  // QImage::load leaves the image null when the resource is missing or does not decode.
  image.load(QStringLiteral(":/skin/%1.png").arg(resourceId), "PNG");
  return image;
}

QImage& SkinImages::operator[](SkinSlot slot) {
  switch (slot) {
    case SkinSlot::kMainBackground:
      return mainBackground;
    case SkinSlot::kPageBackground0:
    case SkinSlot::kPageBackground1:
    case SkinSlot::kPageBackground2:
    case SkinSlot::kPageBackground3:
    case SkinSlot::kPageBackground4:
    case SkinSlot::kPageBackground5:
    case SkinSlot::kPageBackground6:
    case SkinSlot::kPageBackground7:
      return pageBackground[static_cast<int>(slot) - static_cast<int>(SkinSlot::kPageBackground0)];
    case SkinSlot::kPageButtonOn:
      return pageButtonOn;
    case SkinSlot::kPageButtonOff:
      return pageButtonOff;
    case SkinSlot::kSpeakerOn:
      return speakerOn;
    case SkinSlot::kSpeakerOff:
      return speakerOff;
    case SkinSlot::kThumbActive:
      return thumbActive;
    case SkinSlot::kThumbNormal:
      return thumbNormal;
    case SkinSlot::kMainBoxActive:
      return mainBoxActive;
    case SkinSlot::kMainBoxNormal:
      return mainBoxNormal;
    case SkinSlot::kPageBoxActive:
      return pageBoxActive;
    case SkinSlot::kPageBoxNormal:
      return pageBoxNormal;
    case SkinSlot::kKnobNormal:
      return knobNormal;
    case SkinSlot::kKnobActive:
      return knobActive;
    case SkinSlot::kMinimizeButton:
      return minimizeButton;
    case SkinSlot::kCloseButton:
      return closeButton;
    case SkinSlot::kPageCloseButton:
      return pageCloseButton;
    case SkinSlot::kPeakOn:
      return peakOn;
    case SkinSlot::kPeakOff:
      return peakOff;
    case SkinSlot::kLowShelfOn:
      return lowShelfOn;
    case SkinSlot::kLowShelfOff:
      return lowShelfOff;
    case SkinSlot::kHighShelfOn:
      return highShelfOn;
    case SkinSlot::kHighShelfOff:
      return highShelfOff;
    case SkinSlot::kSmallThumbActive:
      return smallThumbActive;
    case SkinSlot::kSmallThumbNormal:
      return smallThumbNormal;
    case SkinSlot::kMuteOn:
      return muteOn;
    case SkinSlot::kMuteOff:
      return muteOff;
    case SkinSlot::kBandPassOn:
      return bandPassOn;
    case SkinSlot::kBandPassOff:
      return bandPassOff;
    case SkinSlot::kLinkOn:
      return linkOn;
    case SkinSlot::kLinkOff:
      return linkOff;
    case SkinSlot::kLinkWithoutAccess:
      return linkWithoutAccess;
    case SkinSlot::kLogo:
      return logo;
    case SkinSlot::kPresetsOn:
      return presetsOn;
    case SkinSlot::kPresetsOff:
      return presetsOff;
    case SkinSlot::kEqPassOn:
      return eqPassOn;
    case SkinSlot::kEqPassOff:
      return eqPassOff;
  }
  return mainBackground;  // not reached: every slot is listed above
}

const QImage& SkinImages::operator[](SkinSlot slot) const {
  return const_cast<SkinImages&>(*this)[slot];
}

void LoadSkinImages(SkinImages& images) {
  for (const SkinImageEntry& entry : kSkinImageTable)
    images[entry.slot] = LoadSkinImage(entry.resourceId);
}

}  // namespace kdsp::skin
