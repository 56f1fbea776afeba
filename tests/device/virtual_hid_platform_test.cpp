// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the virtual HID platform: identity, notices, access, and its handles' reads and
// writes, including cancel and unplugging under a waiting read.
#include "device/virtual_hid_platform.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <atomic>
#include <cerrno>
#include <thread>

#include "device/hid_test_devices.h"

namespace kdsp::device {
namespace {

using testing::Bytes;
using testing::EchoDevice;
using testing::Eventually;
using testing::Report;

HidPnPInfo Only(VirtualHidPlatform& platform) {
  const auto infos = platform.list();
  EXPECT_EQ(infos.size(), 1u);
  return infos.empty() ? HidPnPInfo{} : infos.front();
}

TEST(VirtualHidPlatform, ListsPluggedDevicesWithTheirIdentity) {
  VirtualHidPlatform platform;
  auto echo = std::make_shared<EchoDevice>(0x0157);
  const std::uint32_t id = platform.plug(echo);
  const HidPnPInfo info = Only(platform);
  EXPECT_EQ(info.DeviceID, id);
  EXPECT_EQ(info.DevicePath, "virtual:" + std::to_string(id));
  EXPECT_EQ(info.product, "Echo");
  EXPECT_EQ(info.serialNumber, "E1");

  HidAttributes attributes;
  ASSERT_TRUE(platform.attributes(info, attributes));
  EXPECT_EQ(attributes.VendorID, 0x0483);
  EXPECT_EQ(attributes.ProductID, 0x0157);
  EXPECT_EQ(attributes.VersionNumber, 0x0200);
  HidCaps caps;
  ASSERT_TRUE(platform.caps(info, caps));
  EXPECT_EQ(caps.InputReportByteLength, 65);
  EXPECT_EQ(caps.OutputReportByteLength, 65);

  // Plugged in again, the same device is a new instance.
  EXPECT_TRUE(platform.unplug(id));
  EXPECT_FALSE(platform.unplug(id));
  EXPECT_TRUE(platform.list().empty());
  EXPECT_FALSE(platform.attributes(info, attributes));
  EXPECT_NE(platform.plug(echo), id);
}

TEST(VirtualHidPlatform, NoticesComeFromTheEventLoopOncePerBurst) {
  VirtualHidPlatform platform;
  QSignalSpy changes(&platform, &HidPlatform::devicesChanged);
  const auto first = platform.plug(std::make_shared<EchoDevice>());
  platform.plug(std::make_shared<EchoDevice>());
  platform.unplug(first);
  EXPECT_EQ(changes.count(), 0);
  testing::Settle();
  EXPECT_EQ(changes.count(), 1);
  platform.plug(std::make_shared<EchoDevice>());
  testing::Settle();
  EXPECT_EQ(changes.count(), 2);
}

TEST(VirtualHidPlatform, OpensAsTheDeviceAllows) {
  VirtualHidPlatform platform;
  auto echo = std::make_shared<EchoDevice>();
  platform.plug(echo);
  const HidPnPInfo info = Only(platform);
  HidOpenError error;

  EXPECT_NE(platform.open(info, true, &error), nullptr);

  echo->setAccess(VirtualHidDevice::Access::kIdentifyOnly);
  EXPECT_EQ(platform.open(info, true, &error), nullptr);
  EXPECT_EQ(error.code, EACCES);
  EXPECT_EQ(error.reason, kPermissionDenied);
  auto identification = platform.open(info, false, &error);
  ASSERT_NE(identification, nullptr);
  EXPECT_FALSE(identification->write(Report(65)));

  echo->setAccess(VirtualHidDevice::Access::kNone);
  EXPECT_EQ(platform.open(info, false, &error), nullptr);

  HidPnPInfo missing = info;
  missing.DeviceID += 100;
  EXPECT_EQ(platform.open(missing, false, &error), nullptr);
  EXPECT_EQ(error.code, ENODEV);
}

TEST(VirtualHidPlatform, HandleWritesToTheDeviceAndReadsItsReports) {
  VirtualHidPlatform platform;
  auto echo = std::make_shared<EchoDevice>(0x0157, 9);
  platform.plug(echo);
  auto handle = platform.open(Only(platform), true, nullptr);
  ASSERT_NE(handle, nullptr);

  EXPECT_TRUE(handle->write(Report(9)));
  EXPECT_TRUE(handle->write(Report(4, 7)));  // shorter than the report length goes out as is
  EXPECT_FALSE(handle->write(Report(10)));   // longer does not
  EXPECT_EQ(handle->errorCode(), EINVAL);
  EXPECT_FALSE(handle->write({}));
  EXPECT_EQ(echo->writes(), (std::vector<Bytes>{Report(9), Report(4, 7)}));

  Bytes buffer(9);
  ASSERT_EQ(handle->read(buffer, 1000), 9);
  EXPECT_EQ(buffer, Report(9));
  ASSERT_EQ(handle->read(buffer, 1000), 4);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), Report(4, 7));
  EXPECT_EQ(handle->read(buffer, 1), 0);  // nothing more

  // A report longer than the buffer is cut to it.
  echo->pushInputReport(Report(20));
  Bytes small(5);
  EXPECT_EQ(handle->read(small, 1000), 5);
  EXPECT_EQ(small, Report(5));

  echo->failNextRead(EPIPE);
  EXPECT_EQ(handle->read(buffer, 1000), -1);
  EXPECT_EQ(handle->errorCode(), EPIPE);
}

TEST(VirtualHidPlatform, ReportsAreKeptOnlyWhileOpenForReading) {
  VirtualHidPlatform platform;
  auto echo = std::make_shared<EchoDevice>();
  platform.plug(echo);
  echo->pushInputReport(Report(65));
  EXPECT_EQ(echo->pendingInputReports(), 0u);
  {
    auto handle = platform.open(Only(platform), true, nullptr);
    echo->pushInputReport(Report(65));
    EXPECT_EQ(echo->pendingInputReports(), 1u);
  }
  EXPECT_EQ(echo->pendingInputReports(), 0u);
}

// A read that would wait a minute is ended by cancel, and by unplugging, from another thread.
TEST(VirtualHidPlatform, CancelAndUnplugEndAWaitingRead) {
  for (const bool byUnplug : {false, true}) {
    VirtualHidPlatform platform;
    const auto id = platform.plug(std::make_shared<EchoDevice>());
    auto handle = platform.open(Only(platform), true, nullptr);
    std::atomic<int> result{1};
    std::atomic<bool> done{false};
    std::thread reader([&] {
      Bytes buffer(65);
      result = handle->read(buffer, 60000);
      done = true;
    });
    if (byUnplug) {
      platform.unplug(id);
    } else {
      handle->cancel();
    }
    EXPECT_TRUE(Eventually([&] { return done.load(); }));
    reader.join();
    if (byUnplug) {
      EXPECT_EQ(result, -1);
      EXPECT_EQ(handle->errorCode(), ENODEV);
      EXPECT_FALSE(handle->write(Report(65)));
    } else {
      EXPECT_EQ(result, 0);
      Bytes buffer(65);
      EXPECT_EQ(handle->read(buffer, 60000), 0);  // cancelled for good
    }
  }
}

}  // namespace
}  // namespace kdsp::device
