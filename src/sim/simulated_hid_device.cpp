// The simulated processor behind a virtual HID device.
#include "sim/simulated_hid_device.h"

#include <algorithm>

namespace kdsp::sim {
namespace {

device::VirtualHidDevice::Identity ProcessorIdentity() {
  device::VirtualHidDevice::Identity identity;
  identity.vendorId = 0x0483;
  identity.productId = 0x0157;
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

std::vector<std::uint8_t> InputReportFor(std::string_view text) {
  std::vector<std::uint8_t> report(kSimulatedReportLength, 0);
  const std::size_t n = std::min<std::size_t>(text.size(), kSimulatedReportLength - 2);
  report[1] = static_cast<std::uint8_t>(n);
  std::copy_n(text.begin(), n, report.begin() + 2);
  return report;
}

SimulatedHidDevice::SimulatedHidDevice(SimOptions options)
    : VirtualHidDevice(ProcessorIdentity(), ProcessorCaps()), processor_(options) {
  releaseTimer_.setSingleShot(true);
  connect(&releaseTimer_, &QTimer::timeout, this, &SimulatedHidDevice::releaseDue);
  processor_.beginLink();
}

void SimulatedHidDevice::writeOutputReport(std::span<const std::uint8_t> report) {
  // Byte 0 is the report ID, byte 1 the count of the two leading bytes and the text.
  if (report.size() < 2 || processor_.linkDropped()) return;
  const std::size_t count = std::min<std::size_t>(report[1], report.size());
  if (count <= 2) return;
  for (const SimReply& reply : processor_.receive(report.subspan(2, count - 2))) schedule(reply);
  releaseDue();
  if (processor_.linkDropped() && !dropReported_) {
    dropReported_ = true;
    QTimer::singleShot(0, this, [this] {
      if (onLinkDropped) onLinkDropped();
    });
  }
}

void SimulatedHidDevice::schedule(const SimReply& reply) {
  auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(reply.delayMs);
  if (!pending_.empty()) due = std::max(due, pending_.back().due);
  pending_.push_back({due, InputReportFor(reply.text)});
}

void SimulatedHidDevice::releaseDue() {
  const auto now = std::chrono::steady_clock::now();
  while (!pending_.empty() && pending_.front().due <= now) {
    pushInputReport(std::move(pending_.front().report));
    pending_.pop_front();
  }
  if (!pending_.empty()) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(pending_.front().due - now);
    releaseTimer_.start(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(0)));
  }
}

}  // namespace kdsp::sim
