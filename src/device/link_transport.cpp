// SPDX-License-Identifier: GPL-3.0-or-later
// Handing records to the HID device or the socket.
#include "device/link_transport.h"

#include "device/hid_device.h"
#include "device/tcm_socket.h"

namespace kdsp::device {

TransmitResult LinkTransport::transmit(const EncodedRecord& record) {
  if (state_.wifiMode) {
    // Counted whether or not it went out: a socket that is not up yet holds the records back
    // from the processor, and the acknowledgement waits then run into their limit.
    if (socket_.Active()) {
      const auto text = record.text();
      if (!socket_.Send(text.data(), static_cast<int>(text.size()))) socket_.SetActive(false);
    }
    return TransmitResult::kHandedOver;
  }
  if (device_ == nullptr) return TransmitResult::kDiscarded;
  const std::size_t reportLength = device_->GetCaps().OutputReportByteLength;
  if (!record.fitsReport(reportLength)) return TransmitResult::kTooLarge;
  device_->WriteFile(record.report(reportLength));
  return TransmitResult::kHandedOver;
}

}  // namespace kdsp::device
