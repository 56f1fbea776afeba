// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the kernel has made the hidraw node of the device just plugged in, read from sysfs. The
// kernel tells the device it is taken (uhid's start, the USB host's SET_CONFIGURATION) before
// the HID core has registered the hidraw node; "plugged" waits for the node, so whoever reads the
// line and lets udev settle finds it.
//
// A HID device is a directory named BUS:VENDOR:PRODUCT.SEQUENCE in uppercase hex
// ("0003:0483:0157.0002"), with its node in hidraw/hidrawN below it:
//   uhid:    <sys>/devices/virtual/misc/uhid/0003:0483:0157.0002/hidraw/hidraw1
//   vhci:    <sys>/devices/platform/vhci_hcd.0/usb3/3-2/3-2:1.0/0003:0483:0157.0002/hidraw/hidraw1
//            for the device on root hub port 2 (status file port 1).
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

namespace kdsp::usbmodel {

// "0003:0483:0157.": the start of the name of every HID device of that identity on bus USB.
std::string HidDevicePrefix(std::uint16_t vendorId, std::uint16_t productId);

// The uhid HID devices of that identity there are now (their directory names).
std::set<std::string> UhidHidDevices(const std::filesystem::path& sysRoot, std::uint16_t vendorId,
                                     std::uint16_t productId);

// Whether a uhid HID device of that identity that was not among before has its hidraw node.
bool NewUhidHidrawPresent(const std::filesystem::path& sysRoot, std::uint16_t vendorId,
                          std::uint16_t productId, const std::set<std::string>& before);

// Whether the device attached to vhci-hcd's port (numbered as in its status file) has the
// hidraw node of a HID device of that identity on its first interface.
bool VhciHidrawPresent(const std::filesystem::path& sysRoot, unsigned port, std::uint16_t vendorId,
                       std::uint16_t productId);

}  // namespace kdsp::usbmodel
