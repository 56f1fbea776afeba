// SPDX-License-Identifier: GPL-3.0-or-later
// The one interface through which records reach the processor: a HID output report or socket text.
#pragma once

#include "device/record_codec.h"

namespace kdsp::device {

enum class TransmitResult {
  kHandedOver,  // written (or, on the socket path, counted as sent): awaits an acknowledgement
  kDiscarded,   // nothing there to take it (no device open): not counted
  kTooLarge,    // longer than the device's output report: not sent, not counted
};

class Transport {
 public:
  virtual ~Transport() = default;
  virtual TransmitResult transmit(const EncodedRecord& record) = 0;
};

}  // namespace kdsp::device
