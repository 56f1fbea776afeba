// SPDX-License-Identifier: GPL-3.0-or-later
// Typed decimals under the locale this executable is built for: the C locale, or a locale that
// writes decimals with a comma (built by the test command with localedef, see CMakeLists.txt).
// Qt sets the C locale to the desktop's at start, so the same entries must be read and shown
// alike under both: "2,5" and "2.5" both mean two and a half, and the boxes show the locale's
// separator.
#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <string>

#include "app/main_window.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "pages/effect_page.h"
#include "settings/frequency_grid.h"
#include "skin/typed_text.h"
#include "skin/value_text.h"
#include "support/scripted_dialogs.h"

#ifndef KDSP_TEST_LOCALE
#error "KDSP_TEST_LOCALE names the locale the typed values are tested under"
#endif

namespace kdsp::pages {
namespace {

// The C and Qt locales are switched before any test runs: the display separator is read once.
class LocaleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_NE(std::setlocale(LC_ALL, KDSP_TEST_LOCALE), nullptr)
        << KDSP_TEST_LOCALE << " is not installed: the test command builds it with localedef";
    QLocale::setDefault(QLocale(QString::fromLatin1(KDSP_TEST_LOCALE)));
  }
};
[[maybe_unused]] const auto* const kLocale =
    ::testing::AddGlobalTestEnvironment(new LocaleEnvironment);

// What the locale itself says, not what the program derived from it.
char LocaleSeparator() {
  return *std::localeconv()->decimal_point;
}

// The text with every "." written as the locale's separator.
std::string Localised(std::string text) {
  for (char& c : text)
    if (c == '.') c = LocaleSeparator();
  return text;
}

TEST(TypedDecimals, ReadTheSameWhateverTheCLocale) {
  struct Case {
    const char* typed;
    std::optional<double> read;
  };
  const Case cases[] = {
      {"2,5", 2.5}, {"2.5", 2.5}, {"-1,25", -1.25}, {"+0.75", 0.75}, {",5", 0.5},
      {"12", 12.0}, {"3.", 3.0},  {"1,2.3", {}},    {"1.2.3", {}},   {"1,2,3", {}},
      {"", {}},     {"-", {}},    {"+-2", {}},      {"2,5-", {}},    {",", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(skin::ParseDecimal(c.typed), c.read) << c.typed;
}

TEST(TypedDecimals, DisplayTextsUseTheLocaleSeparator) {
  EXPECT_EQ(skin::DecimalSeparator(), LocaleSeparator());
  skin::BoxText text{};
  skin::FormatTenths(35, text);
  EXPECT_EQ(skin::BoxTextView(text), Localised("+3.5"));
  skin::FormatTenths(-120, text);
  EXPECT_EQ(skin::BoxTextView(text), Localised("-12.0"));
  skin::FormatQ(0, text);
  EXPECT_EQ(skin::BoxTextView(text), Localised("0.05"));
  skin::FormatHundredths(1234, text);
  EXPECT_EQ(skin::BoxTextView(text), Localised("12.34"));
}

// Entries typed into real boxes of the main window and the Mic Equalizer page.
class TypedEntries : public ::testing::Test {
 protected:
  TypedEntries() {
    main = std::make_unique<app::TForm1>(controller, working, dialogs);
    page =
        std::make_unique<EffectPage>(skin::page_layout::LayoutOf(settings::PageId::kMicEqualizer),
                                     main->skinImages(), main->skinFonts(), working, main->link());
  }
  ~TypedEntries() override {
    page.reset();
    main.reset();
  }
  // Clicks into the box, types, and presses Enter; whether the box flashes afterwards.
  static bool type(skin::ImgEdit& box, std::string_view typed) {
    box.mouseDown(box.rect.x + 1, box.rect.y + 1);
    for (char ch : typed) box.keyPress(ch);
    box.keyPress(skin::kCharEnter);
    const bool refused = box.flashing != 0;
    box.endFlash();
    return refused;
  }

  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  kdsp::testing::ScriptedDialogs dialogs;
  settings::ParameterBlock working{};
  std::unique_ptr<app::TForm1> main;
  std::unique_ptr<EffectPage> page;
};

TEST_F(TypedEntries, EqGainAndQTakeEitherSeparatorAndShowTheLocales) {
  skin::ImgEqBand& strip = page->strip(0);
  struct Case {
    skin::ImgEdit skin::ImgEqBand::*box;
    const char* typed;
    bool refused;
    int gain;
    int bandwidth;
    const char* shown;  // with "." for the locale's separator
  };
  const Case cases[] = {
      {nullptr, "2,5", false, 25, 9, "+2.5"},
      {nullptr, "-1.5", false, -15, 9, "-1.5"},
      {nullptr, "13", true, -15, 9, "-1.5"},
      {nullptr, "1,2.3", true, -15, 9, "-1.5"},
      {&skin::ImgEqBand::qBox, "0,75", false, -15, 14, "0.75"},
      {&skin::ImgEqBand::qBox, "2.5", false, -15, 49, "2.50"},
      {&skin::ImgEqBand::qBox, "3,5", true, -15, 49, "2.50"},
  };
  for (const Case& c : cases) {
    skin::ImgEdit& box = c.box != nullptr ? strip.*c.box : strip.fader.valueBox;
    EXPECT_EQ(type(box, c.typed), c.refused) << c.typed;
    EXPECT_EQ(strip.band->gain, c.gain) << c.typed;
    EXPECT_EQ(strip.band->bandwidth, c.bandwidth) << c.typed;
    EXPECT_EQ(box.textView(), Localised(c.shown)) << c.typed;
  }
}

TEST_F(TypedEntries, FrequencyTakesAFractionalHertzValueWithEitherSeparator) {
  skin::ImgEqBand& strip = page->strip(0);
  const int step = settings::gridStepAtOrAbove(62.5F);
  for (const char* typed : {"62,5", "62.5"}) {
    strip.band->frequency = 100;
    EXPECT_FALSE(type(strip.freqBox, typed)) << typed;
    EXPECT_EQ(strip.band->frequency, step) << typed;
    EXPECT_EQ(strip.freqBox.textView(), settings::frequencyLabel(step).view()) << typed;
  }
}

TEST_F(TypedEntries, MainWindowDelayTakesEitherSeparatorAndKeepsWholeMilliseconds) {
  skin::ImgKnob& delay = main->knob(0);
  EXPECT_FALSE(type(delay.valueBox, "12,5"));
  EXPECT_EQ(delay.value, 1200);
  EXPECT_EQ(delay.valueBox.textView(), Localised("12.00"));
  EXPECT_FALSE(type(delay.valueBox, "7.9"));
  EXPECT_EQ(delay.value, 700);
  EXPECT_TRUE(type(delay.valueBox, "101"));
  EXPECT_EQ(delay.value, 700);
  EXPECT_EQ(delay.valueBox.textView(), Localised("7.00"));
}

}  // namespace
}  // namespace kdsp::pages
