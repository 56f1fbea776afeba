// SPDX-License-Identifier: GPL-3.0-or-later
// The program's main window (offscreen) on the processor as a real HID device of the guest's
// kernel: found through libudev, greeted, sent an edit, lost on unplug and found again on
// re-plug through the hot-plug monitor; and a processor this user may not open.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "app/main_window.h"
#include "device/hid_device_controller.h"
#include "device/linux_hid_platform.h"
#include "guest/guest_device.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace kdsp::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kGreeting = 229;
constexpr int kMixChannel = 163;
constexpr std::string_view kSyncQuestion = "Sync with connecting device?";

ScriptedDialogs HoldingQuestions() {
  ScriptedDialogs dialogs;
  dialogs.holdQuestions = true;
  return dialogs;
}

// The main window with the real platform, as the program builds it. Its questions stay open
// until the test answers them.
struct ProgramOnThisMachine {
  ProgramOnThisMachine() {
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  const device::LinkState& link() { return window.link().state(); }
  long questionsAsked(std::string_view question) {
    return std::count(dialogs.questions.begin(), dialogs.questions.end(), question);
  }

  device::LinuxHidPlatform platform;
  device::HidDeviceController controller{platform};
  ScriptedDialogs dialogs = HoldingQuestions();
  settings::ParameterBlock working{};
  app::TForm1 window{controller, working, dialogs};
};

class ProgramUsbTest : public ::testing::TestWithParam<DeviceKind> {};

TEST_P(ProgramUsbTest, FindsGreetsSendsAnEditLosesAndFindsTheProcessorAgain) {
  GuestDevice processor(GetParam());
  ProgramOnThisMachine program;
  ASSERT_TRUE(program.platform.followsChanges()) << "no udev monitor";
  EXPECT_TRUE(program.link().connected);
  ASSERT_TRUE(processor.waitForRecords(kGreeting, 1));
  EXPECT_TRUE(device::WaitUntil([&] { return program.link().versionOk; }, kPlugLimit));
  EXPECT_EQ(program.questionsAsked(kSyncQuestion), 1);

  // Fader 0 dragged from 50 to 30 while the question is still open: the synchronisation tick
  // runs meanwhile, and one mix record carries the edit to the processor.
  skin::ImgRoller& fader = program.window.fader(0);
  const QPoint grip(fader.rect.x + 10, fader.rect.y + 100);
  QTest::mousePress(&program.window, Qt::LeftButton, {}, grip);
  QTest::mouseMove(&program.window, grip + QPoint(0, 70));
  QTest::mouseRelease(&program.window, Qt::LeftButton, {}, grip + QPoint(0, 70));
  ASSERT_TRUE(processor.waitForRecords(kMixChannel, 1));
  const auto records = processor.records();
  EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const std::string& r) {
    return r.starts_with("163 ") && r == "163 (A3) mix channel: 00 1E 32";
  })) << ::testing::PrintToString(records);
  program.dialogs.answerHeldQuestion(false);

  ASSERT_TRUE(processor.unplug());
  EXPECT_TRUE(device::WaitUntil([&] { return !program.link().connected; }, kPlugLimit))
      << "the program did not notice the unplug";

  ASSERT_TRUE(processor.plug());
  EXPECT_TRUE(device::WaitUntil([&] { return program.link().connected; }, kPlugLimit))
      << "the program did not find the processor again";
  EXPECT_TRUE(processor.waitForRecords(kGreeting, 2)) << "the processor was not greeted again";
  EXPECT_EQ(program.questionsAsked(kSyncQuestion), 2);
  program.dialogs.answerHeldQuestion(false);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProgramUsbTest,
                         ::testing::Values(DeviceKind::kUhid, DeviceKind::kUsb),
                         [](const auto& test) { return KindName(test.param); });

// Set for the copy of these checks that runs as a user without access to the processor.
constexpr const char* kAsAnotherUser = "KDSP_GUEST_CHECKS_AS_ANOTHER_USER";

// The processor's node may be opened by root only (a uhid device: no USB identity for the udev
// rule): the program, run as another user, shows the problem once, draws the link as present but
// not usable, and neither greets nor asks anything.
TEST(ProgramWithoutAccessTest, ShowsTheProblemAndNeitherGreetsNorAsks) {
  GuestDevice processor(DeviceKind::kUhid);
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  ChildProcess child({"/usr/bin/env", std::string(kAsAnotherUser) + "=1", "HOME=/tmp",
                      "XDG_RUNTIME_DIR=/tmp", "setpriv", "--reuid=65534", "--regid=65534",
                      "--clear-groups", self, "--gtest_filter=ProgramAsAnotherUserTest.*"});
  const int status = child.wait(std::chrono::minutes(2));
  std::string output;
  for (const std::string& line : child.lines()) output += line + "\n";
  EXPECT_EQ(status, 0) << output << child.errorOutput();
  // Ran, not skipped.
  EXPECT_NE(output.find("[       OK ] ProgramAsAnotherUserTest.SeesTheProcessorItMayNotOpen"),
            std::string::npos)
      << output;
  EXPECT_EQ(processor.records(), std::vector<std::string>{}) << "something reached the processor";
}

// Run by the check above, as a user without access.
TEST(ProgramAsAnotherUserTest, SeesTheProcessorItMayNotOpen) {
  if (std::getenv(kAsAnotherUser) == nullptr) GTEST_SKIP() << "started as another user only";
  ASSERT_NE(::geteuid(), 0u);
  ProgramOnThisMachine program;
  EXPECT_TRUE(program.link().processorWithoutAccess());
  EXPECT_FALSE(program.link().connected);
  EXPECT_EQ(&program.window.linkLamp(),
            &program.window.skinImages()[skin::SkinSlot::kLinkWithoutAccess]);
  EXPECT_NE(program.window.linkToolTip().toStdString().find("70-kdsp.rules"), std::string::npos);
  // A while of ticks: nothing is asked, the message comes once.
  device::WaitMs(1000);
  EXPECT_EQ(program.dialogs.questions, std::vector<std::string>{});
  ASSERT_EQ(program.dialogs.messages.size(), 1u);
  EXPECT_NE(program.dialogs.messages[0].find("this user may not open it"), std::string::npos);
}

}  // namespace
}  // namespace kdsp::testing
