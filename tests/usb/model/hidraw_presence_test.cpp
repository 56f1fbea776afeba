// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of finding the plugged device's hidraw node, on sysfs trees laid out as the kernel lays
// them out.
#include "hidraw_presence.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace kdsp::usbmodel {
namespace {

namespace fs = std::filesystem;

void Make(const fs::path& root, const std::string& relative) {
  fs::create_directories(root / relative);
}

TEST(HidrawPresenceTest, HidDevicesAreNamedByBusVendorAndProductInUppercaseHex) {
  EXPECT_EQ(HidDevicePrefix(0x0483, 0x0157), "0003:0483:0157.");
  EXPECT_EQ(HidDevicePrefix(0xabcd, 0x00ef), "0003:ABCD:00EF.");
}

TEST(HidrawPresenceTest, AUhidDeviceCountsOnlyWhenItIsNewAndHasItsNode) {
  kdsp::testing::TempDir sys;
  const std::string uhid = "devices/virtual/misc/uhid/";
  // Another processor plugged earlier, and an unrelated device.
  Make(sys.path(), uhid + "0003:0483:0157.0001/hidraw/hidraw0");
  Make(sys.path(), uhid + "0003:1209:0001.0002/hidraw/hidraw1");
  const std::set<std::string> before = UhidHidDevices(sys.path(), 0x0483, 0x0157);
  EXPECT_EQ(before, std::set<std::string>{"0003:0483:0157.0001"});
  EXPECT_FALSE(NewUhidHidrawPresent(sys.path(), 0x0483, 0x0157, before));

  // The new device is registered before its node.
  Make(sys.path(), uhid + "0003:0483:0157.0003");
  EXPECT_FALSE(NewUhidHidrawPresent(sys.path(), 0x0483, 0x0157, before));
  Make(sys.path(), uhid + "0003:0483:0157.0003/hidraw/hidraw2");
  EXPECT_TRUE(NewUhidHidrawPresent(sys.path(), 0x0483, 0x0157, before));
  EXPECT_FALSE(NewUhidHidrawPresent(sys.path(), 0x0483, 0x0158, {}));
}

TEST(HidrawPresenceTest, AVhciDeviceIsFoundByItsRootHubPort) {
  kdsp::testing::TempDir sys;
  const std::string vhci = "devices/platform/vhci_hcd.0/";
  // Status port 1 is root hub port 2 of the high-speed bus (here bus 3; bus 4 is SuperSpeed).
  Make(sys.path(), vhci + "usb3/3-2/3-2:1.0");
  Make(sys.path(), vhci + "usb4");
  EXPECT_FALSE(VhciHidrawPresent(sys.path(), 1, 0x0483, 0x0157));
  Make(sys.path(), vhci + "usb3/3-2/3-2:1.0/0003:0483:0157.0004");
  EXPECT_FALSE(VhciHidrawPresent(sys.path(), 1, 0x0483, 0x0157));
  Make(sys.path(), vhci + "usb3/3-2/3-2:1.0/0003:0483:0157.0004/hidraw/hidraw3");
  EXPECT_TRUE(VhciHidrawPresent(sys.path(), 1, 0x0483, 0x0157));
  // Another port, or another identity, is not this device.
  EXPECT_FALSE(VhciHidrawPresent(sys.path(), 0, 0x0483, 0x0157));
  EXPECT_FALSE(VhciHidrawPresent(sys.path(), 1, 0x1209, 0x0001));
  // No vhci-hcd at all.
  kdsp::testing::TempDir empty;
  EXPECT_FALSE(VhciHidrawPresent(empty.path(), 1, 0x0483, 0x0157));
}

}  // namespace
}  // namespace kdsp::usbmodel
