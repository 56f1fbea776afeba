// SPDX-License-Identifier: GPL-3.0-or-later
// The geometry tables of the main window and the effect pages: the positions the panels are
// known by, and controls that must not cover each other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/page_catalogue.h"
#include "skin/main_window_layout.h"
#include "skin/page_layouts.h"

namespace kdsp {
namespace {

using skin::LayoutRect;
namespace main_layout = skin::main_layout;
namespace page_layout = skin::page_layout;

struct Placed {
  int kind;
  int index;
  LayoutRect rect;
};

std::string Describe(const Placed& c) {
  return "kind " + std::to_string(c.kind) + " #" + std::to_string(c.index) + " at (" +
         std::to_string(c.rect.x) + ", " + std::to_string(c.rect.y) + ", " +
         std::to_string(c.rect.w) + ", " + std::to_string(c.rect.h) + ")";
}

std::vector<Placed> MainControls() {
  std::vector<Placed> out;
  main_layout::ForEachControl([&](main_layout::ControlKind kind, int index, const LayoutRect& r) {
    out.push_back({static_cast<int>(kind), index, r});
  });
  return out;
}

std::vector<Placed> PageControls(const page_layout::PageLayout& page) {
  std::vector<Placed> out;
  page_layout::ForEachControl(page,
                              [&](page_layout::ControlKind kind, int index, const LayoutRect& r) {
                                out.push_back({static_cast<int>(kind), index, r});
                              });
  return out;
}

TEST(MainWindowLayout, TellingPositions) {
  struct Case {
    const char* what;
    LayoutRect actual;
    LayoutRect expected;
  };
  const Case cases[] = {
      {"close button", main_layout::CloseButtonRect(), {960, 8, 25, 23}},
      {"minimise button", main_layout::MinimizeButtonRect(), {935, 8, 25, 23}},
      {"Presets button", main_layout::PresetsButtonRect(), {875, 200, 58, 59}},
      {"fader 0", main_layout::FaderRect(main_layout::kFaders[0]), {23, 355, 20, 175}},
      {"fader 16", main_layout::FaderRect(main_layout::kFaders[16]), {772, 355, 20, 175}},
      {"fader 0 box", main_layout::FaderBoxRect(main_layout::kFaders[0]), {16, 337, 32, 18}},
      {"mute 13", main_layout::MuteButtonRect(main_layout::kFaders[13]), {590, 305, 31, 30}},
      {"knob 0", main_layout::KnobRect(main_layout::kKnobs[0]), {115, 91, 32, 32}},
      {"knob 0 box", main_layout::KnobBoxRect(main_layout::kKnobs[0]), {111, 131, 32, 18}},
      {"knob 6", main_layout::KnobRect(main_layout::kKnobs[6]), {887, 339, 32, 32}},
      {"Main left switch",
       main_layout::OutputSwitchRect(main_layout::kOutputSwitches[0]),
       {31, 88, 43, 42}},
      {"Mic switch (70 %)",
       main_layout::OutputSwitchRect(main_layout::kOutputSwitches[6]),
       {705, 180, 30, 29}},
      {"Music switch (70 %)",
       main_layout::OutputSwitchRect(main_layout::kOutputSwitches[7]),
       {665, 180, 30, 29}},
      {"music maximum box",
       main_layout::MaxVolumeBoxRect(main_layout::kMaxVolumeBoxes[0]),
       {672, 305, 32, 18}},
      {"Reverb page button",
       main_layout::PageButtonRect(main_layout::kPageButtons[7]),
       {772, 229, 42, 41}},
      {"connection indicator", main_layout::kLinkIndicatorRect, {886, 121, 43, 43}},
      {"logo", main_layout::LogoRect(), {838, 40, 137, 44}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
  EXPECT_EQ(main_layout::kMainWindowSize.w, 999);
  EXPECT_EQ(main_layout::kMainWindowSize.h, 600);
}

TEST(MainWindowLayout, TargetsAndRanges) {
  // Fader i writes the byte the mixer table names; the master faders their own bytes.
  const std::size_t faderTargets[17] = {10, 11, 12, 13, 14, 15, 16, 17, 22,
                                        23, 24, 25, 18, 19, 4,  5,  7};
  for (int i = 0; i < 17; ++i)
    EXPECT_EQ(main_layout::kFaders[i].target, faderTargets[i]) << "fader " << i;
  EXPECT_EQ(main_layout::kFaders[14].max, 60);
  EXPECT_EQ(main_layout::kFaders[14].limit, main_layout::FaderLimit::kMusicMaxVolume);
  EXPECT_EQ(main_layout::kFaders[15].limit, main_layout::FaderLimit::kMicMaxVolume);
  EXPECT_EQ(main_layout::kFaders[16].max, 80);
  // The delay knobs' lines and top end are checked on the window (tests/app).
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(main_layout::kKnobs[k].step, 5);
    EXPECT_EQ(main_layout::kKnobs[k].dragStep, 100);
    EXPECT_TRUE(main_layout::kKnobs[k].valueBox);
  }
  EXPECT_EQ(main_layout::kKnobs[6].target, 2u);  // feedbackLevel
  EXPECT_EQ(main_layout::kKnobs[6].max, 5);
  EXPECT_EQ(main_layout::kKnobs[7].target, 1u);  // musicInput
  EXPECT_EQ(main_layout::kKnobs[7].max, 4);
  for (int bit = 0; bit < 8; ++bit) EXPECT_EQ(main_layout::kOutputSwitches[bit].bit, bit);
  EXPECT_EQ(main_layout::kPageButtons[0].page, settings::PageId::kMainOutput);
  EXPECT_EQ(main_layout::kPageButtons[5].page, settings::PageId::kMicEqualizer);
}

// The Control row's page buttons are listed 38 pixels apart while their picture is 42 wide; their
// pictures leave the overlap transparent. Nothing else of the main window overlaps.
bool OverlapAllowed(const Placed& a, const Placed& b) {
  const int pageButton = static_cast<int>(main_layout::ControlKind::kPageButton);
  return a.kind == pageButton && b.kind == pageButton && a.index >= 4 && b.index >= 4;
}

TEST(MainWindowLayout, ControlsDoNotOverlap) {
  const std::vector<Placed> controls = MainControls();
  const LayoutRect window{0, 0, main_layout::kMainWindowSize.w, main_layout::kMainWindowSize.h};
  for (std::size_t i = 0; i < controls.size(); ++i) {
    EXPECT_TRUE(window.contains(controls[i].rect)) << Describe(controls[i]);
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      if (OverlapAllowed(controls[i], controls[j])) continue;
      EXPECT_FALSE(controls[i].rect.overlaps(controls[j].rect))
          << Describe(controls[i]) << " and " << Describe(controls[j]);
    }
  }
}

TEST(MainWindowLayout, SectionFramesHoldTheirControls) {
  for (std::size_t i = 0; i < main_layout::kSectionFrames.size(); ++i)
    for (std::size_t j = i + 1; j < main_layout::kSectionFrames.size(); ++j)
      EXPECT_FALSE(
          main_layout::kSectionFrames[i].frame.overlaps(main_layout::kSectionFrames[j].frame))
          << main_layout::kSectionFrames[i].title << " and "
          << main_layout::kSectionFrames[j].title;
  const auto holds = [](main_layout::MainSection section, const LayoutRect& r) {
    return main_layout::FrameOf(section).frame.contains(r);
  };
  for (const main_layout::MainFader& f : main_layout::kFaders) {
    EXPECT_TRUE(holds(f.section, main_layout::FaderRect(f))) << "fader at " << f.x;
    EXPECT_TRUE(holds(f.section, main_layout::FaderBoxRect(f))) << "fader box at " << f.x;
    if (f.muteButton) {
      EXPECT_TRUE(holds(f.section, main_layout::MuteButtonRect(f))) << "mute at " << f.x;
    }
  }
  for (const main_layout::MainKnob& k : main_layout::kKnobs) {
    EXPECT_TRUE(holds(k.section, main_layout::KnobRect(k))) << k.meaning;
    if (k.valueBox) {
      EXPECT_TRUE(holds(k.section, main_layout::KnobBoxRect(k))) << k.meaning;
    }
  }
  for (const main_layout::OutputSwitch& s : main_layout::kOutputSwitches)
    EXPECT_TRUE(holds(s.section, main_layout::OutputSwitchRect(s))) << "switch " << s.bit;
  for (const main_layout::PageButton& b : main_layout::kPageButtons)
    EXPECT_TRUE(holds(b.section, main_layout::PageButtonRect(b))) << "page button at " << b.at.x;
  for (const main_layout::MaxVolumeBox& b : main_layout::kMaxVolumeBoxes)
    EXPECT_TRUE(holds(main_layout::MainSection::kControl, main_layout::MaxVolumeBoxRect(b)))
        << b.name;
  for (const LayoutRect& r : {main_layout::kSettingsSideTabs[0], main_layout::kSettingsSideTabs[1],
                              main_layout::kSettingsOriginRect, main_layout::kSettingsModifiedRect})
    EXPECT_TRUE(holds(main_layout::MainSection::kSettings, r)) << "settings at " << r.y;
  EXPECT_TRUE(main_layout::kSettingsDisplayRect.contains(main_layout::kSettingsOriginRect) &&
              main_layout::kSettingsDisplayRect.contains(main_layout::kSettingsModifiedRect));
  // The buttons of the title bar and the right column stay outside every frame.
  for (const LayoutRect& r :
       {main_layout::CloseButtonRect(), main_layout::MinimizeButtonRect(),
        main_layout::PresetsButtonRect(), main_layout::kLinkIndicatorRect, main_layout::LogoRect()})
    for (const main_layout::SectionFrame& s : main_layout::kSectionFrames)
      EXPECT_FALSE(s.frame.overlaps(r)) << s.title << " covers (" << r.x << ", " << r.y << ")";
}

// The status section stands under Mic Setting in the right column, as wide, its bottom on the
// line of the mixer's sections.
TEST(MainWindowLayout, TheSettingsSectionLinesUpWithItsNeighbours) {
  const LayoutRect settings = main_layout::FrameOf(main_layout::MainSection::kSettings).frame;
  const LayoutRect mic = main_layout::FrameOf(main_layout::MainSection::kMicSetting).frame;
  const LayoutRect control = main_layout::FrameOf(main_layout::MainSection::kControl).frame;
  EXPECT_EQ(settings.x, mic.x);
  EXPECT_EQ(settings.w, mic.w);
  EXPECT_EQ(settings.bottom(), control.bottom());
  EXPECT_GT(settings.y, mic.bottom());
}

TEST(MainWindowLayout, SettingsSideUnderAPoint) {
  struct Case {
    int x;
    int y;
    int side;
  };
  const LayoutRect a = main_layout::kSettingsSideTabs[0];
  const LayoutRect b = main_layout::kSettingsSideTabs[1];
  const Case cases[] = {
      {a.x, a.y, 0},
      {a.right() - 1, a.bottom() - 1, 0},
      {a.right(), a.y + 5, -1},
      {b.x, b.y + 5, 1},
      {b.right() - 1, b.y, 1},
      {b.x + 5, b.bottom(), -1},
      {b.x + 5, b.y - 1, -1},
      {0, 0, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(main_layout::SettingsSideAt(c.x, c.y), c.side) << c.x << ", " << c.y;
}

TEST(PageLayouts, TellingPositions) {
  using namespace skin::page_layout;
  struct Case {
    const char* what;
    LayoutRect actual;
    LayoutRect expected;
  };
  const Case cases[] = {
      {"mic strip 0 fader", EqFaderRect(kTForm2, 0), {60, 134, 20, 166}},
      {"mic strip 0 gain box", EqGainBoxRect(kTForm2, 0), {51, 116, 38, 20}},
      {"mic strip 0 frequency box", EqFreqBoxRect(kTForm2, 0), {51, 306, 38, 20}},
      {"mic strip 0 Q box (195 below)", EqQBoxRect(kTForm2, 0), {51, 329, 38, 20}},
      {"mic strip 14 pass button", EqPassButtonRect(kTForm2, 14), {655, 7, 39, 20}},
      {"mic strip 14 HS button", EqTypeButtonRect(kTForm2, 14, 2), {655, 67, 39, 20}},
      {"main strip 4 Q box (200 below)", EqQBoxRect(kTForm3, 4), {333, 329, 38, 20}},
      {"music strip 6 LS button", EqTypeButtonRect(kTForm7, 6, 1), {424, 47, 39, 20}},
      {"main Threshold fader", FaderRect(kTForm3, kTForm3.faders[0]), {413, 136, 10, 145}},
      {"main Threshold box", FaderBoxRect(kTForm3, kTForm3.faders[0]), {399, 110, 38, 20}},
      {"sub Decay fader", FaderRect(kTForm6, kTForm6.faders[6]), {1021, 132, 10, 145}},
      {"echo Direct Volume", FaderRect(kTForm8, kTForm8.faders[8]), {729, 140, 10, 145}},
      {"centre low-pass order knob", KnobRect(kTForm4.knobs[3]), {901, 220, 32, 32}},
      {"mic mode knob", KnobRect(kTForm2.knobs[0]), {754, 38, 32, 32}},
      {"MIC13 Pol (80 %)", PolaritySwitchRect(kTForm2.polarity[0]), {15, 22, 24, 24}},
      {"MIC2 Pol (80 %)", PolaritySwitchRect(kTForm2.polarity[1]), {15, 67, 24, 24}},
      {"sub close button", CloseButtonRect(kTForm6), {1020, 8, 25, 23}},
      {"music close button", CloseButtonRect(kTForm7), {960, 8, 25, 23}},
      {"mic EQ Pass", EqPassRect(kTForm2), {890, 60, 78, 35}},
      {"centre EQ Pass", EqPassRect(kTForm4), {357, 35, 78, 35}},
      {"music logo", LogoRect(kTForm7), {825, 115, 137, 44}},
      {"sub chart", kTForm6.chart, {0, 351, 1050, 249}},
      {"echo chart", kTForm8.chart, {0, 363, 1000, 237}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(PageLayouts, EveryPageMatchesItsCatalogueEntry) {
  for (const page_layout::PageLayout* page : page_layout::kPageLayouts) {
    const settings::PageParameters& p = settings::Page(page->id);
    SCOPED_TRACE(std::string(p.form));
    EXPECT_EQ(static_cast<int>(page->eqX.size()), p.bandCount);
    EXPECT_EQ(page_layout::PageSize(*page).w,
              page->id == settings::PageId::kSubwooferOutput ? 1055 : 999);
    EXPECT_EQ(page_layout::PageSize(*page).h, 600);
    EXPECT_EQ(page->logo, page->id == settings::PageId::kMainOutput ||
                              page->id == settings::PageId::kSurroundOutput ||
                              page->id == settings::PageId::kMusicEqualizer ||
                              page->id == settings::PageId::kEcho ||
                              page->id == settings::PageId::kReverb);
    // A page shows a filter fader exactly for each filter it edits, and compressor faders exactly
    // when it has a compressor.
    int highPass = 0, lowPass = 0, compressor = 0;
    for (const page_layout::PageFader& f : page->faders) {
      highPass += f.role == page_layout::FaderRole::kHighPass;
      lowPass += f.role == page_layout::FaderRole::kLowPass;
      compressor += f.role == page_layout::FaderRole::kThreshold ||
                    f.role == page_layout::FaderRole::kAttack ||
                    f.role == page_layout::FaderRole::kRelease ||
                    f.role == page_layout::FaderRole::kRatio;
    }
    EXPECT_EQ(highPass, p.highPass == settings::kNoRecord ? 0 : 1);
    EXPECT_EQ(lowPass, p.lowPass == settings::kNoRecord ? 0 : 1);
    EXPECT_EQ(compressor, p.compressor == settings::kNoRecord ? 0 : 4);
  }
}

TEST(PageLayouts, FaderTargets) {
  struct Case {
    const page_layout::PageLayout* page;
    std::vector<int> targets;  // in the page's fader order
  };
  const Case cases[] = {
      {&page_layout::kTForm2, {600, 597, 598, 599, 530}},
      {&page_layout::kTForm3, {608, 605, 606, 607, 560}},
      {&page_layout::kTForm4, {616, 613, 614, 615, 566, 572}},
      {&page_layout::kTForm5, {632, 629, 630, 631, 590}},
      {&page_layout::kTForm6, {624, 621, 622, 623, 578, 584, 8}},
      {&page_layout::kTForm7, {640, 637, 638, 639}},
      {&page_layout::kTForm8, {668, 672, 671, 678, 684, 690, 536, 542, 701}},
      {&page_layout::kTForm9, {695, 692, 698, 548, 554}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(settings::Page(c.page->id).form));
    ASSERT_EQ(c.page->faders.size(), c.targets.size());
    for (std::size_t i = 0; i < c.targets.size(); ++i)
      EXPECT_EQ(page_layout::FaderTarget(c.page->id, c.page->faders[i]), c.targets[i])
          << "fader " << i;
  }
}

// The fader ranges, stores and formats are checked by dragging the page's faders to their ends
// (tests/pages); what only typing and the printed scale show stays here.
TEST(PageLayouts, EchoFaderBoxesTakeTheirLongestValue) {
  const int maxChars[] = {2, 3, 2, 3, 3, 3, 5, 5, 2};
  ASSERT_EQ(page_layout::kTForm8.faders.size(), std::size(maxChars));
  for (std::size_t i = 0; i < std::size(maxChars); ++i) {
    const page_layout::PageFader& f = page_layout::kTForm8.faders[i];
    EXPECT_EQ(f.maxChars, maxChars[i]) << f.caption;
  }
  EXPECT_EQ(page_layout::kTForm6.faders[6].minText, "OFF");
}

// An EQ strip's gain box reaches 2 pixels into the top of its own fader; that is one control.
bool PageOverlapAllowed(const Placed& a, const Placed& b) {
  const int fader = static_cast<int>(page_layout::ControlKind::kEqFader);
  const int gain = static_cast<int>(page_layout::ControlKind::kEqGainBox);
  return a.index == b.index &&
         ((a.kind == fader && b.kind == gain) || (a.kind == gain && b.kind == fader));
}

TEST(PageLayouts, ControlsDoNotOverlap) {
  for (const page_layout::PageLayout* page : page_layout::kPageLayouts) {
    SCOPED_TRACE(std::string(settings::Page(page->id).form));
    const std::vector<Placed> controls = PageControls(*page);
    const LayoutRect window{0, 0, page_layout::PageSize(*page).w, page_layout::PageSize(*page).h};
    for (std::size_t i = 0; i < controls.size(); ++i) {
      EXPECT_TRUE(window.contains(controls[i].rect)) << Describe(controls[i]);
      EXPECT_FALSE(controls[i].rect.overlaps(page->titleArea)) << Describe(controls[i]);
      for (std::size_t j = i + 1; j < controls.size(); ++j) {
        if (PageOverlapAllowed(controls[i], controls[j])) continue;
        EXPECT_FALSE(controls[i].rect.overlaps(controls[j].rect))
            << Describe(controls[i]) << " and " << Describe(controls[j]);
      }
    }
    // Every fader ends above the chart the page draws over its lower part.
    for (int s = 0; s < static_cast<int>(page->eqX.size()); ++s)
      EXPECT_LE(page_layout::EqFaderRect(*page, s).bottom(), page->chart.y) << "strip " << s;
    for (const page_layout::PageFader& f : page->faders)
      EXPECT_LE(page_layout::FaderRect(*page, f).bottom(), page->chart.y) << f.caption;
    // The EQ frame closes 6 pixels below the Q boxes; the chart's screen starts clear of it.
    for (int s = 0; s < static_cast<int>(page->eqX.size()); ++s)
      EXPECT_GE(page->chart.y, page_layout::EqQBoxRect(*page, s).bottom() + 10) << "strip " << s;
  }
}

}  // namespace
}  // namespace kdsp
