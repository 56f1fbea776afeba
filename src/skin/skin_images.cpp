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

void LoadSkinImages(SkinImages& images) {
  for (const SkinImageEntry& entry : kSkinImageTable)
    images[entry.slot] = LoadSkinImage(entry.resourceId);
}

}  // namespace kdsp::skin
