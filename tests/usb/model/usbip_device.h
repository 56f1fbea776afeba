// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's USB device speaking USB/IP, on plain state: the bytes the host controller sends
// go in, in pieces of any size; the bytes to send back come out, every answer whole and in the
// order it was made. No I/O: the transport moves the bytes over the socket.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "usb_hid_descriptors.h"
#include "usb_hid_function.h"
#include "usbip_wire.h"

namespace kdsp::usbmodel {

class UsbipDevice {
 public:
  UsbipDevice(UsbDeviceIdentity identity, bool outEndpoint);

  // Takes bytes from the host controller and appends the answers they call for to out.
  // false once the stream is broken (error() says how): the connection cannot go on.
  bool receive(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out);

  // An input report (kReportBytes, no report ID) is ready; appends the answer to the in URB it
  // completes, if one was held.
  void sendInputReport(std::span<const std::uint8_t> report, std::vector<std::uint8_t>& out);

  UsbHidFunction& function() { return function_; }
  const UsbHidFunction& function() const { return function_; }
  const std::string& error() const { return reader_.error(); }

 private:
  UsbHidFunction function_;
  UsbipCommandReader reader_;
};

// A CMD_SUBMIT as the URB the function takes.
Urb UrbFor(const UsbipCommand& submit);
// RET_SUBMIT for an answer: the header, then the data of an in transfer.
void AppendRetSubmit(const UrbAnswer& answer, std::vector<std::uint8_t>& out);

}  // namespace kdsp::usbmodel
