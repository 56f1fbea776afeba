// The simulated processor as a USB HID device: vendor 0x0483, product 0x0157, 65-byte reports.
// Output reports carry the PC's records to the simulator; its replies come back as input reports.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>

#include "device/virtual_hid_platform.h"
#include "sim/simulated_processor.h"

namespace kdsp::sim {

inline constexpr std::uint16_t kSimulatedReportLength = 65;

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
  struct Pending {
    std::chrono::steady_clock::time_point due;
    std::vector<std::uint8_t> report;
  };
  void schedule(const SimReply& reply);
  void releaseDue();

  SimulatedProcessor processor_;
  std::deque<Pending> pending_;  // in sending order; due times never decrease
  QTimer releaseTimer_;
  bool dropReported_ = false;
};

// The input report that carries one reply record: report ID 0, the text's length, the text.
std::vector<std::uint8_t> InputReportFor(std::string_view text);

}  // namespace kdsp::sim
