// SPDX-License-Identifier: GPL-3.0-or-later
// One skin picture as the windows draw it: a size in the windows' logical grid and, for each
// device pixel ratio a window paints at, the pixels for that ratio. The generator paints every
// picture at 1x and at 2x; a picture decodes the scale a window asks for on first use, so a
// program on a 1x screen never decodes a 2x picture and the other way round.
#pragma once

#include <QImage>
#include <QSize>
#include <deque>

namespace kdsp::skin {

// Where the generator's pictures are embedded: ":/skin/<id>.png" at 1x, ":/skin2x/<id>.png" at 2x.
QString SkinResourcePath(int resourceId, int scale);

// The embedded picture of one resource number at scale 1 or 2, its device pixel ratio set to the
// scale. A missing or undecodable resource gives a null image.
QImage LoadSkinImage(int resourceId, int scale = 1);

// The pixels of an embedded picture for a device pixel ratio: the 1x picture up to 1, the 2x
// picture from 2 on, and between them the 2x picture smoothly reduced to the ratio's own pixels.
QImage SkinImageForRatio(int resourceId, qreal ratio);

class SkinPicture {
 public:
  // No picture: drawing it draws nothing and it measures 0.
  SkinPicture() = default;
  // The embedded picture of a resource number. A resource that is not embedded is no picture.
  explicit SkinPicture(int resourceId);
  // A picture given whole, at its own device pixel ratio, drawn from those pixels at every ratio
  // (the skin demo and the checks build their pictures this way).
  explicit SkinPicture(QImage image);

  bool isNull() const { return size_.isEmpty(); }
  // The size in logical pixels, whatever ratio it is drawn at.
  QSize size() const { return size_; }
  int width() const { return size_.width(); }
  int height() const { return size_.height(); }
  int resourceId() const { return resourceId_; }

  // The pixels to draw at a device pixel ratio, decoded once per ratio and kept.
  const QImage& forRatio(qreal ratio) const;
  // The pixels to draw into an area of `devicePixels` at a ratio: forRatio's, unless they are
  // more than twice as large, as the connection lamp's are. Those are reduced smoothly to the
  // area once and kept, since a painter's filtering reads only four pixels for each it draws
  // and would lose the edges' smoothness.
  const QImage& forArea(QSize devicePixels, qreal ratio) const;
  // How many ratios this picture holds decoded, for checks of what the program loads.
  int decodedCount() const { return static_cast<int>(decoded_.size()); }

 private:
  struct Decoded {
    qreal ratio;
    QSize area;  // empty: the picture's own size at the ratio
    QImage image;
  };

  int resourceId_ = -1;
  QSize size_;
  // A deque, so a reference handed out stays valid when another ratio is added.
  mutable std::deque<Decoded> decoded_;
};

}  // namespace kdsp::skin
