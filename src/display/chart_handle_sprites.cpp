// SPDX-License-Identifier: GPL-3.0-or-later
// Making and copying the pictures of the chart's handle marks.
#include "display/chart_handle_sprites.h"

#include <QPainter>
#include <QTransform>
#include <cmath>

#include "display/chart_handles.h"
#include "skin/skin_drawing.h"

namespace kdsp::display {
namespace {

// Fractions of a device pixel a centre is placed to: finer than antialiasing shows.
constexpr int kPhaseSteps = 64;
// A ratio with many fractions (1.1, 1.3...) could fill memory with pictures one step apart; past
// this many they are dropped and made again as needed.
constexpr std::size_t kMostSprites = 1024;

}  // namespace

void HandleSprites::draw(QPainter& page, int mark, QPointF centre) {
  const qreal ratio = page.device()->devicePixelRatioF();
  if (ratio != ratio_) {
    sprites_.clear();
    ratio_ = ratio;
    reach_ = static_cast<int>(std::ceil(kHandleMarkReach * ratio));
  }
  const QPointF onDevice = page.deviceTransform().map(centre);
  int x = static_cast<int>(std::floor(onDevice.x()));
  int y = static_cast<int>(std::floor(onDevice.y()));
  int phaseX = static_cast<int>(std::lround((onDevice.x() - x) * kPhaseSteps));
  int phaseY = static_cast<int>(std::lround((onDevice.y() - y) * kPhaseSteps));
  if (phaseX == kPhaseSteps) {
    ++x;
    phaseX = 0;
  }
  if (phaseY == kPhaseSteps) {
    ++y;
    phaseY = 0;
  }

  const QImage& picture = sprite(mark, phaseX, phaseY);
  // Device pixels, with no transform of the page's own: the picture's pixels meet the page's
  // one to one, so smoothing has nothing to do and would only take the rasteriser's slow path.
  const QTransform world = page.worldTransform();
  const bool smooth = page.testRenderHint(QPainter::SmoothPixmapTransform);
  page.resetTransform();
  page.setRenderHint(QPainter::SmoothPixmapTransform, false);
  page.drawImage(QPointF((x - reach_) / ratio_, (y - reach_) / ratio_), picture);
  page.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
  page.setWorldTransform(world);
}

const QImage& HandleSprites::sprite(int mark, int phaseX, int phaseY) {
  const std::uint32_t key = static_cast<std::uint32_t>(mark) << 16 |
                            static_cast<std::uint32_t>(phaseX) << 8 |
                            static_cast<std::uint32_t>(phaseY);
  if (const auto found = sprites_.find(key); found != sprites_.end()) return found->second;
  if (sprites_.size() >= kMostSprites) sprites_.clear();

  const int side = 2 * reach_ + 1;
  QImage picture = skin::MakeSurface(side, side);
  picture.setDevicePixelRatio(ratio_);
  {
    QPainter painter(&picture);
    skin::PrepareSurface(painter);
    const qreal steps = kPhaseSteps;
    painter.setWorldTransform(QTransform::fromTranslate((reach_ + phaseX / steps) / ratio_,
                                                        (reach_ + phaseY / steps) / ratio_));
    drawHandleMark(painter, mark);
  }
  return sprites_.emplace(key, std::move(picture)).first->second;
}

}  // namespace kdsp::display
