// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the plugged device's hidraw node in sysfs.
#include "hidraw_presence.h"

#include <cstdio>
#include <system_error>

namespace kdsp::usbmodel {
namespace {

namespace fs = std::filesystem;

bool HasHidraw(const fs::path& hidDevice) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(hidDevice / "hidraw", ec))
    if (entry.path().filename().string().starts_with("hidraw")) return true;
  return false;
}

// The HID devices of the identity directly in folder.
std::set<std::string> HidDevicesIn(const fs::path& folder, const std::string& prefix) {
  std::set<std::string> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix)) found.insert(name);
  }
  return found;
}

}  // namespace

std::string HidDevicePrefix(std::uint16_t vendorId, std::uint16_t productId) {
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "0003:%04X:%04X.", vendorId, productId);
  return prefix;
}

std::set<std::string> UhidHidDevices(const fs::path& sysRoot, std::uint16_t vendorId,
                                     std::uint16_t productId) {
  return HidDevicesIn(sysRoot / "devices/virtual/misc/uhid", HidDevicePrefix(vendorId, productId));
}

bool NewUhidHidrawPresent(const fs::path& sysRoot, std::uint16_t vendorId, std::uint16_t productId,
                          const std::set<std::string>& before) {
  const fs::path folder = sysRoot / "devices/virtual/misc/uhid";
  for (const std::string& name : HidDevicesIn(folder, HidDevicePrefix(vendorId, productId)))
    if (!before.contains(name) && HasHidraw(folder / name)) return true;
  return false;
}

bool VhciHidrawPresent(const fs::path& sysRoot, unsigned port, std::uint16_t vendorId,
                       std::uint16_t productId) {
  // Root hub ports count from 1; the status file's port numbers of the first host controller
  // count from 0.
  const std::string suffix = std::string("-").append(std::to_string(port + 1));
  const std::string prefix = HidDevicePrefix(vendorId, productId);
  std::error_code ec;
  for (const auto& bus : fs::directory_iterator(sysRoot / "devices/platform/vhci_hcd.0", ec)) {
    const std::string busName = bus.path().filename().string();
    if (!busName.starts_with("usb")) continue;
    const std::string device = busName.substr(3) + suffix;
    const fs::path interface = bus.path() / device / (device + ":1.0");
    for (const std::string& hid : HidDevicesIn(interface, prefix))
      if (HasHidraw(interface / hid)) return true;
  }
  return false;
}

}  // namespace kdsp::usbmodel
