// SPDX-License-Identifier: GPL-3.0-or-later
// Records a device link's traffic as it happens: every record the link hands to its transport
// and every valid record the processor sends back, in the order the two met on the wire, for a
// traffic file (see traffic_log.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "device/traffic_log.h"
#include "device/transport.h"

namespace kdsp::device {

class DeviceLink;

class TrafficRecorder : public Transport {
 public:
  // Puts itself between the link's sender and its transport and watches the link's replies,
  // until it goes. The link must outlive it.
  explicit TrafficRecorder(DeviceLink& link);
  ~TrafficRecorder() override;
  TrafficRecorder(const TrafficRecorder&) = delete;
  TrafficRecorder& operator=(const TrafficRecorder&) = delete;

  // Passes the record on and records it if it went out: a record the transport discarded or
  // refused never reached the wire.
  TransmitResult transmit(const EncodedRecord& record) override;

  const std::vector<TrafficRecord>& records() const { return records_; }
  // The traffic so far as a file, headed by the description.
  std::string text(std::string_view description) const;

 private:
  DeviceLink& link_;
  Transport* next_;
  std::vector<TrafficRecord> records_;
};

}  // namespace kdsp::device
