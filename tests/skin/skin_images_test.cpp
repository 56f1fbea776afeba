// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded skin image set and the skin fonts: every slot decodes at its listed size, missing
// pictures are empty, lit pictures are brighter than their unlit partners, and the plates that
// carry black text are light.
#include "skin/skin_images.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <string>

#include "skin/main_window_layout.h"
#include "skin/page_layouts.h"
#include "skin/skin_drawing.h"
#include "skin/skin_fonts.h"

namespace kdsp::skin {
namespace {

std::string Name(const SkinImageEntry& entry) {
  return std::string(entry.name);
}

TEST(SkinImages, EverySlotLoadsAtItsListedSize) {
  for (const SkinImageEntry& entry : kSkinImageTable) {
    const QImage image = LoadSkinImage(entry.resourceId);
    EXPECT_FALSE(image.isNull()) << Name(entry);
    EXPECT_EQ(image.width(), entry.width) << Name(entry);
    EXPECT_EQ(image.height(), entry.height) << Name(entry);
  }
}

// The set as the windows read it: every slot holds the picture of its own resource (not a
// partner's of the same size) at the table's logical size, and decodes nothing until a window
// asks for a ratio; then only that ratio.
TEST(SkinImages, EverySlotOfTheSetHoldsItsOwnPictureAtTheTableSize) {
  SkinImages images;
  LoadSkinImages(images);
  for (const SkinImageEntry& entry : kSkinImageTable) {
    const SkinPicture& picture = images[entry.slot];
    ASSERT_FALSE(picture.isNull()) << Name(entry);
    EXPECT_EQ(picture.size(), QSize(entry.width, entry.height)) << Name(entry);
    EXPECT_EQ(picture.decodedCount(), 0) << Name(entry);
  }
  for (const SkinImageEntry& entry : kSkinImageTable) {
    const QImage& once = images[entry.slot].forRatio(1.0);
    EXPECT_EQ(once.devicePixelRatio(), 1.0) << Name(entry);
    EXPECT_EQ(once, LoadSkinImage(entry.resourceId)) << Name(entry);
    EXPECT_EQ(images[entry.slot].decodedCount(), 1) << Name(entry);
  }
  // A few slots with their sizes written out, so a shifted table row shows here.
  EXPECT_EQ(images[SkinSlot::kMainBackground].size(), QSize(999, 600));
  EXPECT_EQ(images[SkinSlot::kPageBackground4].size(), QSize(1055, 600));  // TForm6
  EXPECT_EQ(images[SkinSlot::kPageBackground0].size(), QSize(999, 600));
  EXPECT_EQ(images[SkinSlot::kLinkOn].size(), QSize(256, 256));
  EXPECT_EQ(images[SkinSlot::kLogo].size(), QSize(137, 44));
  EXPECT_EQ(images[SkinSlot::kSmallThumbActive].size(), QSize(10, 20));
  EXPECT_EQ(images[SkinSlot::kEqPassOff].size(), QSize(78, 35));
  EXPECT_EQ(&images[PageBackgroundSlot(4)], &images[SkinSlot::kPageBackground4]);
  // The knob has one picture for both states; partners of a pair are different pictures.
  const auto pixels = [&](SkinSlot slot) { return images[slot].forRatio(1.0); };
  EXPECT_EQ(pixels(SkinSlot::kKnobNormal), pixels(SkinSlot::kKnobActive));
  EXPECT_NE(pixels(SkinSlot::kThumbActive), pixels(SkinSlot::kThumbNormal));
  EXPECT_NE(pixels(SkinSlot::kPageBoxActive), pixels(SkinSlot::kPageBoxNormal));
}

// At 2 a picture is the generator's 2x painting, at 1.25 and 1.5 that painting reduced to the
// ratio's own pixels; every ratio keeps the logical size the layouts measure with.
TEST(SkinImages, EachRatioGetsPixelsOfItsOwnAtTheSameLogicalSize) {
  struct Case {
    qreal ratio;
    QSize pixels;  // for the 137 x 44 logo
  };
  const Case cases[] = {
      {1.0, {137, 44}}, {1.25, {171, 55}}, {1.5, {206, 66}}, {2.0, {274, 88}}, {3.0, {274, 88}}};
  SkinImages images;
  LoadSkinImages(images);
  const SkinPicture& logo = images[SkinSlot::kLogo];
  for (const Case& c : cases) {
    const QImage& pixels = logo.forRatio(c.ratio);
    EXPECT_EQ(pixels.size(), c.pixels) << c.ratio;
    EXPECT_NEAR(pixels.deviceIndependentSize().width(), 137, 0.5) << c.ratio;
    EXPECT_NEAR(pixels.deviceIndependentSize().height(), 44, 0.5) << c.ratio;
  }
  EXPECT_EQ(logo.forRatio(2.0), LoadSkinImage(SkinImageEntryOf(SkinSlot::kLogo).resourceId, 2));
  // Asked again, a ratio is not decoded a second time.
  EXPECT_EQ(logo.decodedCount(), 5);
  logo.forRatio(1.5);
  EXPECT_EQ(logo.decodedCount(), 5);
}

// The connection lamp is painted at 256 x 256 and drawn at 43 x 43: that area gets pixels of its
// own, reduced once; a picture drawn at about its own size uses its pixels as they are.
TEST(SkinImages, APictureDrawnFarSmallerThanItsPixelsIsReducedOnceForItsArea) {
  SkinImages images;
  LoadSkinImages(images);
  const SkinPicture& lamp = images[SkinSlot::kLinkOn];
  for (const qreal ratio : {1.0, 2.0}) {
    const QSize area = QSize(43, 43) * ratio;
    const QImage& fitted = lamp.forArea(area, ratio);
    EXPECT_EQ(fitted.size(), area) << ratio;
    EXPECT_EQ(fitted.devicePixelRatio(), ratio) << ratio;
    EXPECT_EQ(&lamp.forArea(area, ratio), &fitted) << ratio;
  }
  const SkinPicture& thumb = images[SkinSlot::kThumbNormal];
  EXPECT_EQ(&thumb.forArea(QSize(40, 80), 2.0), &thumb.forRatio(2.0));
  EXPECT_EQ(&thumb.forArea(QSize(15, 30), 1.0), &thumb.forRatio(1.0));
}

TEST(SkinImages, AMissingResourceIsEmpty) {
  for (int id : {0, 1, 99999, -5}) {
    EXPECT_TRUE(LoadSkinImage(id).isNull()) << id;
    EXPECT_TRUE(LoadSkinImage(id, 2).isNull()) << id;
    const SkinPicture picture(id);
    EXPECT_TRUE(picture.isNull()) << id;
    EXPECT_EQ(ImageWidth(&picture), 0) << id;
    EXPECT_EQ(ImageHeight(&picture), 0) << id;
    EXPECT_TRUE(picture.forRatio(2.0).isNull()) << id;
  }
}

// Pixels that read as lit lamp colour: bright and saturated.
int LitPixels(const QImage& image) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  int lit = 0;
  for (int y = 0; y < argb.height(); ++y)
    for (int x = 0; x < argb.width(); ++x) {
      const QColor c = QColor::fromRgba(argb.pixel(x, y));
      lit += c.alpha() > 128 && c.valueF() >= 0.8 && c.hsvSaturationF() >= 0.45;
    }
  return lit;
}

TEST(SkinImages, LitPicturesGlowAndUnlitOnesDoNot) {
  const std::pair<SkinSlot, SkinSlot> pairs[] = {
      {SkinSlot::kSpeakerOn, SkinSlot::kSpeakerOff},
      {SkinSlot::kMuteOn, SkinSlot::kMuteOff},
      {SkinSlot::kPeakOn, SkinSlot::kPeakOff},
      {SkinSlot::kLowShelfOn, SkinSlot::kLowShelfOff},
      {SkinSlot::kHighShelfOn, SkinSlot::kHighShelfOff},
      {SkinSlot::kBandPassOn, SkinSlot::kBandPassOff},
      {SkinSlot::kLinkOn, SkinSlot::kLinkOff},
  };
  for (const auto& [lit, dark] : pairs) {
    const QImage on = LoadSkinImage(SkinImageEntryOf(lit).resourceId);
    const QImage off = LoadSkinImage(SkinImageEntryOf(dark).resourceId);
    // A lit picture glows over at least a 25th of its area; its unlit partner hardly at all.
    EXPECT_GT(LitPixels(on), on.width() * on.height() / 25) << Name(SkinImageEntryOf(lit));
    EXPECT_LT(LitPixels(off), off.width() * off.height() / 100) << Name(SkinImageEntryOf(dark));
  }
}

// The windows draw the version text and the mic EQ mode caption in black: the backgrounds must
// be light where those texts go.
TEST(SkinImages, BlackTextSitsOnLightPlates) {
  const QImage main = LoadSkinImage(SkinImageEntryOf(SkinSlot::kMainBackground).resourceId);
  const QImage mic = LoadSkinImage(SkinImageEntryOf(SkinSlot::kPageBackground0).resourceId);
  ASSERT_FALSE(main.isNull());
  ASSERT_FALSE(mic.isNull());
  for (int dx : {2, 20, 38})
    for (int dy : {3, 8})
      EXPECT_GT(qGray(main.pixel(skin::main_layout::kVersionTextAt.x + dx,
                                 skin::main_layout::kVersionTextAt.y + dy)),
                150);
  for (int dx : {2, 40, 75})
    for (int dy : {3, 10})
      EXPECT_GT(qGray(mic.pixel(skin::page_layout::kMicEqModeCaptionAt.x + dx,
                                skin::page_layout::kMicEqModeCaptionAt.y + dy)),
                150);
  // Elsewhere the panel is dark, so white value text and silk print read on it.
  EXPECT_LT(qGray(main.pixel(500, 20)), 90);
  EXPECT_LT(qGray(mic.pixel(400, 100)), 90);
}

TEST(SkinFonts, SizesStylesAndFamilies) {
  const SkinFonts fonts = MakeSkinFonts();
  struct Case {
    const char* what;
    const QFont& font;
    int pixels;
    bool bold;
    const char* family;
  };
  const Case cases[] = {
      {"fontValue", fonts.fontValue, 12, true, "Liberation Sans"},
      {"fontSmall", fonts.fontSmall, 11, false, "Liberation Sans"},
      {"fontTiny", fonts.fontTiny, 8, true, "Liberation Sans"},
      {"fontCjk", fonts.fontCjk, 12, false, "WenQuanYi Micro Hei"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.font.pixelSize(), c.pixels) << c.what;
    EXPECT_EQ(c.font.bold(), c.bold) << c.what;
    // The installed face is the one asked for, not a fallback.
    EXPECT_EQ(QFontInfo(c.font).family(), QString::fromLatin1(c.family)) << c.what;
  }
}

}  // namespace
}  // namespace kdsp::skin
