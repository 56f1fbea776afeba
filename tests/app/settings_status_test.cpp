// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's settings status on the offscreen platform: the live side's tab lit, the
// origin cut to the section's width, "Modified" beneath it, only the section repainted when the
// status changes, and a click on a tab asking for its side.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/settings_status_view.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "skin/main_window_layout.h"
#include "skin/skin_colours.h"
#include "support/scripted_dialogs.h"

namespace kdsp::app {
namespace {

using namespace skin::main_layout;

QRect ToQRect(const skin::LayoutRect& r) {
  return QRect(r.x, r.y, r.w, r.h);
}

// The inside of a tab's lamp, clear of the tab's rounded corners and its letter.
QRect LampOf(int side) {
  const QRect tab = ToQRect(kSettingsSideTabs[side]);
  return QRect(tab.x() + 10, tab.y() + 3, tab.width() - 20, 6);
}

// The smallest rectangle holding every pixel in which the two pictures differ.
QRect Difference(const QImage& a, const QImage& b) {
  QRect changed;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) changed |= QRect(x, y, 1, 1);
  return changed;
}

class SettingsStatusTest : public ::testing::Test {
 protected:
  SettingsStatusTest() {
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    settle();
  }

  static void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }
  QImage shown(int side) const { return window.frame().copy(LampOf(side)); }
  QImage after(const SettingsStatus& status) {
    window.showSettingsStatus(status);
    settle();
    return window.frame();
  }
  void click(QPoint at) { QTest::mouseClick(&window, Qt::LeftButton, {}, at); }

  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  testing::ScriptedDialogs dialogs;
  settings::ParameterBlock working{};
  TForm1 window{controller, working, dialogs};
};

TEST_F(SettingsStatusTest, TheLiveSidesTabIsLitAndOnlyTheSectionRepaints) {
  ASSERT_EQ(window.frame().devicePixelRatio(), 1.0);
  EXPECT_EQ(window.settingsStatus(), SettingsStatus{});
  const QImage litA = shown(0);
  const QImage unlitB = shown(1);
  EXPECT_NE(litA, unlitB);

  after({1, "Slot 3", false});
  // The lamps changed places.
  EXPECT_EQ(shown(1), litA);
  EXPECT_EQ(shown(0), unlitB);
  const QRect painted = window.lastPaintedRegion().boundingRect();
  EXPECT_FALSE(painted.isEmpty());
  EXPECT_TRUE(ToQRect(FrameOf(MainSection::kSettings).frame).contains(painted)) << painted.x();
  EXPECT_EQ(window.frame(), window.render());

  // The same status again repaints nothing.
  const QImage before = window.frame();
  after({1, "Slot 3", false});
  EXPECT_EQ(window.frame(), before);
}

TEST_F(SettingsStatusTest, TheOriginAndModifiedStayOnTheirLines) {
  const QImage empty = after({0, "", false});
  const QImage factory = after({0, "Factory", false});
  const QRect origin = Difference(empty, factory);
  EXPECT_FALSE(origin.isEmpty());
  EXPECT_TRUE(ToQRect(kSettingsOriginRect).contains(origin));

  // A name far wider than the section is cut with an ellipsis and stays on its line.
  const SettingsStatus longName{0, std::string(60, 'W') + ".aex", false};
  EXPECT_TRUE(ShownOrigin(longName, window.skinFonts()).endsWith(QChar(0x2026)));
  EXPECT_LE(QFontMetrics(window.skinFonts().fontValue)
                .horizontalAdvance(ShownOrigin(longName, window.skinFonts())),
            kSettingsOriginRect.w);
  const QRect cut = Difference(empty, after(longName));
  EXPECT_TRUE(ToQRect(kSettingsOriginRect).contains(cut));
  EXPECT_GT(cut.width(), origin.width());

  const QRect modified = Difference(factory, after({0, "Factory", true}));
  EXPECT_FALSE(modified.isEmpty());
  EXPECT_TRUE(ToQRect(kSettingsModifiedRect).contains(modified));
  // Modified is written in the warning lamp's amber: its strokes' cores come close to it, where
  // the antialiased edges blend into the display.
  const QColor lamp = skin::colour::kLitAmber;
  int closest = 3 * 255;
  const QImage frame = window.frame();
  for (int y = modified.top(); y <= modified.bottom(); ++y) {
    for (int x = modified.left(); x <= modified.right(); ++x) {
      const QColor c = frame.pixelColor(x, y);
      closest =
          std::min(closest, std::abs(c.red() - lamp.red()) + std::abs(c.green() - lamp.green()) +
                                std::abs(c.blue() - lamp.blue()));
    }
  }
  EXPECT_LT(closest, 60);
}

TEST_F(SettingsStatusTest, AClickOnATabAsksForItsSide) {
  std::vector<int> asked;
  window.setSideClickHandler([&](int side) { asked.push_back(side); });
  const QPoint a = ToQRect(kSettingsSideTabs[0]).center();
  const QPoint b = ToQRect(kSettingsSideTabs[1]).center();
  click(b);
  click(a);
  // Pressed on one tab and released on the other, or with another button: no click.
  QTest::mousePress(&window, Qt::LeftButton, {}, b);
  QTest::mouseRelease(&window, Qt::LeftButton, {}, a);
  QTest::mouseClick(&window, Qt::RightButton, {}, b);
  // Between the tabs is the panel.
  click(QPoint(kSettingsSideTabs[0].right() + 2, b.y()));
  EXPECT_EQ(asked, (std::vector<int>{1, 0}));
  // Asking changes nothing by itself: the owner shows the new status.
  EXPECT_EQ(window.settingsStatus().liveSide, 0);
}

}  // namespace
}  // namespace kdsp::app
