// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of loading a setting file the way the program does: messages, refresh and the offer to
// transfer the block into the processor.
#include "settings/read_setting_file.h"

#include <gtest/gtest.h>

#include "device/block_transfer.h"
#include "device/command_codes.h"
#include "support/device_fakes.h"
#include "support/temp_dir.h"

namespace kdsp::settings {
namespace {

class AcknowledgingHost : public device::TransferHost {
 public:
  explicit AcknowledgingHost(device::RecordSender& sender) : sender_(sender) {}
  void beginTransfer() override {}
  void endTransfer() override {}
  device::WaitOutcome lostLink() const override { return device::WaitOutcome::kDisconnected; }
  device::WaitOutcome waitForAcknowledgements() override {
    while (sender_.outstandingRecords() > 0) sender_.acknowledge();
    return device::WaitOutcome::kAcknowledged;
  }

 private:
  device::RecordSender& sender_;
};

class ReadSettingFileTest : public ::testing::Test {
 protected:
  ReadSettingFileTest() {
    link.connected = true;
    link.windowShown = true;
    sender.setTransport(&transport);
    edited.bands[10].gain = -90;
    EXPECT_TRUE(WriteSettingFile(temp / "edited.aex", edited).ok);
  }
  SettingFileStatus read(const std::filesystem::path& path, bool askTransfer) {
    return reader.ReadSettingFile(path, askTransfer);
  }

  testing::TempDir temp;
  device::LinkState link;
  device::testing::RecordingTransport transport;
  device::testing::RecordingPrompts prompts;
  device::RecordSender sender{link, prompts};
  AcknowledgingHost host{sender};
  device::BlockTransfer transfer{link, sender, host, prompts};
  ParameterBlock working = FactoryDefaults();
  ParameterBlock edited = FactoryDefaults();
  int refreshes = 0;
  SettingFileReader reader{
      working, prompts, [this] { ++refreshes; },
      [this] { transfer.StoreBlockToDevice(working, device::kWorkingSettingsSlot); }};
};

TEST_F(ReadSettingFileTest, LoadRefreshesAndOnYesStoresIntoTheWorkingSettings) {
  EXPECT_EQ(read(temp / "edited.aex", true), SettingFileStatus::kLoaded);
  EXPECT_EQ(working.bands[10].gain, -90);
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(prompts.questions, (std::vector<std::string>{"Transfer data to device?"}));
  ASSERT_EQ(transport.texts.size(), 31u);
  EXPECT_EQ(transport.texts.back().substr(0, 9), ":E20003F0");  // store into slot 240
}

TEST_F(ReadSettingFileTest, NoSendsNothingAndTheBulkPathNeverAsks) {
  prompts.answerYes = false;
  EXPECT_EQ(read(temp / "edited.aex", true), SettingFileStatus::kLoaded);
  EXPECT_TRUE(transport.texts.empty());
  prompts.questions.clear();
  EXPECT_EQ(read(temp / "edited.aex", false), SettingFileStatus::kLoaded);
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_EQ(refreshes, 2);
}

TEST_F(ReadSettingFileTest, UnusableFilesLeaveTheBlockAndTellWhy) {
  auto typeOne = EncodeSettingFile(edited);
  typeOne[9] = 1;
  testing::WriteBytes(temp / "type1.aex", {reinterpret_cast<const char*>(typeOne.data()), 724});
  testing::WriteBytes(temp / "foreign.aex", std::string(724, 'x'));
  testing::WriteBytes(temp / "short.aex", testing::ReadBytes(temp / "edited.aex").substr(0, 700));
  struct Case {
    std::string name;
    SettingFileStatus status;
    std::string message;  // empty: nothing is said
  };
  const Case cases[] = {
      {"missing.aex", SettingFileStatus::kCantRead,
       "Can't read " + (temp / "missing.aex").string()},
      {"foreign.aex", SettingFileStatus::kVersionError, "File Version error!"},
      {"type1.aex", SettingFileStatus::kWrongType, ""},
      {"short.aex", SettingFileStatus::kTooShort, "too short"},
  };
  for (const Case& c : cases) {
    prompts.messages.clear();
    EXPECT_EQ(read(temp / c.name, true), c.status) << c.name;
    EXPECT_TRUE(working == FactoryDefaults()) << c.name;
    if (c.message.empty()) {
      EXPECT_TRUE(prompts.messages.empty()) << c.name;
    } else {
      ASSERT_EQ(prompts.messages.size(), 1u) << c.name;
      EXPECT_NE(prompts.messages[0].find(c.message), std::string::npos) << prompts.messages[0];
    }
  }
  EXPECT_EQ(refreshes, 0);
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_TRUE(transport.texts.empty());
}

}  // namespace
}  // namespace kdsp::settings
