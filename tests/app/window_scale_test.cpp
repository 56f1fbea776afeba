// SPDX-License-Identifier: GPL-3.0-or-later
// The program's skinned windows on a screen of ratio 1 and one of ratio 2: at 2 every window is
// painted with twice the pixels over the same layout, with its fine print one device pixel wide;
// a window moved between the screens repaints at the new scale; and however a window is edited,
// the frames it builds by repainting only what changed show what one whole repaint shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/qt_user_dialogs.h"
#include "device/virtual_hid_platform.h"
#include "page_print_layout.h"
#include "pages/effect_page.h"
#include "skin/page_layouts.h"
#include "support/picture_compare.h"
#include "support/scaled_screens.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

using skin::PanelWindow;
using testing::MoveToScreenOfRatio;

class WindowScaleTest : public ::testing::Test {
 protected:
  WindowScaleTest() { dialogs.setParent(&program.mainWindow()); }

  // Every skinned window: the main window, then the pages in slot order.
  std::vector<std::pair<PanelWindow*, std::string>> windows() {
    std::vector<std::pair<PanelWindow*, std::string>> all = {{&program.mainWindow(), "main"}};
    for (int slot = 0; slot < settings::kPageCount; ++slot) {
      const auto id = static_cast<settings::PageId>(slot);
      all.emplace_back(&program.page(id), std::string(settings::Page(id).form));
    }
    return all;
  }

  // Shows a window on the screen of a ratio and lets every pending repaint happen.
  void showAt(PanelWindow& window, qreal ratio) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(MoveToScreenOfRatio(window, ratio)) << ratio;
    settle();
  }

  static void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }

  kdsp::testing::TempDir temp;
  device::VirtualHidPlatform platform;
  QtUserDialogs dialogs;
  Program program{platform, dialogs, temp / "kdsp.ini", false};
};

// Type, antialiasing and the 1x picture's rounding of fine lines to whole pixels differ between
// the scales; the layout may not. The 2x window reduced to 1x stays close to the 1x one, and
// closer than to the 1x window moved by one pixel any way, which a layout one pixel off would not.
TEST_F(WindowScaleTest, EveryWindowAtTwiceIsTwiceTheSizeOverTheSameLayout) {
  constexpr int kOffsets[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (auto& [window, name] : windows()) {
    SCOPED_TRACE(name);
    showAt(*window, 1);
    const QImage coarse = window->render();
    showAt(*window, 2);
    const QImage fine = window->render();
    window->hide();
    ASSERT_EQ(coarse.size(), window->size());
    ASSERT_EQ(fine.size(), window->size() * 2);
    EXPECT_EQ(fine.devicePixelRatio(), 2.0);
    const QImage reduced = testing::Reduced(fine);
    const double difference = testing::MeanDifference(reduced, coarse);
    EXPECT_LT(difference, 8.0);
    for (const auto& [dx, dy] : kOffsets)
      EXPECT_LT(difference, testing::MeanDifference(reduced, coarse, dx, dy)) << dx << "," << dy;
  }
  // The windows of 999 x 600 come out at 1998 x 1200.
  showAt(program.mainWindow(), 2);
  EXPECT_EQ(program.mainWindow().render().size(), QSize(1998, 1200));
}

// A minor tick of a page fader's scale, left of its slot where no numbers are printed: one pixel
// high on the standard screen and one device pixel high on the sharp one, where the 1x picture
// enlarged would make it two.
TEST_F(WindowScaleTest, AScaleMarkIsOneDevicePixelHighOnEveryScreen) {
  const auto id = settings::PageId::kMainOutput;
  const skin::page_layout::PageLayout& layout = skin::page_layout::LayoutOf(id);
  ASSERT_FALSE(layout.faders.empty());
  ASSERT_EQ(skingen::LabelSide(layout, 0), skingen::Side::kRight);
  const skingen::FaderGeometry geometry = skingen::Geometry(layout, layout.faders[0]);
  std::optional<skingen::ScaleMark> minor;
  for (const skingen::ScaleMark& m : skingen::FaderMarks(layout.faders[0]))
    if (!m.major && m.label.isEmpty()) minor = m;
  ASSERT_TRUE(minor.has_value());
  // The tick runs from 5 to 2 pixels left of the slot; its middle pixel is sampled.
  const int x = geometry.rect.x() - 4;
  const int y = static_cast<int>(std::floor(skingen::MarkY(geometry, minor->value)));
  pages::EffectPage& page = program.page(id);
  for (const int ratio : {1, 2}) {
    SCOPED_TRACE(ratio);
    showAt(page, ratio);
    const QImage image = page.frame();
    ASSERT_EQ(image.devicePixelRatio(), ratio);
    EXPECT_EQ(testing::LitRows(image, x * ratio + ratio / 2, (y - 2) * ratio, (y + 3) * ratio - 1),
              1);
  }
}

// A program started on a sharp screen decodes the 2x pictures of what it shows and nothing else:
// no 1x picture, no picture of a page not yet opened.
TEST_F(WindowScaleTest, OnlyThePicturesAWindowDrawsAreDecodedAtItsScreensRatio) {
  TForm1& main = program.mainWindow();
  QScreen* sharp = testing::ScreenOfRatio(2);
  ASSERT_NE(sharp, nullptr);
  main.move(sharp->geometry().topLeft() + QPoint(40, 40));
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  settle();
  ASSERT_EQ(main.paintedRatio(), 2.0);
  const skin::SkinImages& images = main.skinImages();
  for (const skin::SkinSlot slot :
       {skin::SkinSlot::kMainBackground, skin::SkinSlot::kLogo, skin::SkinSlot::kThumbNormal}) {
    EXPECT_EQ(images[slot].decodedCount(), 1) << static_cast<int>(slot);
    images[slot].forRatio(2.0);  // already there: nothing more is decoded
    EXPECT_EQ(images[slot].decodedCount(), 1) << static_cast<int>(slot);
  }
  for (int page = 0; page < skin::kPageBackgroundCount; ++page)
    EXPECT_EQ(images[skin::PageBackgroundSlot(page)].decodedCount(), 0) << page;
}

// Dragged from the standard screen to the sharp one and back, the window repaints whole at each
// new ratio, and what it shows is what a whole repaint at that ratio paints.
TEST_F(WindowScaleTest, AWindowMovedToAScreenOfAnotherScaleRepaintsAtThatScale) {
  TForm1& main = program.mainWindow();
  for (const qreal ratio : {1.0, 2.0, 1.0}) {
    SCOPED_TRACE(ratio);
    showAt(main, ratio);
    EXPECT_EQ(main.paintedRatio(), ratio);
    EXPECT_EQ(main.frame().devicePixelRatio(), ratio);
    EXPECT_EQ(main.frame().size(), main.size() * ratio);
    EXPECT_EQ(main.frame(), main.render());
  }
  // A hidden window keeps no pictures of itself.
  main.hide();
  EXPECT_EQ(main.paintedRatio(), 0.0);
  EXPECT_TRUE(main.frame().isNull());
}

// The Mic Equalizer page edited through real input events, one step after another. After each
// step the page has repainted only what the step changed, and the frame it has built that way is
// exactly the picture one whole repaint paints.
TEST_F(WindowScaleTest, RepaintingWhatChangedShowsWhatAWholeRepaintShows) {
  pages::EffectPage& page = program.page(settings::PageId::kMicEqualizer);
  const auto centre = [](const skin::Rect& r) { return QPoint(r.x + r.w / 2, r.y + r.h / 2); };
  const auto press = [&](QPoint at) { QTest::mousePress(&page, Qt::LeftButton, {}, at); };
  const auto release = [&](QPoint at) { QTest::mouseRelease(&page, Qt::LeftButton, {}, at); };
  const auto click = [&](QPoint at) { QTest::mouseClick(&page, Qt::LeftButton, {}, at); };
  const auto drag = [&](QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, page.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&page, &move);
  };
  const auto wheel = [&](QPoint at, int notches) {
    QWheelEvent turn(at, page.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&page, &turn);
  };
  const auto handle = [&](int band) {
    const display::ResponseChart& chart = page.chart();
    return QPoint(chart.bounds.x + chart.bandHandles[band].x,
                  chart.bounds.y + chart.bandHandles[band].y);
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    bool small;  // changes a control or two, not the chart
  };
  const std::vector<Step> steps = {
      {"a strip's gain fader wheeled", [&] { wheel(centre(page.strip(2).fader.rect), 3); }, false},
      {"a knob wheeled", [&] { wheel(centre(page.knob(0).rect), -1); }, false},
      {"a gain typed into a box",
       [&] {
         click(centre(page.strip(4).fader.valueBox.rect));
         QTest::keyClicks(&page, "-6");
         QTest::keyClick(&page, Qt::Key_Return);
       },
       false},
      {"a band's shelf button clicked", [&] { click(centre(page.strip(0).typeButtons[2].rect)); },
       false},
      {"a band switched off", [&] { click(centre(page.strip(7).passButton.rect)); }, false},
      {"a handle dragged up",
       [&] {
         const QPoint at = handle(9);
         press(at);
         drag(at + QPoint(6, -40));
         drag(at + QPoint(12, -55));
         release(at + QPoint(12, -55));
       },
       false},
      {"a compressor fader wheeled", [&] { wheel(centre(page.fader(0).rect), -2); }, true},
      {"the background pressed", [&] { click(QPoint(500, 4)); }, true},
  };
  for (const qreal ratio : {1.0, 2.0}) {
    SCOPED_TRACE(ratio);
    showAt(page, ratio);
    for (const Step& step : steps) {
      SCOPED_TRACE(step.what);
      const QImage before = page.frame();
      step.act();
      settle();
      EXPECT_NE(page.frame(), before);
      EXPECT_EQ(page.frame(), page.render());
      const QRect painted = page.lastPaintedRegion().boundingRect();
      if (step.small) {
        EXPECT_LT(painted.width() * painted.height(), page.width() * page.height() / 10);
      }
      EXPECT_NE(painted, page.rect());
    }
    page.hide();
  }
}

}  // namespace
}  // namespace kdsp::app
