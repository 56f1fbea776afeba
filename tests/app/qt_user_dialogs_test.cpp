// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the program's own question box under the offscreen platform: asked without waiting,
// it comes back at once and hands its answer on exactly once, and never after it is gone.
#include "app/qt_user_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "device/event_loop_wait.h"

namespace kdsp::app {
namespace {

QMessageBox* OpenQuestion() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) return box;
  return nullptr;
}

TEST(QtUserDialogsTest, AQuestionAskedWithoutWaitingComesBackAtOnceAndAnswersOnce) {
  struct Case {
    const char* what;
    std::function<void(QMessageBox&)> answer;
    bool yes;
  };
  const Case cases[] = {
      {"Yes clicked",
       [](QMessageBox& box) { QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton); },
       true},
      {"No clicked",
       [](QMessageBox& box) { QTest::mouseClick(box.button(QMessageBox::No), Qt::LeftButton); },
       false},
      {"Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QtUserDialogs dialogs;
    std::vector<bool> answers;
    dialogs.askYesNoAsync("Sync", "Sync with connecting device?",
                          [&](bool yes) { answers.push_back(yes); });
    // Back with the question on screen and unanswered.
    EXPECT_TRUE(answers.empty());
    QPointer<QMessageBox> box = OpenQuestion();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Sync");
    EXPECT_EQ(box->text(), "Sync with connecting device?");
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_TRUE(box->isModal());
    // Timers run while it is open.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(1);
    EXPECT_TRUE(device::WaitUntil([&] { return ticks >= 3; }, std::chrono::seconds(5)));
    EXPECT_TRUE(answers.empty());

    c.answer(*box);
    EXPECT_EQ(answers, std::vector<bool>{c.yes});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull());
    device::WaitMs(20);
    EXPECT_EQ(answers.size(), 1u);
  }
}

TEST(QtUserDialogsTest, AQuestionStillOpenWhenTheDialogsGoIsClosedUnanswered) {
  int answers = 0;
  QPointer<QMessageBox> box;
  {
    QtUserDialogs dialogs;
    dialogs.askYesNoAsync("Sync", "Sync with connecting device?", [&](bool) { ++answers; });
    box = OpenQuestion();
    ASSERT_NE(box, nullptr);
  }
  EXPECT_TRUE(box.isNull());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(answers, 0);
}

TEST(QtUserDialogsTest, AQuestionOverAWindowGoesWithTheWindowUnanswered) {
  QtUserDialogs dialogs;
  auto window = std::make_unique<QWidget>();
  window->show();
  dialogs.setParent(window.get());
  int answers = 0;
  dialogs.askYesNoAsync("Sync", "Sync with connecting device?", [&](bool) { ++answers; });
  QPointer<QMessageBox> box = OpenQuestion();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->parentWidget(), window.get());
  window.reset();
  EXPECT_TRUE(box.isNull());
  EXPECT_EQ(answers, 0);
  // A later question still works.
  dialogs.askYesNoAsync("Sync", "Sync with connecting device?", [&](bool) { ++answers; });
  ASSERT_NE(OpenQuestion(), nullptr);
  QTest::keyClick(OpenQuestion(), Qt::Key_Escape);
  EXPECT_EQ(answers, 1);
}

}  // namespace
}  // namespace kdsp::app
