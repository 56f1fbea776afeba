// SPDX-License-Identifier: GPL-3.0-or-later
// Between a link and its transport once a run is told to stop: a record that would write to the
// processor is not sent any more, so an upload under way ends before its store record and the
// slot keeps what it held. Greetings and read requests still go: they change nothing.
#pragma once

#include <atomic>

#include "device/transport.h"

namespace kdsp::device {
class DeviceLink;
}

namespace kdsp::tools {

class StopGate : public device::Transport {
 public:
  // Stands between the link's sender and its transport until it goes. The link must outlive it.
  StopGate(device::DeviceLink& link, const std::atomic<bool>& stop);
  ~StopGate() override;
  StopGate(const StopGate&) = delete;
  StopGate& operator=(const StopGate&) = delete;

  device::TransmitResult transmit(const device::EncodedRecord& record) override;

 private:
  device::DeviceLink& link_;
  const std::atomic<bool>& stop_;
  device::Transport* next_;
};

// Whether a record of this command leaves the processor as it was.
bool LeavesProcessorUnchanged(std::uint8_t command);

}  // namespace kdsp::tools
