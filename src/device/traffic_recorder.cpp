// SPDX-License-Identifier: GPL-3.0-or-later
// Recording a device link's traffic.
#include "device/traffic_recorder.h"

#include "device/device_link.h"

namespace kdsp::device {

TrafficRecorder::TrafficRecorder(DeviceLink& link)
    : link_(link), next_(link.replaceTransport(this)) {
  link_.setReplyTap([this](std::uint8_t command, std::span<const std::uint8_t> payload) {
    records_.push_back({TrafficDirection::kReceive, command, {payload.begin(), payload.end()}});
  });
}

TrafficRecorder::~TrafficRecorder() {
  link_.setReplyTap(nullptr);
  link_.replaceTransport(next_);
}

TransmitResult TrafficRecorder::transmit(const EncodedRecord& record) {
  // Recorded before it goes, so a reply handled at once still follows it.
  records_.push_back(SentTraffic(record));
  const TransmitResult result =
      next_ != nullptr ? next_->transmit(record) : TransmitResult::kDiscarded;
  if (result != TransmitResult::kHandedOver) records_.pop_back();
  return result;
}

std::string TrafficRecorder::text(std::string_view description) const {
  return FormatTraffic(description, records_);
}

}  // namespace kdsp::device
