// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of a processor on the virtual HID bus whose device node this user may not open: it is
// shown as present but not connected, and connects normally once access is given.
#include <QTcpServer>

#include "device/command_codes.h"
#include "link_fixture.h"

namespace kdsp::device {
namespace {

using Access = VirtualHidDevice::Access;

class AccessTest : public testing::LinkFixture {
 protected:
  AccessTest() {
    observer.connectionChanged = [this] { ++connectionNotices; };
  }

  // The link holds a processor it may not open, and has told the user once.
  void holdAProcessorWithoutAccess() {
    processor = plugProcessor({}, Access::kIdentifyOnly);
    startLink();
    ASSERT_TRUE(waitFor([&] { return !prompts.messages.empty(); }));
    told = PermissionProblemText("virtual:" + std::to_string(processorId),
                                 std::string(kPermissionDenied));
    EXPECT_EQ(prompts.messages, std::vector<std::string>{told});
  }

  // Access is given by the step; the next device change connects the processor as if it had
  // just been plugged in: greeted, asked, and sent the edits.
  void expectConnectionOnceAllowed(const std::function<void()>& allow) {
    holdAProcessorWithoutAccess();
    allow();
    ASSERT_TRUE(waitFor([&] {
      return link->state().connected && received.size() == 1 && !link->syncQuestionOpen();
    }));
    EXPECT_FALSE(link->state().processorWithoutAccess());
    EXPECT_EQ(received, std::vector<int>{code::kGreeting});
    EXPECT_EQ(prompts.questions, std::vector<std::string>{"Sync with connecting device?"});
    EXPECT_TRUE(link->state().versionOk);
    working.bands[5].gain = 12;
    link->markChanged(flag::kBands.at(5));
    EXPECT_TRUE(waitFor([&] { return processor->processor().working().bands[5].gain == 12; }));
    EXPECT_EQ(prompts.messages, std::vector<std::string>{told});  // nothing more to tell
  }

  int connectionNotices = 0;
  std::string told;
};

TEST_F(AccessTest, IsShownAsPresentButNotConnectedGreetedOrAsked) {
  holdAProcessorWithoutAccess();
  const LinkState& state = link->state();
  EXPECT_FALSE(state.connected);
  EXPECT_TRUE(state.processorWithoutAccess());
  EXPECT_EQ(state.accessProblem, told);
  EXPECT_NE(link->device(), nullptr);
  WaitMs(100);  // ten ticks
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_TRUE(received.empty());
  EXPECT_FALSE(link->syncQuestionOpen());

  // Edits go nowhere; a transfer says why instead of "No connecting device!".
  link->markChanged(flag::kMasterFaders.at(0));
  EXPECT_EQ(link->StoreBlockToDevice(3), StoreResult::kNotConnected);
  EXPECT_FALSE(link->ReadBlockFromDevice(3, 3));
  WaitMs(50);
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(prompts.messages, (std::vector<std::string>{told, told, told}));
}

TEST_F(AccessTest, OtherDevicesComingAndGoingDoNotRepeatTheMessage) {
  holdAProcessorWithoutAccess();
  for (int i = 0; i < 2; ++i) {
    const int before = connectionNotices;
    const std::uint32_t other = platform.plug(std::make_shared<testing::UnrelatedDevice>());
    ASSERT_TRUE(waitFor([&] { return connectionNotices > before; }));
    platform.unplug(other);
  }
  WaitMs(50);
  EXPECT_TRUE(link->state().processorWithoutAccess());
  EXPECT_FALSE(link->state().connected);
  EXPECT_EQ(prompts.messages, std::vector<std::string>{told});
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_TRUE(received.empty());
}

TEST_F(AccessTest, UnpluggedItLeavesNothingBehind) {
  holdAProcessorWithoutAccess();
  platform.unplug(processorId);
  ASSERT_TRUE(waitFor([&] { return link->device() == nullptr; }));
  EXPECT_FALSE(link->state().processorWithoutAccess());
  EXPECT_FALSE(link->state().connected);
  EXPECT_FALSE(link->lastLoss().has_value());  // it was never connected
  EXPECT_EQ(link->StoreBlockToDevice(3), StoreResult::kNotConnected);
  EXPECT_EQ(prompts.messages.back(), message::kNoConnectingDevice);
}

TEST_F(AccessTest, PluggedInAgainWithAccessItConnects) {
  expectConnectionOnceAllowed([&] {
    platform.unplug(processorId);
    processor = plugProcessor();
  });
}

TEST_F(AccessTest, GivenAccessInPlaceItConnectsAtTheNextDeviceChange) {
  // As a udev rule applied to a node already present: the node changes, the bus does not.
  expectConnectionOnceAllowed([&] {
    processor->setAccess(Access::kReadWrite);
    emit platform.devicesChanged();
  });
}

TEST_F(AccessTest, WiFiLeavesItAloneAndSwitchingWiFiOffShowsItAgain) {
  holdAProcessorWithoutAccess();
  QTcpServer closed;  // a port nobody listens on
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  link->setWifiAddress("127.0.0.1", closed.serverPort());
  closed.close();
  link->WiFi1Click();
  EXPECT_FALSE(link->state().processorWithoutAccess());
  EXPECT_FALSE(link->state().connected);
  link->WiFi1Click();
  EXPECT_TRUE(link->state().processorWithoutAccess());
  EXPECT_FALSE(link->state().connected);
  WaitMs(50);
  EXPECT_TRUE(received.empty());
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_EQ(prompts.messages.size(), 1u);
}

}  // namespace
}  // namespace kdsp::device
