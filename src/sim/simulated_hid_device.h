// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor as a USB HID device: vendor 0x0483, product 0x0157, 65-byte reports.
// Output reports carry the PC's records to the simulator; its replies come back as input reports.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "device/virtual_hid_platform.h"
#include "sim/sim_hid_reports.h"
#include "sim/simulated_processor.h"

namespace kdsp::sim {

class SimulatedHidDevice : public QObject, public device::VirtualHidDevice {
  Q_OBJECT

 public:
  explicit SimulatedHidDevice(SimOptions options = {});

  SimulatedProcessor& processor() { return processor_; }

  // Called on the user-interface thread for every output report the PC writes.
  void writeOutputReport(std::span<const std::uint8_t> report) override;

  // Raised (through the event loop) when the simulator drops the link: the owner unplugs it.
  std::function<void()> onLinkDropped;

 private:
  void releaseDue();

  SimulatedProcessor processor_;
  SimReplySchedule schedule_;
  QTimer releaseTimer_;
  bool dropReported_ = false;
};

}  // namespace kdsp::sim
