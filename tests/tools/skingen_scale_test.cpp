// SPDX-License-Identifier: GPL-3.0-or-later
// The skin pictures at 2x: twice the pixels of the 1x pictures over the same layout, with the
// hairlines of the print one device pixel wide rather than doubled.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "image_set.h"
#include "page_print_layout.h"
#include "panel_drawing.h"
#include "picture_scale.h"
#include "skin/page_layouts.h"
#include "slot_painters.h"
#include "support/picture_compare.h"

namespace kdsp::skingen {
namespace {

using testing::LitRows;
using testing::MeanDifference;
using testing::Reduced;

QImage Paint(skin::SkinSlot slot, int scale) {
  PaintOptions options;
  options.scale = scale;
  return PaintSlot(slot, options).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Brushing grain, antialiasing, type hinting and the 1x picture's rounding of fine lines to whole
// pixels differ; the layout may not. The 2x picture reduced to 1x stays close to the 1x one, and
// closer than to the 1x picture moved by one unit any way, which a layout one unit off would not.
TEST(SkinPictureScale, EveryPictureAtTwiceIsTwiceTheSizeOverTheSameLayout) {
  constexpr int kOffsets[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (const skin::SkinImageEntry& entry : PaintedEntries()) {
    SCOPED_TRACE(std::string(entry.name));
    const QImage coarse = Paint(entry.slot, 1);
    const QImage fine = Paint(entry.slot, 2);
    ASSERT_EQ(coarse.size(), QSize(entry.width, entry.height));
    ASSERT_EQ(fine.size(), QSize(entry.width, entry.height) * 2);
    const QImage reduced = Reduced(fine);
    const double difference = MeanDifference(reduced, coarse);
    EXPECT_LT(difference, 12.0);
    for (const auto& [dx, dy] : kOffsets)
      EXPECT_LT(difference, MeanDifference(reduced, coarse, dx, dy)) << dx << "," << dy;
  }
}

// A minor tick of a page fader's scale, left of its slot where no numbers are printed: one pixel
// high at 1x and one device pixel high at 2x, where a scaled picture would have two.
TEST(SkinPictureScale, AScaleMarkIsOneDevicePixelHighAtEveryScale) {
  const PageLayout& page = *skin::page_layout::kPageLayouts[1];
  ASSERT_FALSE(page.faders.empty());
  const PageFader& fader = page.faders[0];
  const FaderGeometry geometry = Geometry(page, fader);
  std::optional<ScaleMark> minor;
  for (const ScaleMark& m : FaderMarks(fader))
    if (!m.major && m.label.isEmpty()) minor = m;
  ASSERT_TRUE(minor.has_value());
  ASSERT_EQ(LabelSide(page, 0), Side::kRight);
  // The tick runs from 5 to 2 units left of the slot's rectangle; its middle unit is sampled.
  const int x = geometry.rect.x() - 4;
  const int y = static_cast<int>(std::floor(MarkY(geometry, minor->value)));
  for (const int scale : kPictureScales) {
    SCOPED_TRACE(scale);
    const QImage image = Paint(page.background, scale);
    EXPECT_EQ(LitRows(image, x * scale + scale / 2, (y - 2) * scale, (y + 3) * scale - 1), 1);
  }
}

}  // namespace
}  // namespace kdsp::skingen
