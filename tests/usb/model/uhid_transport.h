// SPDX-License-Identifier: GPL-3.0-or-later
// The processor plugged in through /dev/uhid: the kernel's uhid driver creates a HID device of
// bus USB from the events written here and hands back its output reports and report requests.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "device_carrier.h"
#include "uhid_function.h"
#include "usb_hid_descriptors.h"

namespace kdsp::usbmodel {

inline constexpr std::string_view kUhidPath = "/dev/uhid";

class UhidTransport : public DeviceCarrier {
 public:
  using OutputReport = std::function<void(std::span<const std::uint8_t> data)>;

  // Opens /dev/uhid and asks for the device; nothing (and error says why) when that fails.
  static std::unique_ptr<UhidTransport> Plug(const UsbDeviceIdentity& identity,
                                             OutputReport onOutputReport, std::string* error);
  ~UhidTransport() override;

  int pollFd() const override { return fd_; }
  bool service(std::string* error) override;
  bool deliver(std::span<const std::uint8_t> report, std::string* error) override;
  bool enumerated() const override { return function_.started(); }
  bool hidrawPresent() const override;
  bool holdsReports() const override { return false; }
  bool unplug(std::string* error) override;

 private:
  UhidTransport(int fd, const UsbDeviceIdentity& identity) : fd_(fd), identity_(identity) {}

  int fd_;
  const UsbDeviceIdentity identity_;
  // The uhid HID devices of this identity before this one was asked for.
  std::set<std::string> before_;
  UhidFunction function_;
};

}  // namespace kdsp::usbmodel
