// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of kdspctl's listing of processors: its exit status tells a script whether a processor
// it can use is there, whatever else is plugged in.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device/virtual_hid_platform.h"
#include "device_commands.h"
#include "sim/simulated_hid_device.h"

namespace kdsp::tools {
namespace {

using Access = device::VirtualHidDevice::Access;

class Keyboard : public device::VirtualHidDevice {
 public:
  Keyboard() : VirtualHidDevice({0x046D, 0xC31C, 1, "Other", "Keyboard", ""}, {9, 9, 0}) {}
  void writeOutputReport(std::span<const std::uint8_t>) override {}
};

TEST(KdspctlListTest, SucceedsOnlyWithAProcessorThatMayBeOpened) {
  struct Case {
    const char* name;
    std::vector<Access> processors;
    bool keyboard;
    int status;
  };
  const Case cases[] = {
      {"nothing plugged in", {}, false, 1},
      {"only another device", {}, true, 1},
      {"a processor", {Access::kReadWrite}, true, 0},
      {"a processor this user may not open", {Access::kIdentifyOnly}, true, 1},
      {"one of two may be opened", {Access::kIdentifyOnly, Access::kReadWrite}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    device::VirtualHidPlatform platform;
    if (c.keyboard) platform.plug(std::make_shared<Keyboard>());
    for (const Access access : c.processors) {
      auto processor = std::make_shared<sim::SimulatedHidDevice>();
      processor->setAccess(access);
      platform.plug(processor);
    }
    EXPECT_EQ(ListProcessors(platform), c.status);
  }
}

}  // namespace
}  // namespace kdsp::tools
