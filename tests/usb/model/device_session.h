// SPDX-License-Identifier: GPL-3.0-or-later
// What kdsp-usb-device does between its event loop and the kernel: plugs the device in and out on
// command, tells when the kernel has it, passes output reports to the processor and its replies
// back as they fall due, and unplugs by itself once a dropped link has answered its last record.
// Time is given, not read, so every step can be driven without waiting.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device_carrier.h"
#include "processor_reports.h"

namespace kdsp::usbmodel {

class DeviceSession {
 public:
  using Clock = std::chrono::steady_clock;
  using OutputSink = std::function<void(std::span<const std::uint8_t> data)>;
  // Makes one plug of the device; its output reports go to the sink. Nothing (and error says
  // why) when the kernel cannot be given the device.
  using CarrierFactory =
      std::function<std::unique_ptr<DeviceCarrier>(OutputSink sink, std::string* error)>;
  using Print = std::function<void(std::string_view line)>;

  // After a dropped link has answered its last record, the replies the host has not fetched
  // get this long before the device unplugs anyway.
  static constexpr std::chrono::milliseconds kDropGrace{1000};
  // Once the kernel has the device, how often its hidraw node is looked for, and how long
  // before "plugged" is printed without it (with a warning).
  static constexpr std::chrono::milliseconds kNodePoll{10};
  static constexpr std::chrono::milliseconds kNodeWait{10000};

  // print writes a line to standard output, warn one to standard error.
  DeviceSession(ProcessorReports& reports, CarrierFactory factory, Print print, Print warn);

  // Presents the device as a new one ("plugged" follows once the kernel has it and its hidraw
  // node is registered). false when it could not be ("plug failed", and a warning why).
  bool plug(Clock::time_point now);
  // Removes the device and prints "unplugged" (also when it was not plugged).
  void unplug();
  // The carrier's descriptor became readable.
  void carrierReadable(Clock::time_point now);
  // Lets out the replies due by now; unplugs a dropped link that is done.
  void tick(Clock::time_point now);
  // One line of standard input; false for "quit".
  bool command(std::string_view line, Clock::time_point now);

  // The descriptor to wait on; -1 when unplugged.
  int pollFd() const { return carrier_ ? carrier_->pollFd() : -1; }
  // When tick has something to do next; nothing when only input can bring work.
  std::optional<Clock::time_point> nextWake() const;
  bool plugged() const { return carrier_ != nullptr; }

 private:
  void lost(const std::string& why);
  void announce(Clock::time_point now);

  ProcessorReports& reports_;
  CarrierFactory factory_;
  Print print_;
  Print warn_;
  std::unique_ptr<DeviceCarrier> carrier_;
  bool announced_ = false;
  std::optional<Clock::time_point> enumeratedAt_;
  Clock::time_point now_{};
  std::optional<Clock::time_point> dropSince_;
};

}  // namespace kdsp::usbmodel
