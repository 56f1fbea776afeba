// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the virtual HID device that carries the simulated processor: records go in as output
// reports, replies come back as input reports, late ones in the order they were made.
#include "sim/simulated_hid_device.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <array>
#include <chrono>
#include <memory>

#include "device/command_codes.h"
#include "device/event_loop_wait.h"
#include "device/virtual_hid_platform.h"
#include "sim_test_support.h"

namespace kdsp::sim {
namespace {

namespace code = device::code;
using testing::Decode;
using testing::kAck;
using testing::Rec;
using testing::Record;
using namespace std::chrono_literals;

// An output report as the program writes one: report ID 0, the count of the two leading bytes
// and the text, the text.
std::vector<std::uint8_t> OutputReport(const std::string& text) {
  std::vector<std::uint8_t> report(kSimulatedReportLength, 0);
  report[1] = static_cast<std::uint8_t>(2 + text.size());
  std::copy(text.begin(), text.end(), report.begin() + 2);
  return report;
}

TEST(SimulatedHidDeviceTest, SlowRepliesComeLateAndHoldBackWhatFollows) {
  struct Case {
    const char* name;
    std::map<std::uint8_t, int> slowReplyMs;
    int ackDelayMs;
    int atLeastMs;
  };
  const Case cases[] = {
      {"slow greeting", {{code::kGreeting, 300}}, 0, 300},
      {"slow greeting on top of a general delay", {{code::kGreeting, 200}}, 100, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    device::VirtualHidPlatform platform;
    platform.plug(std::make_shared<SimulatedHidDevice>(testing::Options([&](SimOptions& o) {
      o.slowReplyMs = c.slowReplyMs;
      o.ackDelayMs = c.ackDelayMs;
    })));
    const auto devices = platform.list();
    ASSERT_EQ(devices.size(), 1u);
    device::HidOpenError error;
    const auto handle = platform.open(devices[0], true, &error);
    ASSERT_TRUE(handle) << error.reason;

    QElapsedTimer clock;
    clock.start();
    // The greeting's replies are slow, the master mic's acknowledgement is not: it still comes
    // last.
    ASSERT_TRUE(
        handle->write(OutputReport(Rec(code::kGreeting, {0}) + Rec(code::kMasterMic, {5}))));
    std::string received;
    device::WaitUntil(
        [&] {
          std::array<std::uint8_t, kSimulatedReportLength> report{};
          while (handle->read(report, 0) > 2)
            received.append(report.begin() + 2, report.begin() + 2 + report[1]);
          return Decode(received).size() >= 4;
        },
        5s);
    EXPECT_EQ(
        Decode(received),
        (std::vector<Record>{
            kAck, {code::kVersion, {0x21}}, {code::kStatus, {55, 55, 0, 0, 0, 255, 0, 0}}, kAck}));
    EXPECT_GE(clock.elapsed(), c.atLeastMs);
  }
}

}  // namespace
}  // namespace kdsp::sim
