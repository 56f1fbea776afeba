// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding the skin pictures at the ratio each window paints at.
#include "skin/skin_picture.h"

#include <QImageReader>
#include <QString>
#include <QtGlobal>
#include <cmath>

// The pictures are compiled into this static library from the list the skin generator writes, so
// nothing else refers to them: registering them here keeps the linker from dropping them.
// Q_INIT_RESOURCE declares a function of the global namespace, so this stays outside every
// namespace, the unnamed one included.
static void RegisterSkinResources() {
  Q_INIT_RESOURCE(skin_images);
}

namespace kdsp::skin {
namespace {

void EnsureRegistered() {
  [[maybe_unused]] static const bool registered = (RegisterSkinResources(), true);
}

// Ratios a hair apart are the same screen: 1.5 computed two ways must not decode twice.
bool SameRatio(qreal a, qreal b) {
  return std::abs(a - b) < 1e-6;
}

}  // namespace

QString SkinResourcePath(int resourceId, int scale) {
  return scale >= 2 ? QStringLiteral(":/skin2x/%1.png").arg(resourceId)
                    : QStringLiteral(":/skin/%1.png").arg(resourceId);
}

QImage LoadSkinImage(int resourceId, int scale) {
  EnsureRegistered();
  QImage image;
  // QImage::load leaves the image null when the resource is missing or does not decode.
  if (image.load(SkinResourcePath(resourceId, scale), "PNG"))
    image.setDevicePixelRatio(scale >= 2 ? 2 : 1);
  return image;
}

QImage SkinImageForRatio(int resourceId, qreal ratio) {
  if (ratio <= 1.0 || SameRatio(ratio, 1.0)) return LoadSkinImage(resourceId, 1);
  QImage twice = LoadSkinImage(resourceId, 2);
  if (twice.isNull() || ratio >= 2.0 || SameRatio(ratio, 2.0)) return twice;
  // Between 1 and 2 the finer picture reduced keeps more of its detail than the coarser one
  // enlarged; the picture keeps its logical size, in the ratio's own pixels.
  const QSize logical = twice.size() / 2;
  const QSize pixels(static_cast<int>(std::lround(logical.width() * ratio)),
                     static_cast<int>(std::lround(logical.height() * ratio)));
  QImage reduced = twice.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  reduced.setDevicePixelRatio(ratio);
  return reduced;
}

SkinPicture::SkinPicture(int resourceId) : resourceId_(resourceId) {
  EnsureRegistered();
  // The size comes from the 1x picture's header alone; nothing is decoded until a window draws.
  QImageReader reader(SkinResourcePath(resourceId, 1), "PNG");
  if (reader.canRead()) size_ = reader.size();
}

SkinPicture::SkinPicture(QImage image) {
  if (image.isNull()) return;
  size_ = image.deviceIndependentSize().toSize();
  decoded_.push_back({image.devicePixelRatio(), QSize(), std::move(image)});
}

const QImage& SkinPicture::forRatio(qreal ratio) const {
  // A picture given whole has its one set of pixels for every ratio.
  if (resourceId_ < 0) {
    static const QImage kNone;
    return decoded_.empty() ? kNone : decoded_.front().image;
  }
  for (const Decoded& d : decoded_)
    if (SameRatio(d.ratio, ratio) && d.area.isEmpty()) return d.image;
  decoded_.push_back({ratio, QSize(), SkinImageForRatio(resourceId_, ratio)});
  return decoded_.back().image;
}

const QImage& SkinPicture::forArea(QSize devicePixels, qreal ratio) const {
  const QImage& natural = forRatio(ratio);
  if (natural.isNull() || devicePixels.isEmpty() || natural.width() <= 2 * devicePixels.width() ||
      natural.height() <= 2 * devicePixels.height())
    return natural;
  for (const Decoded& d : decoded_)
    if (SameRatio(d.ratio, ratio) && d.area == devicePixels) return d.image;
  QImage reduced = natural.scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  reduced.setDevicePixelRatio(ratio);
  decoded_.push_back({ratio, devicePixels, std::move(reduced)});
  return decoded_.back().image;
}

}  // namespace kdsp::skin
