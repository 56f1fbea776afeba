// SPDX-License-Identifier: GPL-3.0-or-later
// Holding back writes once a run is told to stop.
#include "stop_gate.h"

#include "device/command_codes.h"
#include "device/device_link.h"
#include "device/traffic_log.h"

namespace kdsp::tools {

bool LeavesProcessorUnchanged(std::uint8_t command) {
  return command == device::code::kGreeting || command == device::code::kReadBlock;
}

StopGate::StopGate(device::DeviceLink& link, const std::atomic<bool>& stop)
    : link_(link), stop_(stop), next_(link.replaceTransport(this)) {}

StopGate::~StopGate() {
  link_.replaceTransport(next_);
}

device::TransmitResult StopGate::transmit(const device::EncodedRecord& record) {
  if (stop_.load() && !LeavesProcessorUnchanged(device::SentTraffic(record).command))
    return device::TransmitResult::kDiscarded;
  return next_ != nullptr ? next_->transmit(record) : device::TransmitResult::kDiscarded;
}

}  // namespace kdsp::tools
