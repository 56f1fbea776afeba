// SPDX-License-Identifier: GPL-3.0-or-later
// Behaviour of the EQ band strip as plain state, bound to a band record: type and pass buttons,
// the frequency and Q boxes under wheel, keys and typing, and the gain fader writing the band.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string_view>

#include "settings/frequency_grid.h"
#include "settings/parameter_block.h"
#include "skin/control_callbacks.h"
#include "skin/control_input.h"
#include "skin/img_eq_band.h"
#include "skin/value_text.h"

namespace kdsp::skin {
namespace {

using settings::EqBand;

// A strip laid out as the pages lay out the first band of the Mic Equalizer (fader origin
// 60, 134), with stand-in images so the pass button's picture can be told apart.
class EqStrip : public ::testing::Test {
 protected:
  static constexpr int kX = 60;
  static constexpr int kY = 134;

  void SetUp() override {
    savedSeparator_ = DecimalSeparator();
    SetDecimalSeparator('.');
    band = EqBand{0, 100, 19, settings::kPeaking, 1, 0};
    strip.bind(&band);
    strip.fader.rect = {kX, kY, 20, 40 + 126};
    strip.fader.changeHandler = StoreWord;
    strip.fader.formatter = FormatTenths;
    strip.fader.valueBox.rect = {kX - 9, kY - 18, 38, 20};
    strip.freqBox.rect = {kX - 9, kY + 172, 38, 20};
    strip.freqBox.maxChars = 5;
    strip.qBox.rect = {kX - 9, kY + 195, 38, 20};
    strip.qBox.maxChars = 4;
    strip.passButton.rect = {kX - 9, 7, 39, 20};
    strip.passButton.imageOn = &bandPassOff;  // state 1: the band is on
    strip.passButton.imageOff = &bandPassOn;  // state 0: lit PASS, the band is off
    for (int i = 0; i < 3; ++i)
      strip.typeButtons[static_cast<std::size_t>(i)].rect = {kX - 9, 27 + 20 * i, 39, 20};
    strip.refresh();
  }
  void TearDown() override { SetDecimalSeparator(savedSeparator_); }

  void clickType(int i) {
    EXPECT_TRUE(strip.mouseDown(kX, 37 + 20 * i));
    strip.mouseUp();
  }
  void clickPass() {
    EXPECT_TRUE(strip.mouseDown(kX, 15));
    strip.mouseUp();
  }
  void clickBackground() {
    EXPECT_FALSE(strip.mouseDown(500, 500));
    strip.mouseUp();
  }
  bool changed() const { return *strip.fader.changed != 0; }
  std::string_view freqText() const { return strip.freqBox.textView(); }

  EqBand band{};
  ImgEqBand strip;
  SkinPicture bandPassOn{QImage(39, 20, QImage::Format_ARGB32)};
  SkinPicture bandPassOff{QImage(39, 20, QImage::Format_ARGB32)};

 private:
  char savedSeparator_ = '.';
};

TEST_F(EqStrip, NewStripIsTheGainFader) {
  ImgEqBand fresh;
  EXPECT_EQ(fresh.fader.min, -240);
  EXPECT_EQ(fresh.fader.max, 120);
  EXPECT_EQ(fresh.fader.limit, 120);
  EXPECT_EQ(fresh.fader.value, 0);
  EXPECT_EQ(fresh.fader.valueBox.maxChars, 5);
  EXPECT_EQ(fresh.band, nullptr);
  EXPECT_FALSE(fresh.mouseDown(0, 0));
  fresh.wheel(120, 0, 0);
  fresh.keyDown(kKeyUp);
  EXPECT_EQ(fresh.fader.value, 0);
}

TEST_F(EqStrip, RefreshShowsTheBand) {
  SetDecimalSeparator(',');
  band = EqBand{-120, 203, 49, settings::kPeaking, 1, 0};
  strip.refresh();
  EXPECT_EQ(strip.fader.value, -120);
  EXPECT_EQ(strip.fader.valueBox.textView(), "-12,0");
  EXPECT_EQ(freqText(), "1K00");
  EXPECT_EQ(strip.qBox.textView(), "2,50");
  EXPECT_FALSE(changed());  // loading is not a change
}

TEST_F(EqStrip, TypeChangesKeepShelvesInTheirRanges) {
  struct Case {
    int fromType;
    int frequency;
    int toType;
    int expectedFrequency;
    std::string_view expectedText;
    bool qBox;
  };
  const Case cases[] = {
      {0, 100, 2, 203, "1K00", false},  // high shelf up to 1000 Hz
      {1, 300, 2, 300, " 137", false},  // already above 1000 Hz: no correction, no refresh
      {0, 300, 1, 275, "4K00", false},  // low shelf down to 4000 Hz
      {2, 200, 1, 200, " 137", false},
      {2, 100, 0, 100, " 137", true},  // peaking takes any frequency and shows its Q
  };
  for (const Case& c : cases) {
    band = EqBand{0, 100, 19, static_cast<std::uint8_t>(c.fromType), 1, 0};
    strip.refresh();  // the box shows " 137" of step 100
    band.frequency = static_cast<std::uint16_t>(c.frequency);
    *strip.fader.changed = 0;
    clickType(c.toType);
    EXPECT_EQ(band.type, c.toType);
    EXPECT_EQ(band.frequency, c.expectedFrequency) << c.fromType << " -> " << c.toType;
    EXPECT_EQ(freqText(), c.expectedText);
    EXPECT_EQ(strip.qBoxShown(), c.qBox);
    EXPECT_TRUE(changed());
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(strip.typeButtons[static_cast<std::size_t>(i)].state, i == c.toType ? 1 : 0);
  }
}

TEST_F(EqStrip, ClickingTheCurrentTypeChangesNothing) {
  clickType(0);
  EXPECT_EQ(band.type, 0);
  EXPECT_FALSE(changed());
  EXPECT_EQ(strip.typeButtons[0].state, 1);
}

TEST_F(EqStrip, PassButtonTogglesTheBandAndLightsPassWhenOff) {
  clickPass();
  EXPECT_EQ(band.on, 0);
  EXPECT_TRUE(changed());
  EXPECT_EQ(strip.passButton.state, 0);
  EXPECT_EQ(strip.passButton.currentImage(), &bandPassOn);  // lit PASS: the band is off
  *strip.fader.changed = 0;
  clickPass();
  EXPECT_EQ(band.on, 1);
  EXPECT_TRUE(changed());
  EXPECT_EQ(strip.passButton.currentImage(), &bandPassOff);
}

TEST_F(EqStrip, PassButtonFollowsABandSwitchedOffBehindItsBack) {
  band.on = 0;  // for instance a loaded block, before any repaint
  clickPass();
  EXPECT_EQ(band.on, 1);
  EXPECT_TRUE(changed());
}

TEST_F(EqStrip, ClicksElsewhereLeaveTheBandAlone) {
  clickBackground();
  EXPECT_EQ(band.on, 1);
  EXPECT_EQ(band.type, 0);
  EXPECT_FALSE(changed());
}

TEST_F(EqStrip, GainDragWritesTheBandAndMarksIt) {
  ASSERT_TRUE(strip.mouseDown(kX + 5, kY + 100));
  strip.mouseMove(kX + 5, kY + 50);  // 360 * 50 / 166
  EXPECT_EQ(band.gain, 108);
  EXPECT_EQ(strip.fader.valueBox.textView(), "+10.8");
  EXPECT_TRUE(changed());
  strip.mouseMove(kX + 5, kY);
  EXPECT_EQ(band.gain, 120);  // limited
  strip.mouseUp();
  EXPECT_EQ(strip.fader.dragging, 0);
  strip.mouseMove(kX + 5, kY + 166);
  EXPECT_EQ(band.gain, 120);
}

TEST_F(EqStrip, WheelOverTheBoxes) {
  struct Case {
    int type;
    int frequency;
    int bandwidth;
    bool overFreq;  // else over the Q box
    int delta;
    int expectedFrequency;
    int expectedBandwidth;
  };
  const Case cases[] = {
      {0, 100, 19, true, 240, 102, 19},  {0, 100, 19, true, -60, 100, 19},
      {0, 358, 19, true, 360, 359, 19},  {0, 1, 19, true, -240, 0, 19},
      {1, 275, 19, true, 120, 276, 19},  // the whole range, whatever the type
      {2, 203, 19, true, -120, 202, 19}, {0, 100, 58, false, 240, 100, 59},
      {0, 100, 1, false, -240, 100, 0},  {0, 100, 19, false, 120, 100, 20},
  };
  for (const Case& c : cases) {
    band = EqBand{0,
                  static_cast<std::uint16_t>(c.frequency),
                  static_cast<std::uint8_t>(c.bandwidth),
                  static_cast<std::uint8_t>(c.type),
                  1,
                  0};
    strip.refresh();
    *strip.fader.changed = 0;
    const Rect& box = c.overFreq ? strip.freqBox.rect : strip.qBox.rect;
    strip.wheel(c.delta, box.x + 2, box.y + 2);
    EXPECT_EQ(band.frequency, c.expectedFrequency);
    EXPECT_EQ(band.bandwidth, c.expectedBandwidth);
    EXPECT_TRUE(changed());  // even half a notch marks the band
    EXPECT_EQ(strip.freqBox.active, c.overFreq ? 1 : 0);
    EXPECT_EQ(strip.qBox.active, c.overFreq ? 0 : 1);
    EXPECT_EQ(strip.fader.value, 0);  // the gain fader only answers over itself
  }
  EXPECT_EQ(strip.qBox.textView(), "1.05");
}

TEST_F(EqStrip, WheelElsewhereTakesTheBoxesFocusAway) {
  strip.wheel(120, strip.freqBox.rect.x, strip.freqBox.rect.y);
  *strip.fader.changed = 0;
  strip.wheel(120, kX + 5, kY + 5);  // over the fader
  EXPECT_EQ(strip.freqBox.active, 0);
  EXPECT_EQ(band.frequency, 101);
  EXPECT_EQ(band.gain, 1);
  EXPECT_EQ(strip.fader.active, 1);
}

TEST_F(EqStrip, ArrowKeysOnTheActiveBox) {
  ASSERT_TRUE(strip.mouseDown(strip.freqBox.rect.x + 1, strip.freqBox.rect.y + 1));
  strip.mouseUp();
  strip.keyDown(kKeyUp);
  strip.keyDown(kKeyUp);
  EXPECT_EQ(band.frequency, 102);
  EXPECT_EQ(freqText(), settings::frequencyLabel(102).view());
  strip.keyDown(kKeyDown);
  EXPECT_EQ(band.frequency, 101);
  EXPECT_EQ(band.bandwidth, 19);
  EXPECT_EQ(band.gain, 0);

  band.frequency = 359;
  strip.keyDown(kKeyUp);
  EXPECT_EQ(band.frequency, 359);

  // Other keys do nothing: the typed entry is not overwritten by a refresh.
  *strip.fader.changed = 0;
  strip.keyPress('8');
  strip.keyDown(Qt::Key_8);
  EXPECT_EQ(freqText(), "8");
  EXPECT_FALSE(changed());

  ASSERT_TRUE(strip.mouseDown(strip.qBox.rect.x + 1, strip.qBox.rect.y + 1));
  band.bandwidth = 0;
  strip.keyDown(kKeyDown);
  EXPECT_EQ(band.bandwidth, 0);
  strip.keyDown(kKeyUp);
  EXPECT_EQ(band.bandwidth, 1);
  EXPECT_EQ(strip.qBox.textView(), "0.10");
  EXPECT_EQ(band.frequency, 359);
}

TEST_F(EqStrip, TypedCharactersReachTheQBoxOfAPeakingBandOnly) {
  for (ImgEdit* box : {&strip.fader.valueBox, &strip.freqBox, &strip.qBox}) box->active = 1;
  strip.keyPress('1');
  EXPECT_EQ(strip.fader.valueBox.textView(), "1");
  EXPECT_EQ(freqText(), "1");
  EXPECT_EQ(strip.qBox.textView(), "1");

  band.type = settings::kLowShelf;
  strip.keyPress('2');
  EXPECT_EQ(freqText(), "12");
  EXPECT_EQ(strip.qBox.textView(), "1");
}

TEST_F(EqStrip, QBoxOfAShelfIsNotClicked) {
  band.type = settings::kHighShelf;
  band.frequency = 250;
  strip.refresh();
  EXPECT_FALSE(strip.mouseDown(strip.qBox.rect.x + 1, strip.qBox.rect.y + 1));
  EXPECT_EQ(strip.qBox.active, 0);
}

TEST_F(EqStrip, ChangedFlagCanLiveInABank) {
  std::array<std::uint8_t, 8> bank{};
  strip.fader.changed = &bank[5];
  clickType(1);
  EXPECT_EQ(bank[5], 1);
  EXPECT_EQ(strip.fader.ownChanged, 0);
}

}  // namespace
}  // namespace kdsp::skin
