// SPDX-License-Identifier: GPL-3.0-or-later
// The standard Qt windows of the program under its dark theme, on the offscreen platform: every
// one of them (system control panel, the three dialogs, the Presets menu, message, question,
// input and file boxes, the progress bar) grabbed and checked for large light areas; the system
// control panel's rows and labels, and the boxes it opens belonging to it; where pages and
// dialogs open the first time, and that they open in front.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/argument_actions.h"
#include "app/command_line.h"
#include "app/program.h"
#include "app/qt_user_dialogs.h"
#include "app/system_control_panel.h"
#include "app/window_placement.h"
#include "device/virtual_hid_platform.h"
#include "pages/effect_page.h"
#include "pages/pink_noise_dialog.h"
#include "pages/recording_mix_dialog.h"
#include "pages/reverb_dialog.h"
#include "skin/dark_theme.h"
#include "skin/main_window_layout.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

// The theme goes on before the first window, as the program's start puts it.
class ThemeEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { skin::ApplyDarkTheme(); }
};
[[maybe_unused]] const auto* const kTheme =
    ::testing::AddGlobalTestEnvironment(new ThemeEnvironment);

// A pixel a light default window would paint (light grey and white faces); the silk-screen
// text is as light, but never fills a tile.
constexpr int kLightLightness = 170;
// A light field or button fills more than half of a tile; an icon or a line of text does not.
constexpr int kTile = 32;

// The share of light pixels in the lightest 32 x 32 tile of the picture.
double LightestTileShare(const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  double lightest = 0;
  for (int ty = 0; ty + kTile <= image.height(); ty += kTile / 4) {
    for (int tx = 0; tx + kTile <= image.width(); tx += kTile / 4) {
      int light = 0;
      for (int y = ty; y < ty + kTile; ++y)
        for (int x = tx; x < tx + kTile; ++x)
          if (QColor(image.pixel(x, y)).lightness() >= kLightLightness) ++light;
      lightest = std::max(lightest, static_cast<double>(light) / (kTile * kTile));
    }
  }
  return lightest;
}

void ExpectDark(QWidget& window, const char* what) {
  const QImage grabbed = window.grab().toImage();
  ASSERT_GT(grabbed.width(), kTile) << what;
  EXPECT_LT(LightestTileShare(grabbed), 0.5) << what << " has a light area";
}

// Runs open(), which shows a modal box and waits in it; look(box) sees the box once it is up,
// and the box is then dismissed.
void WhileModal(const std::function<void()>& open, const std::function<void(QWidget&)>& look) {
  bool looked = false;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    look(*box);
    looked = true;
    if (auto* dialog = qobject_cast<QDialog*>(box)) dialog->reject();
  });
  open();
  EXPECT_TRUE(looked);
}

class StandardWindowsTest : public ::testing::Test {
 protected:
  // No processor: its sync question would stand over everything else.
  StandardWindowsTest() {
    dialogs.setParent(&program.mainWindow());
    program.mainWindow().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&program.mainWindow()));
  }

  testing::TempDir temp;
  device::VirtualHidPlatform platform;
  QtUserDialogs dialogs;
  Program program{platform, dialogs, temp / "kdsp.ini", false};
};

TEST_F(StandardWindowsTest, EveryStandardWindowIsDark) {
  EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
  TForm11& panel = program.systemPanel();
  panel.ProgressBar1->setValue(4);  // the bar's chunk as a transfer shows it
  WhileModal([&] { panel.showFromMainWindow(); }, [&](QWidget& box) { ExpectDark(box, "panel"); });
  panel.ProgressBar1->setValue(-1);

  const std::pair<QWidget*, const char*> dialogWindows[] = {
      {&program.reverb(), "reverb"},
      {&program.recordingMix(), "recording-mix"},
      {&program.pinkNoise(), "pink-noise"},
  };
  for (const auto& [window, what] : dialogWindows) {
    ShowInFront(*window);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window)) << what;
    ExpectDark(*window, what);
    window->hide();
  }

  PresetMenu& menu = program.menu();
  menu.popup(program.mainWindow().mapToGlobal(QPoint(100, 100)));
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&menu));
  ExpectDark(menu, "presets-menu");
  menu.hide();

  const std::pair<std::function<void()>, const char*> boxes[] = {
      {[&] { dialogs.showMessage("Download Done!"); }, "message"},
      {[&] { dialogs.askYesNo("Sync", "Sync with connecting device?"); }, "question"},
      {[&] { dialogs.askText("Processor", "Please Input Password", "0"); }, "input"},
      {[&] { dialogs.openFile("Audio Setting(*.aex)|*.aex|All Files(*.*)|*.*"); }, "open-file"},
      {[&] { dialogs.saveFile("Audio Setting(*.set)|*.set", "aex"); }, "save-file"},
      {[&] { dialogs.chooseFolder("Please select a foler to save all setting"); }, "folder"},
  };
  for (const auto& [open, what] : boxes)
    WhileModal(open, [&](QWidget& box) { ExpectDark(box, what); });
}

TEST_F(StandardWindowsTest, SystemPanelShowsAllNineSlotsAndWholeCaptions) {
  TForm11& panel = program.systemPanel();
  WhileModal(
      [&] { panel.showFromMainWindow(); },
      [&](QWidget&) {
        QTableWidget& list = *panel.ListView1;
        ASSERT_EQ(list.rowCount(), 9);
        EXPECT_EQ(list.verticalScrollBar()->maximum(), 0);
        for (int row = 0; row < list.rowCount(); ++row)
          EXPECT_TRUE(list.viewport()->rect().contains(list.visualItemRect(list.item(row, 1))))
              << "row " << row;
        for (const auto& [label, edit] :
             {std::pair{panel.Label1, panel.Edit1}, std::pair{panel.Label2, panel.Edit2}}) {
          EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
          EXPECT_FALSE(label->geometry().intersects(edit->geometry()))
              << label->text().toStdString();
          EXPECT_TRUE(panel.rect().contains(edit->geometry()));
        }
        for (QPushButton* button : panel.findChildren<QPushButton*>())
          EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
      });
}

TEST_F(StandardWindowsTest, BoxesOpenedFromTheSystemPanelBelongToIt) {
  TForm11& panel = program.systemPanel();
  EXPECT_EQ(panel.parentWidget(), &program.mainWindow());
  struct Case {
    void (TForm11::*click)();
    const char* what;
  };
  const Case cases[] = {
      {&TForm11::Button3Click, "no selection message"},
      {&TForm11::Button1Click, "group file dialog"},
      {&TForm11::Button7Click, "password box"},
  };
  for (const Case& c : cases) {
    WhileModal([&] { panel.showFromMainWindow(); },
               [&](QWidget&) {
                 WhileModal([&] { (panel.*c.click)(); },
                            [&](QWidget& box) {
                              EXPECT_EQ(box.parentWidget(), &panel) << c.what;
                              EXPECT_TRUE(box.isModal()) << c.what;
                            });
               });
  }
  // Without a modal window the boxes belong to the main window.
  WhileModal([&] { dialogs.showMessage("Finish!"); },
             [&](QWidget& box) { EXPECT_EQ(box.parentWidget(), &program.mainWindow()); });
}

TEST(FirstPlacement, CentredOnTheScreenUnlessThatHidesThePresetsButtonOrTheLinkLamp) {
  // The Presets button and the LINK lamp span x 875..932 and y 121..258 of the main window.
  struct Case {
    const char* what;
    QRect mainWindow;
    QRect screen;
    QSize size;
    QPoint expected;
  };
  const Case cases[] = {
      {"a page over a centred main window goes left of them",
       {460, 240, 999, 600},
       {0, 0, 1920, 1080},
       {999, 600},
       {328, 240}},
      {"the wider Subwoofer page too",
       {460, 240, 999, 600},
       {0, 0, 1920, 1080},
       {1055, 600},
       {272, 240}},
      {"a small dialog clear of them stays centred",
       {460, 240, 999, 600},
       {0, 0, 1920, 1080},
       {400, 300},
       {760, 390}},
      {"the panel on a small screen moves just left of them",
       {0, 0, 999, 600},
       {0, 0, 1280, 720},
       {595, 382},
       {272, 169}},
      {"no room anywhere: centred", {0, 0, 999, 600}, {0, 0, 1280, 720}, {999, 600}, {140, 60}},
      {"on a second screen", {2380, 240, 999, 600}, {1920, 0, 1920, 1080}, {999, 600}, {2248, 240}},
      {"larger than the screen: its corner on it",
       {0, 0, 999, 600},
       {0, 0, 800, 600},
       {999, 600},
       {0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FirstPlacement(c.mainWindow, c.screen, c.size), c.expected) << c.what;
}

TEST_F(StandardWindowsTest, PagesOpenWhereFirstPlacementSaysInFrontAndThenKeepTheirPlace) {
  TForm1& main = program.mainWindow();
  const skin::LayoutRect button =
      skin::main_layout::PageButtonRect(skin::main_layout::kPageButtons[5]);
  pages::EffectPage& page = program.page(skin::main_layout::kPageButtons[5].page);
  QTest::mouseClick(&main, Qt::LeftButton, {},
                    QPoint(button.x + button.w / 2, button.y + button.h / 2));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  EXPECT_EQ(page.pos(), FirstPlacement(main.frameGeometry(), main.screen()->availableGeometry(),
                                       page.frameGeometry().size()));
  EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
  const QPoint userPlace = page.pos() + QPoint(37, 21);
  page.move(userPlace);
  page.hide();
  QTest::mouseClick(&main, Qt::LeftButton, {},
                    QPoint(button.x + button.w / 2, button.y + button.h / 2));
  EXPECT_EQ(page.pos(), userPlace);
}

TEST_F(StandardWindowsTest, ThePageOfTheCommandLineOpensInFront) {
  CommandLine line;
  line.page = "echo";
  ActOnStartArguments(program, line);
  pages::EffectPage& page = program.page(settings::PageId::kEcho);
  EXPECT_TRUE(page.isVisible());
  EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
}

}  // namespace
}  // namespace kdsp::app
