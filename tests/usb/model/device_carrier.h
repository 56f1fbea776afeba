// SPDX-License-Identifier: GPL-3.0-or-later
// One plug of the processor into the kernel, whichever way it is made (uhid or USB/IP): what the
// program's event loop waits on, feeds and finally unplugs.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kdsp::usbmodel {

class DeviceCarrier {
 public:
  virtual ~DeviceCarrier() = default;

  // The descriptor that becomes readable when the kernel has something for the device.
  virtual int pollFd() const = 0;
  // Reads everything the kernel sent and answers it. false: the kernel let go of the device or
  // the link broke (error says which); the caller unplugs the carrier then.
  virtual bool service(std::string* error) = 0;
  // Hands one input report (kReportBytes, no report ID) to the kernel.
  virtual bool deliver(std::span<const std::uint8_t> report, std::string* error) = 0;
  // The kernel has taken the device: uhid started it, or the host chose its configuration.
  virtual bool enumerated() const = 0;
  // The HID core has registered the device's hidraw node (it shows in sysfs).
  virtual bool hidrawPresent() const = 0;
  // Input reports handed over that the host has not fetched yet.
  virtual bool holdsReports() const = 0;
  // Takes the device out of the kernel and closes the carrier; calling it again does nothing.
  // Failures of a device already gone are not errors; error says what else went wrong.
  virtual bool unplug(std::string* error) = 0;
};

}  // namespace kdsp::usbmodel
