// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor's HID report forms and the queue of late replies.
#include "sim/sim_hid_reports.h"

#include <algorithm>

namespace kdsp::sim {

std::vector<std::uint8_t> InputReportFor(std::string_view text) {
  std::vector<std::uint8_t> report(kSimulatedReportLength, 0);
  const std::size_t n = std::min<std::size_t>(text.size(), kSimulatedReportLength - 2);
  report[1] = static_cast<std::uint8_t>(n);
  std::copy_n(text.begin(), n, report.begin() + 2);
  return report;
}

std::span<const std::uint8_t> OutputReportText(std::span<const std::uint8_t> report) {
  if (report.size() < 2) return {};
  const std::size_t count = std::min<std::size_t>(report[1], report.size());
  if (count <= 2) return {};
  return report.subspan(2, count - 2);
}

void SimReplySchedule::add(const SimReply& reply, Clock::time_point now) {
  auto due = now + std::chrono::milliseconds(reply.delayMs);
  if (!pending_.empty()) due = std::max(due, pending_.back().due);
  pending_.push_back({due, InputReportFor(reply.text)});
}

std::vector<std::vector<std::uint8_t>> SimReplySchedule::takeDue(Clock::time_point now) {
  std::vector<std::vector<std::uint8_t>> due;
  while (!pending_.empty() && pending_.front().due <= now) {
    due.push_back(std::move(pending_.front().report));
    pending_.pop_front();
  }
  return due;
}

std::optional<SimReplySchedule::Clock::time_point> SimReplySchedule::nextDue() const {
  if (pending_.empty()) return std::nullopt;
  return pending_.front().due;
}

}  // namespace kdsp::sim
