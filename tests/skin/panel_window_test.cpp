// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of panel window behaviour with real windows on the offscreen platform: real mouse,
// wheel and key events reach the controls in their fixed order, a drag on the background moves
// the window and a tap does not, pages keep their open flag, a refused entry flashes, and the
// window paints through one off-screen picture.
#include "skin/panel_window.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "core/page_open_flags.h"
#include "settings/parameter_block.h"
#include "skin/commit_int_range.h"
#include "skin/control_list.h"

namespace kdsp::skin {
namespace {

QImage Solid(int w, int h, QColor color) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(color);
  return image;
}

void FormatPlain(std::int32_t value, BoxText& text) {
  SetBoxText(text, std::to_string(value));
}

// The pictures come first: the window takes its size from the background.
struct TestImages {
  SkinPicture backgroundImage{Solid(500, 300, QColor(40, 40, 44))};
  SkinPicture buttonImage{Solid(25, 23, Qt::gray)};
  SkinPicture thumbImage{Solid(20, 40, QColor(250, 0, 0))};
  SkinPicture knobImage{Solid(32, 32, Qt::lightGray)};
};

// One control of each kind on a plain background, with a log of what reached them.
class TestPanel : private TestImages, public PanelWindow {
 public:
  TestPanel() : PanelWindow(&backgroundImage) {
    close.rect = {460, 8, 25, 23};
    close.imageOn = close.imageOff = &buttonImage;
    close.state = 1;
    close.clickHandler = [](ImgButton&, void* self) { static_cast<TestPanel*>(self)->hide(); };
    close.userData = this;

    roller.rect = {100, 60, 20, 175};
    roller.imageOn = roller.imageOff = &thumbImage;
    roller.setRange(0, 60);
    roller.value = 30;
    roller.formatter = FormatPlain;
    roller.valueBox.rect = {93, 40, 32, 18};
    roller.valueBox.maxChars = 2;
    roller.valueBox.userDataB = &roller;
    roller.valueBox.commitB = CommitIntRange;
    roller.refreshText();

    knob.rect = {200, 80, 32, 32};
    knob.imageNormal = knob.imageActive = &knobImage;
    knob.min = 0;
    knob.max = 4;

    for (int i = 0; i < 2; ++i) {
      boxes[i].rect = {300 + 50 * i, 100, 38, 20};
      boxes[i].maxChars = 5;
      boxes[i].commitB = [](void* log, BoxText& text) {
        static_cast<std::vector<std::string>*>(log)->emplace_back(BoxTextView(text));
        return true;
      };
      boxes[i].userDataB = &commits;
    }
    strip.bind(&band);
    strip.fader.rect = {400, 100, 20, 166};
    strip.fader.imageOn = strip.fader.imageOff = &thumbImage;
    strip.refresh();

    controls().addCloseButton(close).add(roller).add(knob).add(boxes).add(strip);
    paintOrder().add(close).add(roller).add(knob).add(boxes).add(strip);
  }

  void startWindowMove(QPoint press) override {
    ++moves;
    if (realMoves) PanelWindow::startWindowMove(press);
  }
  void FormPaint(QPainter& painter) override { paintOrder().draw(painter); }

  ImgButton close;
  ImgRoller roller;
  ImgKnob knob;
  ImgEdit boxes[2];
  ImgEqBand strip;
  settings::EqBand band{0, 203, 9, 0, 1, 0};
  std::vector<std::string> commits;
  int moves = 0;
  bool realMoves = false;
};

class PanelWindowTest : public ::testing::Test {
 protected:
  PanelWindowTest() {
    panel.setOpenFlag(&flags.open[3]);
    panel.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&panel));
  }
  void wheel(QPoint at, int delta) {
    QWheelEvent event(at, panel.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&panel, &event);
  }

  core::PageOpenFlags flags;
  TestPanel panel;
};

TEST_F(PanelWindowTest, SizedToItsBackgroundAndFramelessWithItsOpenFlag) {
  EXPECT_EQ(panel.size(), QSize(500, 300));
  EXPECT_TRUE(panel.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(flags.open[3], 1);
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(470, 15));  // the close button
  EXPECT_FALSE(panel.isVisible());
  EXPECT_EQ(flags.open[3], 0);
  panel.show();
  EXPECT_EQ(flags.open[3], 1);
}

TEST_F(PanelWindowTest, EveryPressIsOfferedToEveryControlInOrder) {
  // Two pending entries: one press anywhere commits both, in list order.
  panel.boxes[0].setText("11");
  panel.boxes[0].dirty = 1;
  panel.boxes[1].setText("22");
  panel.boxes[1].dirty = 1;
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(110, 150));  // on the fader
  EXPECT_EQ(panel.commits, (std::vector<std::string>{"11", "22"}));
  EXPECT_EQ(panel.roller.active, 1);
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(215, 95));  // on the knob
  EXPECT_EQ(panel.roller.active, 0);
  EXPECT_EQ(panel.knob.active, 1);
  EXPECT_EQ(panel.moves, 0);
}

TEST_F(PanelWindowTest, LeftDragOnTheBackgroundMovesTheWindowRightDragDoesNot) {
  QTest::mousePress(&panel, Qt::RightButton, {}, QPoint(20, 280));
  QTest::mouseMove(&panel, QPoint(60, 250));
  QTest::mouseRelease(&panel, Qt::RightButton, {}, QPoint(60, 250));
  EXPECT_EQ(panel.moves, 0);
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(20, 280));
  QTest::mouseMove(&panel, QPoint(60, 250));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(60, 250));
  EXPECT_EQ(panel.moves, 1);
}

// A touchpad tap: press and release at once, with no move between them.
TEST_F(PanelWindowTest, ATapOnTheBackgroundNeverGluesTheWindowToThePointer) {
  panel.realMoves = true;
  const QPoint start = panel.pos();
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(20, 280));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(20, 280));
  EXPECT_EQ(panel.moves, 0);
  QTest::mouseMove(&panel, QPoint(200, 20));  // the pointer wanders off, no button held
  EXPECT_EQ(panel.pos(), start);
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(215, 95));  // the next click counts
  EXPECT_EQ(panel.knob.active, 1);
  EXPECT_EQ(panel.pos(), start);
}

TEST_F(PanelWindowTest, AJitterBelowTheDragDistanceIsStillATap) {
  panel.realMoves = true;
  const QPoint start = panel.pos();
  const int nudge = QApplication::startDragDistance() / 2;
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(20, 280));
  QTest::mouseMove(&panel, QPoint(20 + nudge, 280));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(20 + nudge, 280));
  QTest::mouseMove(&panel, QPoint(120, 200));
  EXPECT_EQ(panel.moves, 0);
  EXPECT_EQ(panel.pos(), start);
}

TEST_F(PanelWindowTest, EveryReleaseEndsTheMoveEvenAMissedOne) {
  panel.realMoves = true;
  const QPoint start = panel.pos();
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(20, 280));
  QTest::mouseMove(&panel, QPoint(50, 300));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(50, 300));
  const QPoint moved = panel.pos();
  EXPECT_EQ(moved - start, QPoint(30, 20));
  QTest::mouseMove(&panel, QPoint(90, 100));
  EXPECT_EQ(panel.pos(), moved);
  // A move that arrives without the button, its release lost on the way, ends the move too.
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(20, 280));
  QTest::mouseMove(&panel, QPoint(50, 280));
  const QPoint during = panel.pos();
  QMouseEvent lostRelease(QEvent::MouseMove, QPointF(70, 200), panel.mapToGlobal(QPointF(70, 200)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&panel, &lostRelease);
  QTest::mouseMove(&panel, QPoint(10, 10));
  EXPECT_EQ(panel.pos(), during);
  EXPECT_EQ(panel.moves, 2);
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(10, 10));  // QTest's own button state
}

TEST_F(PanelWindowTest, WithoutAWindowSystemMoveTheWindowFollowsThePointer) {
  panel.realMoves = true;  // the offscreen platform cannot move windows itself
  const QPoint start = panel.pos();
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(20, 280));
  QTest::mouseMove(&panel, QPoint(50, 300));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(50, 300));
  EXPECT_EQ(panel.pos() - start, QPoint(30, 20));
  EXPECT_EQ(panel.roller.value, 30);  // no control saw the move
}

TEST_F(PanelWindowTest, TypedEntryCommitsOnABackgroundPressThatCanGoOnToMoveTheWindow) {
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(310, 110));
  QTest::keyClicks(&panel, "123456");
  EXPECT_EQ(panel.boxes[0].textView(), "12345");  // maxChars 5
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(20, 280));
  EXPECT_EQ(panel.commits, (std::vector<std::string>{"12345"}));
  QTest::mouseMove(&panel, QPoint(60, 280));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(60, 280));
  EXPECT_EQ(panel.moves, 1);
}

TEST_F(PanelWindowTest, ARefusedEntryShowsTheValueInForceAndFlashesForAMoment) {
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(100, 48));  // the fader's box
  QTest::keyClicks(&panel, "75");
  EXPECT_FALSE(panel.refusalFlashRunning());
  QTest::keyClick(&panel, Qt::Key_Return);
  EXPECT_EQ(panel.roller.value, 30);
  EXPECT_EQ(panel.roller.valueBox.textView(), "30");
  EXPECT_EQ(panel.roller.valueBox.flashing, 1);
  EXPECT_TRUE(panel.refusalFlashRunning());
  EXPECT_EQ(PanelWindow::kRefusalFlashMs, 600);
  panel.endRefusalFlashes();  // what the timer does when it runs out
  EXPECT_EQ(panel.roller.valueBox.flashing, 0);
  EXPECT_FALSE(panel.refusalFlashRunning());
  // An accepted entry committed by a click elsewhere does not flash.
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(100, 48));
  QTest::keyClicks(&panel, "45");
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(215, 95));
  EXPECT_EQ(panel.roller.value, 45);
  EXPECT_EQ(panel.roller.valueBox.flashing, 0);
  EXPECT_FALSE(panel.refusalFlashRunning());
}

TEST_F(PanelWindowTest, WheelOverAnUnclickedFaderChangesItAndMakesItTheArrowKeyTarget) {
  wheel(QPoint(110, 150), 120);
  EXPECT_EQ(panel.roller.value, 31);
  EXPECT_EQ(panel.roller.active, 1);
  QTest::keyClick(&panel, Qt::Key_Up);
  QTest::keyClick(&panel, Qt::Key_Up);
  EXPECT_EQ(panel.roller.value, 33);
  EXPECT_EQ(panel.roller.valueBox.textView(), "33");
  wheel(QPoint(10, 10), 120);  // outside: focus goes
  QTest::keyClick(&panel, Qt::Key_Up);
  EXPECT_EQ(panel.roller.value, 33);
}

TEST_F(PanelWindowTest, DraggingTheFaderAndReleasingAnywhereEndsTheDrag) {
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(110, 200));
  QTest::mouseMove(&panel, QPoint(110, 200 - 175));
  EXPECT_EQ(panel.roller.value, 60);
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(480, 290));
  EXPECT_EQ(panel.roller.dragging, 0);
  QTest::mouseMove(&panel, QPoint(110, 250));
  EXPECT_EQ(panel.roller.value, 60);
}

TEST_F(PanelWindowTest, PaintsTheThumbWhereItsValuePutsIt) {
  panel.roller.value = 60;
  QImage top = panel.render();
  EXPECT_EQ(top.pixelColor(110, 61), QColor(250, 0, 0));
  EXPECT_EQ(top.pixelColor(110, 60 + 175 - 2), QColor(40, 40, 44));
  panel.roller.value = 0;
  QImage bottom = panel.render();
  EXPECT_EQ(bottom.pixelColor(110, 61), QColor(40, 40, 44));
  EXPECT_EQ(bottom.pixelColor(110, 60 + 175 - 2), QColor(250, 0, 0));
}

}  // namespace
}  // namespace kdsp::skin
