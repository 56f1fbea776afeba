// SPDX-License-Identifier: GPL-3.0-or-later
// The names the main window gives the control under a point: what an edit made there is called.
#include <gtest/gtest.h>

#include <QTest>
#include <set>
#include <string>

#include "app/main_window.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "skin/main_window_layout.h"
#include "support/scripted_dialogs.h"

namespace kdsp::app {
namespace {

using namespace skin::main_layout;
using skin::LayoutRect;

struct Point {
  int x;
  int y;
};

Point Centre(const LayoutRect& r) {
  return {r.x + r.w / 2, r.y + r.h / 2};
}

class MainWindowNamesTest : public ::testing::Test {
 protected:
  MainWindowNamesTest() { window.show(); }

  std::string nameAt(Point p) const { return window.controlNameAt(p.x, p.y); }

  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  testing::ScriptedDialogs dialogs;
  settings::ParameterBlock working{};
  TForm1 window{controller, working, dialogs};
};

TEST_F(MainWindowNamesTest, NamesTheControlUnderAPointAsThePanelPrintsIt) {
  const LayoutRect mainMusic = FaderRect(kFaders[0]);
  struct Case {
    Point at;
    const char* name;
  };
  const Case cases[] = {
      {Centre(mainMusic), "Main Music fader"},
      {Centre(FaderBoxRect(kFaders[0])), "Main Music fader"},
      // The fader answers up to and including its right edge, and no further.
      {{mainMusic.right(), mainMusic.y + 40}, "Main Music fader"},
      {{mainMusic.right() + 1, mainMusic.y + 40}, ""},
      {Centre(FaderRect(kFaders[6])), "Center Echo fader"},
      {Centre(FaderRect(kFaders[11])), "Surround Rev fader"},
      {Centre(FaderBoxRect(kFaders[13])), "Subwoofer Mic fader"},
      {Centre(FaderRect(kFaders[14])), "Master Music fader"},
      {Centre(FaderRect(kFaders[15])), "Master Mic fader"},
      {Centre(FaderBoxRect(kFaders[16])), "Master Effect fader"},
      {Centre(MuteButtonRect(kFaders[0])), "Main Music mute"},
      {Centre(MuteButtonRect(kFaders[9])), "Surround Mic mute"},
      {Centre(OutputSwitchRect(kOutputSwitches[0])), "Main Out L switch"},
      {Centre(OutputSwitchRect(kOutputSwitches[2])), "Center Out switch"},
      {Centre(OutputSwitchRect(kOutputSwitches[5])), "Surround Out R switch"},
      {Centre(OutputSwitchRect(kOutputSwitches[7])), "Control Music switch"},
      {Centre(KnobRect(kKnobs[0])), "Main Delay L knob"},
      {Centre(KnobBoxRect(kKnobs[4])), "Surround Delay R knob"},
      {Centre(KnobRect(kKnobs[5])), "Subwoofer Delay knob"},
      {Centre(KnobRect(kKnobs[6])), "Mic Setting FB-EX knob"},
      {Centre(KnobRect(kKnobs[7])), "Control Input knob"},
      {Centre(MaxVolumeBoxRect(kMaxVolumeBoxes[1])), "Max Mic volume"},
      // Buttons that edit no setting, the pictures and the background have no name.
      {Centre(CloseButtonRect()), ""},
      {Centre(MinimizeButtonRect()), ""},
      {Centre(PresetsButtonRect()), ""},
      {Centre(PageButtonRect(kPageButtons[4])), ""},
      {Centre(kLinkIndicatorRect), ""},
      {Centre(LogoRect()), ""},
      {{500, 20}, ""},
      // The Mic Setting knob has no value box: below it is bare panel.
      {Centre(KnobBoxRect(kKnobs[6])), ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(nameAt(c.at), c.name) << "at (" << c.at.x << ", " << c.at.y << ")";
}

TEST_F(MainWindowNamesTest, EveryMixControlHasItsOwnName) {
  std::set<std::string> names;
  int controls = 0;
  const auto add = [&](const LayoutRect& r, const char* what, int i) {
    const std::string name = nameAt(Centre(r));
    EXPECT_FALSE(name.empty()) << what << " " << i;
    EXPECT_TRUE(names.insert(name).second) << what << " " << i << " shares \"" << name << "\"";
    ++controls;
  };
  for (int i = 0; i < static_cast<int>(kFaders.size()); ++i) {
    add(FaderRect(kFaders[i]), "fader", i);
    EXPECT_EQ(nameAt(Centre(FaderBoxRect(kFaders[i]))), nameAt(Centre(FaderRect(kFaders[i]))))
        << "the value box of fader " << i;
    if (kFaders[i].muteButton) add(MuteButtonRect(kFaders[i]), "mute", i);
  }
  for (int i = 0; i < static_cast<int>(kOutputSwitches.size()); ++i)
    add(OutputSwitchRect(kOutputSwitches[i]), "switch", i);
  for (int i = 0; i < static_cast<int>(kKnobs.size()); ++i) add(KnobRect(kKnobs[i]), "knob", i);
  for (int i = 0; i < static_cast<int>(kMaxVolumeBoxes.size()); ++i)
    add(MaxVolumeBoxRect(kMaxVolumeBoxes[i]), "maximum box", i);
  EXPECT_EQ(controls, 17 + 14 + 8 + 8 + 2);
}

}  // namespace
}  // namespace kdsp::app
