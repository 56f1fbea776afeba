// SPDX-License-Identifier: GPL-3.0-or-later
// The processor plugged into the kernel's virtual host controller (vhci-hcd) as a full-speed USB
// device: a loopback TCP connection is made, its far end handed to vhci-hcd through the attach
// file, and this end answers the URBs the kernel submits over it in USB/IP.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "device_carrier.h"
#include "usb_hid_descriptors.h"
#include "usbip_device.h"

namespace kdsp::usbmodel {

class UsbipTransport : public DeviceCarrier {
 public:
  using OutputReport = std::function<void(std::span<const std::uint8_t> data)>;

  // Attaches the device at full speed to the lowest free port of vhci-hcd's high-speed hub,
  // with devid in the attach line. Nothing (and error says why) when vhci-hcd is not loaded,
  // every port is taken or the connection cannot be made.
  static std::unique_ptr<UsbipTransport> Plug(const UsbDeviceIdentity& identity, bool outEndpoint,
                                              std::uint32_t devid, OutputReport onOutputReport,
                                              std::string* error);
  ~UsbipTransport() override;

  int pollFd() const override { return fd_; }
  bool service(std::string* error) override;
  bool deliver(std::span<const std::uint8_t> report, std::string* error) override;
  bool enumerated() const override { return enumerated_; }
  bool hidrawPresent() const override;
  bool holdsReports() const override { return device_.function().waitingReports() > 0; }
  bool unplug(std::string* error) override;

  unsigned port() const { return port_; }

 private:
  UsbipTransport(int fd, const UsbDeviceIdentity& identity, bool outEndpoint, std::uint32_t devid);

  int fd_;
  const UsbDeviceIdentity identity_;
  unsigned port_ = 0;
  bool attached_ = false;
  const std::uint32_t devid_;
  bool enumerated_ = false;
  UsbipDevice device_;
};

}  // namespace kdsp::usbmodel
