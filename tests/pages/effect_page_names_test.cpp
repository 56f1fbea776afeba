// SPDX-License-Identifier: GPL-3.0-or-later
// The names an effect page gives the control or chart handle under a point: what an edit made
// there is called.
#include <gtest/gtest.h>

#include <QTest>
#include <set>
#include <string>

#include "app/main_window.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "pages/effect_page.h"
#include "settings/page_catalogue.h"
#include "support/scripted_dialogs.h"

namespace kdsp::pages {
namespace {

using settings::PageId;
using skin::LayoutRect;
using namespace skin::page_layout;

struct Point {
  int x;
  int y;
};

Point Centre(const LayoutRect& r) {
  return {r.x + r.w / 2, r.y + r.h / 2};
}

struct Case {
  Point at;
  const char* name;
};

class EffectPageNamesTest : public ::testing::Test {
 protected:
  EffectPage& open(PageId id) {
    page = std::make_unique<EffectPage>(LayoutOf(id), main.skinImages(), main.skinFonts(), working,
                                        main.link());
    page->show();
    // The chart places its handles when it is painted.
    page->render();
    return *page;
  }
  std::string nameAt(Point p) const { return page->controlNameAt(p.x, p.y); }
  // Where the page shows a band's or a filter's chart handle.
  Point bandHandle(int band) {
    const display::ResponseChart& chart = page->chart();
    const display::ChartPoint h = chart.bandHandles[static_cast<std::size_t>(band)];
    return {chart.bounds.x + h.x, chart.bounds.y + h.y};
  }
  Point filterHandle(int filter) {
    const display::ResponseChart& chart = page->chart();
    const display::ChartPoint h = chart.filterHandles[static_cast<std::size_t>(filter)];
    return {chart.bounds.x + h.x, chart.bounds.y + h.y};
  }
  void expectNames(std::initializer_list<Case> cases) {
    for (const Case& c : cases)
      EXPECT_EQ(nameAt(c.at), c.name) << "at (" << c.at.x << ", " << c.at.y << ")";
  }

  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  kdsp::testing::ScriptedDialogs dialogs;
  settings::ParameterBlock working{};
  app::TForm1 main{controller, working, dialogs};
  std::unique_ptr<EffectPage> page;
};

TEST_F(EffectPageNamesTest, MicEqualizer) {
  EffectPage& p = open(PageId::kMicEqualizer);
  ASSERT_EQ(working.bands[0].type, settings::kLowShelf);  // the factory's first band
  ASSERT_EQ(working.bands[4].type, settings::kPeaking);
  const LayoutRect chart = kTForm2.chart;
  expectNames({
      {Centre(EqFaderRect(kTForm2, 0)), "Mic Equalizer band 1"},
      {Centre(EqGainBoxRect(kTForm2, 2)), "Mic Equalizer band 3"},
      {Centre(EqPassButtonRect(kTForm2, 3)), "Mic Equalizer band 4"},
      {Centre(EqTypeButtonRect(kTForm2, 14, 2)), "Mic Equalizer band 15"},
      {Centre(EqFreqBoxRect(kTForm2, 4)), "Mic Equalizer band 5"},
      {Centre(EqQBoxRect(kTForm2, 4)), "Mic Equalizer band 5"},
      // A shelf shows no Q box: nothing is there to press.
      {Centre(EqQBoxRect(kTForm2, 0)), ""},
      {Centre(FaderRect(kTForm2, kTForm2.faders[0])), "Mic Equalizer Threshold fader"},
      {Centre(FaderBoxRect(kTForm2, kTForm2.faders[3])), "Mic Equalizer Ratio fader"},
      {Centre(FaderRect(kTForm2, kTForm2.faders[4])), "Mic Equalizer HPF fader"},
      {Centre(KnobRect(kTForm2.knobs[0])), "Mic Equalizer EQ Mode knob"},
      {Centre(PolaritySwitchRect(kTForm2.polarity[0])), "Mic Equalizer MIC13 Pol switch"},
      {Centre(PolaritySwitchRect(kTForm2.polarity[1])), "Mic Equalizer MIC2 Pol switch"},
      {Centre(EqPassRect(kTForm2)), "Mic Equalizer EQPass button"},
      {bandHandle(0), "Mic Equalizer band 1"},
      {bandHandle(2), "Mic Equalizer band 3"},
      {filterHandle(display::kHighPassHandle), "Mic Equalizer HPF"},
      {Centre(CloseButtonRect(kTForm2)), ""},
      {{chart.x + chart.w / 2, chart.y + 30}, ""},
      {{kTForm2.titleArea.x + 5, kTForm2.titleArea.y + 5}, ""},
  });
  EXPECT_EQ(p.stripCount(), 15);
}

TEST_F(EffectPageNamesTest, CenterOutputNamesItsFiltersKnobsByTheirFrame) {
  open(PageId::kCenterOutput);
  expectNames({
      {Centre(EqFaderRect(kTForm4, 4)), "Center Output band 5"},
      {Centre(FaderRect(kTForm4, kTForm4.faders[1])), "Center Output Attack fader"},
      {Centre(FaderBoxRect(kTForm4, kTForm4.faders[4])), "Center Output HPF fader"},
      {Centre(FaderRect(kTForm4, kTForm4.faders[5])), "Center Output LPF fader"},
      {Centre(KnobRect(kTForm4.knobs[0])), "Center Output High Pass Filter knob"},
      {Centre(KnobRect(kTForm4.knobs[1])), "Center Output High Pass Slope knob"},
      {Centre(KnobRect(kTForm4.knobs[2])), "Center Output Low Pass Filter knob"},
      {Centre(KnobRect(kTForm4.knobs[3])), "Center Output Low Pass Slope knob"},
      {bandHandle(4), "Center Output band 5"},
      {filterHandle(display::kHighPassHandle), "Center Output HPF"},
      {filterHandle(display::kLowPassHandle), "Center Output LPF"},
  });
}

TEST_F(EffectPageNamesTest, EchoEffectNamesFadersByTheirPrintedCaptions) {
  open(PageId::kEcho);
  expectNames({
      {Centre(EqTypeButtonRect(kTForm8, 1, 0)), "Echo Effect band 2"},
      {Centre(FaderRect(kTForm8, kTForm8.faders[0])), "Echo Effect Echo Level fader"},
      {Centre(FaderBoxRect(kTForm8, kTForm8.faders[5])), "Echo Effect Pre Delay L-R fader"},
      {Centre(FaderRect(kTForm8, kTForm8.faders[6])), "Echo Effect Echo HPF fader"},
      {Centre(FaderRect(kTForm8, kTForm8.faders[8])), "Echo Effect Direct Volume fader"},
      {Centre(EqPassRect(kTForm8)), "Echo Effect EQPass button"},
      {filterHandle(display::kLowPassHandle), "Echo Effect Echo LPF"},
      {Centre(LogoRect(kTForm8)), ""},
  });
}

TEST_F(EffectPageNamesTest, EveryControlOfEveryPageHasItsOwnName) {
  for (const PageLayout* layout : kPageLayouts) {
    EffectPage& p = open(layout->id);
    const std::string key(settings::Page(layout->id).key);
    std::set<std::string> names;
    const auto add = [&](const LayoutRect& r, const char* what, int i) {
      const std::string name = nameAt(Centre(r));
      EXPECT_FALSE(name.empty()) << key << " " << what << " " << i;
      EXPECT_TRUE(names.insert(name).second)
          << key << " " << what << " " << i << " shares \"" << name << "\"";
    };
    for (int i = 0; i < p.stripCount(); ++i) {
      add(EqFaderRect(*layout, i), "strip", i);
      // Every part of a strip goes by the strip's name.
      const std::string strip = nameAt(Centre(EqFaderRect(*layout, i)));
      for (const LayoutRect& part :
           {EqGainBoxRect(*layout, i), EqFreqBoxRect(*layout, i), EqPassButtonRect(*layout, i),
            EqTypeButtonRect(*layout, i, 0), EqTypeButtonRect(*layout, i, 1),
            EqTypeButtonRect(*layout, i, 2)})
        EXPECT_EQ(nameAt(Centre(part)), strip) << key << " strip " << i;
    }
    for (int i = 0; i < static_cast<int>(layout->faders.size()); ++i) {
      add(FaderRect(*layout, layout->faders[i]), "fader", i);
      EXPECT_EQ(nameAt(Centre(FaderBoxRect(*layout, layout->faders[i]))),
                nameAt(Centre(FaderRect(*layout, layout->faders[i]))))
          << key << " fader box " << i;
    }
    for (int i = 0; i < static_cast<int>(layout->knobs.size()); ++i)
      add(KnobRect(layout->knobs[i]), "knob", i);
    for (int i = 0; i < static_cast<int>(layout->polarity.size()); ++i)
      add(PolaritySwitchRect(layout->polarity[i]), "polarity switch", i);
    add(EqPassRect(*layout), "EQ Pass", 0);
    // Every name starts with the page's title.
    for (const std::string& name : names)
      EXPECT_EQ(name.rfind(std::string(settings::Page(layout->id).title) + " ", 0), 0u) << name;
  }
}

}  // namespace
}  // namespace kdsp::pages
