// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor's reports in their bus form.
#include "processor_reports.h"

#include <algorithm>

#include "usb_hid_descriptors.h"

namespace kdsp::usbmodel {

static_assert(sim::kSimulatedReportLength == kReportBytes + 1,
              "the program's reports are the bus reports behind a report ID byte");

ProcessorReports::ProcessorReports(sim::SimulatedProcessor* processor) : processor_(processor) {}

void ProcessorReports::beginLink() {
  schedule_.clear();
  if (processor_) processor_->beginLink();
}

void ProcessorReports::outputReport(std::span<const std::uint8_t> data, Clock::time_point now) {
  if (!processor_ || processor_->linkDropped()) return;
  // The report as the program wrote it: its ID byte 0, then the data.
  std::vector<std::uint8_t> report(1 + data.size(), 0);
  std::copy(data.begin(), data.end(), report.begin() + 1);
  const std::span<const std::uint8_t> text = sim::OutputReportText(report);
  if (text.empty()) return;
  for (const sim::SimReply& reply : processor_->receive(text)) schedule_.add(reply, now);
}

std::vector<std::vector<std::uint8_t>> ProcessorReports::takeDue(Clock::time_point now) {
  std::vector<std::vector<std::uint8_t>> due = schedule_.takeDue(now);
  // The report ID 0 stays behind: the descriptor declares none, so it never travels.
  for (std::vector<std::uint8_t>& report : due) report.erase(report.begin());
  return due;
}

bool ProcessorReports::dropComplete() const {
  return processor_ && processor_->linkDropped() && schedule_.empty();
}

}  // namespace kdsp::usbmodel
