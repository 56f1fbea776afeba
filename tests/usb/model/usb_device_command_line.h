// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of kdsp-usb-device: how the device is plugged in, who it says it is, and the
// simulator options of the processor behind it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/sim_command_line.h"
#include "usb_hid_descriptors.h"

namespace kdsp::usbmodel {

enum class Carrier { kUhid, kUsbip };

struct UsbDeviceCommandLine {
  Carrier carrier = Carrier::kUhid;
  bool outEndpoint = true;  // --usbip only
  UsbDeviceIdentity identity;
  bool mute = false;
  sim::SimProcessorArguments processor;
  bool help = false;
};

struct UsbDeviceCommandLineParse {
  std::optional<UsbDeviceCommandLine> line;  // nothing when the arguments are wrong
  std::string error;                         // why, for the user
};

// The longest --name: it must fit the uhid name (127 bytes) and a string descriptor (126
// UTF-16 units).
inline constexpr std::size_t kMaxNameBytes = 126;

// Parses the arguments after the program name; one of --uhid and --usbip is required (unless
// --help is given).
UsbDeviceCommandLineParse ParseUsbDeviceCommandLine(std::span<const std::string_view> args);

std::string_view UsbDeviceUsage();

}  // namespace kdsp::usbmodel
