// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of a held device's read thread: how reports and read errors reach the user-interface
// thread, their order, and stopping while a report is being handed over.
#include "device/hid_read_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "device/hid_test_devices.h"

namespace kdsp::device {
namespace {

using testing::Bytes;
using testing::Delivery;
using testing::EchoDevice;
using testing::Eventually;
using testing::OnUiThread;
using testing::Report;

class ReadThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { Hold(std::make_shared<EchoDevice>()); }

  void Hold(std::shared_ptr<EchoDevice> device) {
    echo = std::move(device);
    platform.plug(echo);
    controller = std::make_unique<HidDeviceController>(platform);
    held = controller->CheckOutByIndex(controller->count() - 1);
    ASSERT_NE(held, nullptr);
  }

  void TearDown() override {
    if (held != nullptr) controller->CheckIn(held);
  }

  HidDevice::DataEvent Recorder() {
    return [this](HidDevice& device, std::uint8_t reportId, std::span<const std::uint8_t> data) {
      deliveries.push_back({&device, reportId, Bytes(data.begin(), data.end()), OnUiThread()});
    };
  }

  // Blocks this (the user-interface) thread until the read thread has taken every queued
  // report, so that it is now handing one over and waiting for us.
  void WaitUntilTaken() {
    for (int i = 0; i < 100000 && echo->pendingInputReports() > 0; ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    ASSERT_EQ(echo->pendingInputReports(), 0u);
  }

  VirtualHidPlatform platform;
  std::shared_ptr<EchoDevice> echo;
  std::unique_ptr<HidDeviceController> controller;
  HidDevice* held = nullptr;
  std::vector<Delivery> deliveries;
};

TEST_F(ReadThreadTest, A65ByteReportArrivesAsReportIdAnd64DataBytes) {
  held->SetDataEvent(Recorder());
  ASSERT_TRUE(held->hasReadThread());
  const Bytes report = Report(65);
  echo->pushInputReport(report);
  ASSERT_TRUE(Eventually([&] { return deliveries.size() == 1; }));
  EXPECT_EQ(deliveries[0].device, held);
  EXPECT_EQ(deliveries[0].reportId, 0);
  EXPECT_EQ(deliveries[0].data, Bytes(report.begin() + 1, report.end()));
  EXPECT_EQ(deliveries[0].data.size(), 64u);
  EXPECT_TRUE(deliveries[0].onUiThread);
}

TEST_F(ReadThreadTest, TheFirstByteIsTheReportId) {
  held->SetDataEvent(Recorder());
  echo->pushInputReport({7, 0xAA, 0xBB});
  ASSERT_TRUE(Eventually([&] { return deliveries.size() == 1; }));
  EXPECT_EQ(deliveries[0].reportId, 7);
  EXPECT_EQ(deliveries[0].data, (Bytes{0xAA, 0xBB}));
}

TEST_F(ReadThreadTest, AWrittenReportComesBackFromTheEchoDevice) {
  held->SetDataEvent(Recorder());
  EXPECT_TRUE(held->WriteFile(Report(65, 40)));
  ASSERT_TRUE(Eventually([&] { return deliveries.size() == 1; }));
  EXPECT_EQ(deliveries[0].data[0], 40);
  EXPECT_EQ(echo->writes(), std::vector<Bytes>{Report(65, 40)});
}

TEST_F(ReadThreadTest, AnEmptyReadDeliversNothing) {
  held->SetDataEvent(Recorder());
  echo->pushInputReport({});
  echo->pushInputReport(Report(65, 9));
  ASSERT_TRUE(Eventually([&] { return deliveries.size() == 1; }));
  WaitMs(50);
  ASSERT_EQ(deliveries.size(), 1u);
  EXPECT_EQ(deliveries[0].data[0], 9);
}

TEST_F(ReadThreadTest, ReportsArriveInOrderOnTheUserInterfaceThread) {
  held->SetDataEvent(Recorder());
  constexpr int kReports = 500;
  std::thread sender([&] {
    for (int i = 0; i < kReports; ++i) {
      echo->pushInputReport({0, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)});
    }
  });
  const bool all = Eventually([&] { return deliveries.size() == kReports; });
  sender.join();
  ASSERT_TRUE(all);
  for (int i = 0; i < kReports; ++i) {
    ASSERT_EQ(deliveries[i].data,
              (Bytes{static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)}))
        << i;
    ASSERT_TRUE(deliveries[i].onUiThread) << i;
  }
}

TEST_F(ReadThreadTest, AReadErrorReachesTheDataErrorEventAndReadingGoesOn) {
  std::vector<std::pair<int, bool>> errors;
  held->SetDataErrorEvent([&](HidDevice& device, int code) {
    EXPECT_EQ(&device, held);
    errors.emplace_back(code, OnUiThread());
  });
  held->ThreadSleepTime = 10;
  held->SetDataEvent(Recorder());
  echo->failNextRead(EPIPE);
  ASSERT_TRUE(Eventually([&] { return errors.size() == 1; }));
  EXPECT_EQ(errors[0], std::make_pair(EPIPE, true));
  echo->pushInputReport(Report(65));
  EXPECT_TRUE(Eventually([&] { return deliveries.size() == 1; }));
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(ReadThreadTest, AnEmptyDataEventStopsTheThreadAndANewOneStartsIt) {
  held->SetDataEvent(Recorder());
  held->SetDataEvent(nullptr);
  EXPECT_FALSE(held->hasReadThread());
  echo->pushInputReport(Report(65));  // no reader: dropped, as the device's own queue would be
  WaitMs(30);
  EXPECT_TRUE(deliveries.empty());
  held->SetDataEvent(Recorder());
  EXPECT_TRUE(held->hasReadThread());
  echo->pushInputReport(Report(65));
  EXPECT_TRUE(Eventually([&] { return deliveries.size() == 1; }));
}

// The user-interface thread stops the read thread while the read thread waits for it to take a
// report: the stop serves the report (or the thread drops it if it saw the stop first) and
// neither waits for the other. Repeated with varied timing.
TEST_F(ReadThreadTest, StoppingWhileAReportIsHandedOverDoesNotDeadlock) {
  int delivered = 0;
  const HidDevice::DataEvent count = [&](HidDevice&, std::uint8_t, std::span<const std::uint8_t>) {
    ++delivered;
  };
  for (int round = 0; round < 300; ++round) {
    held->SetDataEvent(count);
    ASSERT_TRUE(held->hasReadThread());
    echo->pushInputReport(Report(65));
    WaitUntilTaken();
    std::this_thread::sleep_for(std::chrono::microseconds(round % 7 * 50));
    held->StopThread();
    ASSERT_FALSE(held->hasReadThread());
    ASSERT_LE(delivered, round + 1);
  }
  // Most stops found the report waiting and served it.
  EXPECT_GT(delivered, 0);
}

TEST_F(ReadThreadTest, StartingAndStoppingUnderAStreamOfReports) {
  std::atomic<bool> streaming{true};
  std::atomic<int> sent{0};
  int delivered = 0;
  bool allOnUiThread = true;
  const HidDevice::DataEvent count = [&](HidDevice&, std::uint8_t, std::span<const std::uint8_t>) {
    ++delivered;
    allOnUiThread = allOnUiThread && OnUiThread();
  };
  held->ThreadSleepTime = 5;
  std::thread sender([&] {
    while (streaming) {
      echo->pushInputReport(Report(65));
      ++sent;
      std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
  });
  for (int round = 0; round < 200; ++round) {
    held->SetDataEvent(count);
    if (round % 2 == 0) WaitMs(1);
    held->SetDataEvent(nullptr);
  }
  // Still reading after all that.
  const int before = delivered;
  held->SetDataEvent(count);
  EXPECT_TRUE(Eventually([&] { return delivered > before; }));
  held->SetDataEvent(nullptr);
  streaming = false;
  sender.join();
  EXPECT_LE(delivered, sent.load());
  EXPECT_TRUE(allOnUiThread);
}

// The data event itself gives the device back: its own report is not waited for.
TEST_F(ReadThreadTest, CheckInFromInsideTheDataEvent) {
  int delivered = 0;
  held->SetDataEvent([&](HidDevice&, std::uint8_t, std::span<const std::uint8_t>) {
    ++delivered;
    controller->CheckIn(held);
  });
  HidDevice* device = held;
  echo->pushInputReport(Report(65));
  echo->pushInputReport(Report(65));
  ASSERT_TRUE(Eventually([&] { return held == nullptr; }));
  WaitMs(30);
  EXPECT_EQ(delivered, 1);
  EXPECT_FALSE(device->hasReadThread());
  EXPECT_FALSE(device->checkedOut());
}

// Deleting the device from its data event: the list gets a fresh entry and nothing touches the
// deleted one afterwards.
TEST_F(ReadThreadTest, DeletingTheDeviceFromInsideTheDataEvent) {
  bool deleted = false;
  held->SetDataEvent([&](HidDevice& device, std::uint8_t, std::span<const std::uint8_t>) {
    if (deleted) return;
    deleted = true;
    delete &device;
  });
  echo->pushInputReport(Report(65));
  echo->pushInputReport(Report(65));
  ASSERT_TRUE(Eventually([&] { return deleted; }));
  held = nullptr;
  WaitMs(30);
  ASSERT_EQ(controller->count(), 1);
  EXPECT_FALSE(controller->at(0)->checkedOut());
}

// Unplugged while reports keep coming: the thread ends, the unplug event runs once, and a
// report that was waiting is dropped with the device.
TEST_F(ReadThreadTest, UnpluggingWhileReportsArrive) {
  int unplugs = 0;
  held->SetUnplugEvent([&](HidDevice&) { ++unplugs; });
  held->SetDataEvent(Recorder());
  std::atomic<bool> flooding{true};
  std::thread sender([&] {
    while (flooding) {
      echo->pushInputReport(Report(65));
      std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
  });
  ASSERT_TRUE(Eventually([&] { return deliveries.size() > 10; }));
  platform.unplug(platform.list().at(0).DeviceID);
  testing::Settle();
  flooding = false;
  sender.join();
  EXPECT_EQ(unplugs, 1);
  EXPECT_FALSE(held->pluggedIn());
  EXPECT_FALSE(held->hasReadThread());
  const std::size_t count = deliveries.size();
  WaitMs(30);
  EXPECT_EQ(deliveries.size(), count);
}

}  // namespace
}  // namespace kdsp::device
