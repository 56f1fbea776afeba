// SPDX-License-Identifier: GPL-3.0-or-later
// What the skin controls paint, checked on off-screen surfaces: thumb positions, the turned knob,
// value-box text, buttons scaled into their rectangles, and empty image slots.
#include <gtest/gtest.h>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <functional>
#include <string_view>

#include "settings/parameter_block.h"
#include "skin/img_button.h"
#include "skin/img_edit.h"
#include "skin/img_eq_band.h"
#include "skin/img_knob.h"
#include "skin/img_roller.h"
#include "skin/skin_drawing.h"

namespace kdsp::skin {
namespace {

QImage Solid(int w, int h, QColor color) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(color);
  return image;
}

QImage Paint(int w, int h, const std::function<void(QPainter&)>& draw) {
  QImage surface = MakeSurface(w, h);
  QPainter painter(&surface);
  PrepareSurface(painter);
  draw(painter);
  painter.end();
  return surface;
}

bool IsColour(const QImage& image, int x, int y, QColor color) {
  return image.pixelColor(x, y) == color;
}

bool Blank(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) return false;
  return true;
}

// The rows of column x that carry the colour, as [first, last], or {-1, -1}.
std::pair<int, int> RowsOf(const QImage& image, int x, QColor color) {
  int first = -1;
  int last = -1;
  for (int y = 0; y < image.height(); ++y) {
    if (!IsColour(image, x, y, color)) continue;
    if (first < 0) first = y;
    last = y;
  }
  return {first, last};
}

TEST(SkinControlPainting, FaderThumbSitsWhereItsValuePutsIt) {
  const SkinPicture normal{Solid(20, 40, Qt::red)};
  const SkinPicture active{Solid(20, 40, Qt::blue)};
  ImgRoller fader;
  fader.rect = {10, 10, 20, 126 + 40};
  fader.imageOff = &normal;
  fader.imageOn = &active;
  fader.setRange(-240, 120);
  struct Case {
    std::int32_t value;
    std::uint8_t active;
    QColor colour;
    std::pair<int, int> rows;
  };
  const Case cases[] = {
      {120, 0, Qt::red, {10, 49}},     // max: the top of the rectangle
      {-240, 0, Qt::red, {136, 175}},  // min: the bottom
      {0, 1, Qt::blue, {52, 91}},      // active thumb, 42 pixels down
  };
  for (const Case& c : cases) {
    fader.value = c.value;
    fader.active = c.active;
    const QImage surface = Paint(40, 200, [&](QPainter& p) { fader.draw(p); });
    EXPECT_EQ(RowsOf(surface, 20, c.colour), c.rows) << "value " << c.value;
    EXPECT_EQ(qAlpha(surface.pixel(9, c.rows.first)), 0);  // natural size: 20 wide
    EXPECT_EQ(qAlpha(surface.pixel(30, c.rows.first)), 0);
  }
}

TEST(SkinControlPainting, KnobIsDrawnTurned) {
  // Grey with a green mark at the top centre, where a knob's pointer would be.
  QImage knobPixels = Solid(32, 32, Qt::gray);
  for (int y = 2; y < 7; ++y)
    for (int x = 14; x < 19; ++x) knobPixels.setPixelColor(x, y, Qt::green);
  const SkinPicture knobImage{knobPixels};
  ImgKnob knob;
  knob.rect = {20, 20, 32, 32};
  knob.max = 2;
  knob.imageNormal = &knobImage;
  auto greenAt = [](const QImage& s, int x, int y) {
    const QColor c = s.pixelColor(x, y);
    return c.green() > 200 && c.red() < 60 && c.blue() < 60;
  };
  // The mark's centre (16, 4.5) is 11.5 above the knob's centre; turned by +150 degrees
  // clockwise it lands at (16 + 5.75, 16 + 9.96), by -150 degrees at (16 - 5.75, 16 + 9.96).
  struct Case {
    std::int32_t value;
    int markX, markY;
  };
  const Case cases[] = {{1, 36, 24}, {2, 42, 46}, {0, 30, 46}};
  for (const Case& c : cases) {
    knob.value = c.value;
    const QImage surface = Paint(72, 72, [&](QPainter& p) { knob.draw(p); });
    for (const Case& other : cases)
      EXPECT_EQ(greenAt(surface, other.markX, other.markY), other.value == c.value)
          << "value " << c.value << " mark of " << other.value;
    EXPECT_NE(qAlpha(surface.pixel(36, 36)), 0);  // the centre is always covered
  }
}

TEST(SkinControlPainting, KnobValueBoxIsDrawnOnlyWhenShown) {
  const SkinPicture box{Solid(32, 18, Qt::yellow)};
  ImgKnob knob;
  knob.rect = {0, 0, 32, 32};
  knob.valueBox.rect = {0, 40, 32, 18};
  knob.valueBox.imageNormal = &box;
  EXPECT_TRUE(Blank(Paint(40, 60, [&](QPainter& p) { knob.draw(p); })));
  knob.showValueBox = 1;
  EXPECT_TRUE(IsColour(Paint(40, 60, [&](QPainter& p) { knob.draw(p); }), 10, 50, Qt::yellow));
}

TEST(SkinControlPainting, ValueBoxTextIsWhiteAtTheBoxOrigin) {
  QFont font("Liberation Sans");
  font.setPixelSize(12);
  font.setBold(true);
  ImgEdit box;
  box.rect = {30, 20, 38, 20};
  box.font = &font;
  box.setText("-88");
  const QImage surface = Paint(120, 60, [&](QPainter& p) { box.draw(p); });
  int minX = 1000, minY = 1000, maxX = -1, maxY = -1, opaqueWhite = 0;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      const QColor c = surface.pixelColor(x, y);
      if (c.alpha() == 0) continue;
      minX = std::min(minX, x);
      minY = std::min(minY, y);
      maxX = std::max(maxX, x);
      maxY = std::max(maxY, y);
      if (c.alpha() == 255) {
        EXPECT_EQ(c, QColor(Qt::white)) << x << "," << y;
        ++opaqueWhite;
      }
      EXPECT_GE(std::min({c.red(), c.green(), c.blue()}), 240) << x << "," << y;
    }
  }
  EXPECT_GT(opaqueWhite, 10);
  EXPECT_GE(minX, 30);
  EXPECT_LE(minX, 32);
  EXPECT_GE(minY, 20);
  EXPECT_LE(minY, 25);
  EXPECT_LT(maxY, 20 + 16);
  EXPECT_GT(maxX, 45);  // three characters wide
}

// The smallest rectangle that holds every painted pixel.
QRect InkBounds(const QImage& image) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

QFont ValueFont() {
  QFont font("Liberation Sans");
  font.setPixelSize(12);
  font.setBold(true);
  return font;
}

TEST(SkinControlPainting, TypedTextNeverLeavesItsBoxAndShowsItsEnd) {
  const QFont font = ValueFont();
  ImgEdit box;
  box.rect = {30, 20, 24, 18};
  box.font = &font;
  box.maxChars = 9;
  box.mouseDown(31, 21);
  for (char ch : std::string_view("123456789")) box.keyPress(ch);
  ASSERT_EQ(box.textView(), "123456789");
  const QRect ink = InkBounds(Paint(120, 60, [&](QPainter& p) { box.draw(p); }));
  EXPECT_TRUE(QRect(30, 20, 24, 18).contains(ink)) << ink.x() << "," << ink.width();
  EXPECT_GE(ink.right(), 30 + 24 - 3);  // the last typed digit shows, against the right edge
  EXPECT_LE(ink.left(), 31);            // cut, not shrunk
}

TEST(SkinControlPainting, FaderValueBoxesCentreTheirTextOtherBoxesStartAtTheLeft) {
  const QFont font = ValueFont();
  ImgRoller fader;
  fader.valueBox.rect = {20, 10, 40, 18};
  fader.valueBox.font = &font;
  ImgEdit plain;
  plain.rect = fader.valueBox.rect;
  plain.font = &font;
  for (const char* text : {"5", "-24", "+12.0"}) {
    fader.valueBox.setText(text);
    plain.setText(text);
    const QRect centred = InkBounds(Paint(80, 40, [&](QPainter& p) { fader.valueBox.draw(p); }));
    const QRect left = InkBounds(Paint(80, 40, [&](QPainter& p) { plain.draw(p); }));
    EXPECT_NEAR(centred.center().x(), 20 + 40 / 2, 2) << text;
    EXPECT_LE(left.left(), 22) << text;
    EXPECT_EQ(centred.width(), left.width()) << text;
  }
}

TEST(SkinControlPainting, ARefusedEntryFlashesARedFrameOverTheBox) {
  const SkinPicture grey{Solid(40, 18, QColor(60, 60, 60))};
  ImgEdit box;
  box.rect = {10, 10, 40, 18};
  box.imageNormal = &grey;
  const auto edge = [&] {
    return Paint(60, 40, [&](QPainter& p) { box.draw(p); }).pixelColor(11, 19);
  };
  EXPECT_EQ(edge(), QColor(60, 60, 60));
  box.flashing = 1;
  const QColor flashed = edge();
  EXPECT_GT(flashed.red(), 200);
  EXPECT_LT(flashed.green(), 120);
  box.endFlash();
  EXPECT_EQ(edge(), QColor(60, 60, 60));
}

TEST(SkinControlPainting, ValueBoxImageFollowsActive) {
  const SkinPicture normal{Solid(38, 20, Qt::darkGray)};
  const SkinPicture active{Solid(38, 20, Qt::cyan)};
  ImgEdit box;
  box.rect = {5, 5, 38, 20};
  box.imageNormal = &normal;
  box.imageActive = &active;
  EXPECT_TRUE(IsColour(Paint(50, 30, [&](QPainter& p) { box.draw(p); }), 20, 15, Qt::darkGray));
  box.active = 1;
  EXPECT_TRUE(IsColour(Paint(50, 30, [&](QPainter& p) { box.draw(p); }), 20, 15, Qt::cyan));
}

TEST(SkinControlPainting, ButtonIsScaledIntoItsRectangle) {
  const SkinPicture on{Solid(4, 4, Qt::green)};
  const SkinPicture off{Solid(4, 4, Qt::red)};
  ImgButton button;
  button.rect = {10, 5, 31, 29};  // a 43 x 42 button at 0.7
  button.imageOn = &on;
  button.imageOff = &off;
  button.state = 1;
  QImage surface = Paint(60, 50, [&](QPainter& p) { button.draw(p); });
  EXPECT_TRUE(IsColour(surface, 11, 6, Qt::green));
  EXPECT_TRUE(IsColour(surface, 39, 32, Qt::green));
  EXPECT_EQ(qAlpha(surface.pixel(42, 20)), 0);
  EXPECT_EQ(qAlpha(surface.pixel(20, 35)), 0);
  button.state = 0;
  surface = Paint(60, 50, [&](QPainter& p) { button.draw(p); });
  EXPECT_TRUE(IsColour(surface, 25, 20, Qt::red));
}

TEST(SkinControlPainting, EmptyImageSlotsDrawNothing) {
  const SkinPicture nullImage;
  ImgButton button;
  button.rect = {0, 0, 20, 20};
  button.imageOff = &nullImage;
  ImgRoller fader;
  fader.rect = {0, 0, 20, 60};
  ImgKnob knob;
  knob.rect = {0, 0, 32, 32};
  knob.imageNormal = &nullImage;
  ImgEdit box;
  box.rect = {0, 0, 38, 20};
  EXPECT_TRUE(Blank(Paint(50, 70, [&](QPainter& p) {
    button.draw(p);
    fader.draw(p);
    knob.draw(p);
    box.draw(p);
  })));
}

TEST(SkinControlPainting, EqStripShowsTheBand) {
  const SkinPicture lit{Solid(39, 20, Qt::green)};
  const SkinPicture unlit{Solid(39, 20, Qt::darkGreen)};
  const SkinPicture passLit{Solid(39, 20, Qt::red)};      // lit PASS: band off
  const SkinPicture passUnlit{Solid(39, 20, Qt::black)};  // band on
  const SkinPicture qFrame{Solid(38, 20, Qt::blue)};
  settings::EqBand band{0, 100, 19, settings::kPeaking, 1, 0};
  ImgEqBand strip;
  strip.bind(&band);
  strip.fader.rect = {200, 200, 20, 60};
  strip.qBox.rect = {0, 130, 38, 20};
  strip.qBox.imageNormal = &qFrame;
  strip.passButton.rect = {0, 0, 39, 20};
  strip.passButton.imageOn = &passUnlit;
  strip.passButton.imageOff = &passLit;
  for (int i = 0; i < 3; ++i) {
    ImgButton& b = strip.typeButtons[static_cast<std::size_t>(i)];
    b.rect = {0, 30 + 30 * i, 39, 20};
    b.imageOn = &lit;
    b.imageOff = &unlit;
  }
  struct Case {
    std::uint8_t type;
    std::uint8_t on;
  };
  for (const Case c : {Case{0, 1}, Case{2, 0}, Case{1, 1}}) {
    band.type = c.type;
    band.on = c.on;
    const QImage surface = Paint(60, 160, [&](QPainter& p) { strip.draw(p); });
    for (int i = 0; i < 3; ++i)
      EXPECT_TRUE(IsColour(surface, 20, 40 + 30 * i, i == c.type ? Qt::green : Qt::darkGreen))
          << "type " << int{c.type} << " button " << i;
    EXPECT_TRUE(IsColour(surface, 20, 10, c.on != 0 ? Qt::black : Qt::red));
    EXPECT_EQ(IsColour(surface, 20, 140, Qt::blue), c.type == 0);
  }
}

}  // namespace
}  // namespace kdsp::skin
