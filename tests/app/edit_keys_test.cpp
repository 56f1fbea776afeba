// SPDX-License-Identifier: GPL-3.0-or-later
// The undo and redo keys on real windows: a fader dragged, then Ctrl+Z and Ctrl+Shift+Z (and
// Ctrl+Y) pressed in the main window and in a page, reach the simulated processor as the old and
// the new value. Run on the offscreen platform and, through xvfb-run, on a real X server, where
// the window system decides which window is active and receives the keys.
#include <gtest/gtest.h>

#include <QTest>

#include "pages/effect_page.h"
#include "support/program_session.h"

namespace kdsp::app {
namespace {

using testing::Centre;

class EditKeysTest : public ::testing::Test, protected testing::ProgramSession {
 protected:
  EditKeysTest() {
    start();
    main().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&main()));
    activate(main());
    settle();
  }
  static void activate(QWidget& window) {
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  // What the processor holds of the Main Music fader's level.
  int processorLevel() { return remote().mix[settings::kMain][settings::kMusic] & 0x7F; }
  void press(QWidget& window, QKeyCombination keys) {
    QTest::keyClick(&window, keys.key(), keys.keyboardModifiers());
    settle();
  }
};

TEST_F(EditKeysTest, AFaderDragThenUndoAndRedoKeysReachTheProcessor) {
  const int before = processorLevel();
  const QPoint from = Centre(main().fader(0).rect);
  QTest::mousePress(&main(), Qt::LeftButton, {}, from);
  for (int dy = 5; dy <= 50; dy += 5) QTest::mouseMove(&main(), from + QPoint(0, dy));
  QTest::mouseRelease(&main(), Qt::LeftButton, {}, from + QPoint(0, 50));
  settle();
  const int after = processorLevel();
  ASSERT_NE(after, before);
  EXPECT_EQ(main().fader(0).value, after);

  press(main(), Qt::CTRL | Qt::Key_Z);
  EXPECT_EQ(processorLevel(), before);
  EXPECT_EQ(main().fader(0).value, before);
  press(main(), Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
  EXPECT_EQ(processorLevel(), after);
  EXPECT_EQ(main().fader(0).value, after);

  // The keys work in every window of the program.
  pages::EffectPage& page = program->page(settings::PageId::kMicEqualizer);
  page.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&page));
  activate(page);
  press(page, Qt::CTRL | Qt::Key_Z);
  EXPECT_EQ(processorLevel(), before);
  press(page, Qt::CTRL | Qt::Key_Y);
  EXPECT_EQ(processorLevel(), after);
  EXPECT_EQ(main().fader(0).value, after);
}

}  // namespace
}  // namespace kdsp::app
