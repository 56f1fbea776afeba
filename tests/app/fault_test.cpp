// SPDX-License-Identifier: GPL-3.0-or-later
// Pulling the rug during work: the processor unplugged mid-upload, acknowledgements that come too
// late, a full disk while a setting file is written. Each ends with a clear message, a running
// program, and no slot or file half-written.
#include <gtest/gtest.h>

#include <QTimer>

#include "app/main_window.h"
#include "app/preset_commands.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "settings/setting_file.h"
#include "sim/simulated_hid_device.h"
#include "support/file_size_limit.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

class FaultTest : public ::testing::Test {
 protected:
  void start(sim::SimOptions options) {
    processor = std::make_shared<sim::SimulatedHidDevice>(options);
    processorId = platform.plug(processor);
    window = std::make_unique<TForm1>(controller, working, dialogs);
    window->show();
    ASSERT_TRUE(device::WaitUntil([&] { return window->link().lastStatus().has_value(); },
                                  std::chrono::seconds(5)));
    commands = std::make_unique<app::PresetCommands>(window->link(), working, dialogs,
                                                     [this] { window->RefreshAll(); });
    dialogs.messages.clear();
  }
  ~FaultTest() override {
    commands.reset();
    window.reset();
  }

  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  std::shared_ptr<sim::SimulatedHidDevice> processor;
  std::uint32_t processorId = 0;
  kdsp::testing::ScriptedDialogs dialogs;
  settings::ParameterBlock working{};
  std::unique_ptr<TForm1> window;
  std::unique_ptr<app::PresetCommands> commands;
};

TEST_F(FaultTest, UnpluggedMidUploadLeavesTheSlotAsItWas) {
  start({.ackDelayMs = 30});
  const settings::ParameterBlock before = processor->processor().slot(4);
  working.bands[33].gain = -99;
  QTimer::singleShot(200, [&] { platform.unplug(processorId); });
  commands->N82Click(4);
  EXPECT_FALSE(window->link().state().connected);
  EXPECT_TRUE(processor->processor().slot(4) == before);
  ASSERT_FALSE(dialogs.messages.empty());
  EXPECT_NE(dialogs.messages.back().find("disconnected"), std::string::npos);
  EXPECT_TRUE(window->link().syncTimer().isActive());  // the program goes on
}

TEST_F(FaultTest, AcknowledgementsTooLateStopTheUploadWithAMessage) {
  start({.ackDelayMs = 400});
  window->link().setAcknowledgementLimit(std::chrono::milliseconds(150));
  const settings::ParameterBlock before = processor->processor().slot(2);
  working.revWidth = 3;
  commands->N82Click(2);
  EXPECT_EQ(dialogs.messages,
            (std::vector<std::string>{std::string(device::message::kUploadNotAcknowledged)}));
  // The late acknowledgement arrives and changes nothing.
  EXPECT_TRUE(
      device::WaitUntil([&] { return window->link().insides().sender.outstandingRecords() == 0; },
                        std::chrono::seconds(2)));
  EXPECT_TRUE(processor->processor().slot(2) == before);
}

TEST_F(FaultTest, FullDiskWhileSavingKeepsTheOldFile) {
  start({});
  kdsp::testing::TempDir temp;
  const auto path = temp / "preset.aex";
  ASSERT_TRUE(settings::WriteSettingFile(path, working).ok);
  const std::string before = kdsp::testing::ReadBytes(path);
  working.revWidth = 7;
  dialogs.files.push_back(path.string());
  {
    kdsp::testing::FileSizeLimit full(300);  // room for less than a setting file
    commands->mSaveToFileClick();
  }
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find("Can't write"), std::string::npos);
  EXPECT_EQ(kdsp::testing::ReadBytes(path), before);
  EXPECT_EQ(temp.Entries(), (std::vector<std::string>{"preset.aex"}));  // nothing left aside
}

}  // namespace
}  // namespace kdsp::app
