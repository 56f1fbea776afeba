// SPDX-License-Identifier: GPL-3.0-or-later
// The transport under SendRecord: the open processor's HID output report, or the WiFi socket's
// text, whichever the link is in.
#pragma once

#include "device/link_state.h"
#include "device/transport.h"

namespace kdsp::device {

class HidDevice;
class TcmSocket;

class LinkTransport : public Transport {
 public:
  LinkTransport(const LinkState& state, TcmSocket& socket) : state_(state), socket_(socket) {}

  void setDevice(HidDevice* device) { device_ = device; }
  HidDevice* device() const { return device_; }

  TransmitResult transmit(const EncodedRecord& record) override;

 private:
  const LinkState& state_;
  TcmSocket& socket_;
  HidDevice* device_ = nullptr;
};

}  // namespace kdsp::device
