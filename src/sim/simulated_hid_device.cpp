// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor behind a virtual HID device.
#include "sim/simulated_hid_device.h"

#include <algorithm>
#include <chrono>

#include "core/usb_identity.h"

namespace kdsp::sim {
namespace {

device::VirtualHidDevice::Identity ProcessorIdentity() {
  device::VirtualHidDevice::Identity identity;
  identity.vendorId = core::kProcessorVendorId;
  identity.productId = core::kProcessorProductId;
  identity.versionNumber = 0x0100;
  identity.manufacturer = "Karaoke DSP Control";
  identity.product = "Simulated processor";
  identity.serialNumber = "SIM-0001";
  return identity;
}

device::HidCaps ProcessorCaps() {
  device::HidCaps caps;
  caps.InputReportByteLength = kSimulatedReportLength;
  caps.OutputReportByteLength = kSimulatedReportLength;
  return caps;
}

}  // namespace

SimulatedHidDevice::SimulatedHidDevice(SimOptions options)
    : VirtualHidDevice(ProcessorIdentity(), ProcessorCaps()), processor_(options) {
  releaseTimer_.setSingleShot(true);
  connect(&releaseTimer_, &QTimer::timeout, this, &SimulatedHidDevice::releaseDue);
  processor_.beginLink();
}

void SimulatedHidDevice::writeOutputReport(std::span<const std::uint8_t> report) {
  const std::span<const std::uint8_t> text = OutputReportText(report);
  if (text.empty() || processor_.linkDropped()) return;
  const auto now = std::chrono::steady_clock::now();
  for (const SimReply& reply : processor_.receive(text)) schedule_.add(reply, now);
  releaseDue();
  if (processor_.linkDropped() && !dropReported_) {
    dropReported_ = true;
    QTimer::singleShot(0, this, [this] {
      if (onLinkDropped) onLinkDropped();
    });
  }
}

void SimulatedHidDevice::releaseDue() {
  const auto now = std::chrono::steady_clock::now();
  for (std::vector<std::uint8_t>& report : schedule_.takeDue(now))
    pushInputReport(std::move(report));
  if (const auto due = schedule_.nextDue()) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - now);
    releaseTimer_.start(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(0)));
  }
}

}  // namespace kdsp::sim
