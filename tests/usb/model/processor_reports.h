// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor behind the kernel-side device models: the data of each output report
// goes to the processor as record text, and its replies come back as input reports when due.
// Both ways of plugging the device in (uhid and USB/IP) move reports in their bus form, the 64
// bytes without the report ID; this is where they meet the program's 65-byte view.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/sim_hid_reports.h"
#include "sim/simulated_processor.h"

namespace kdsp::usbmodel {

class ProcessorReports {
 public:
  using Clock = std::chrono::steady_clock;

  // processor null: a mute device, which drops its output reports and never answers.
  explicit ProcessorReports(sim::SimulatedProcessor* processor);

  // A new plug: the processor's link starts again (a record begun on the old one is forgotten,
  // the close-after count restarts; slots and working block stay) and replies still waiting for
  // the old plug are dropped.
  void beginLink();

  // The data of one output report, without its report ID. Ignored once the link is dropped.
  void outputReport(std::span<const std::uint8_t> data, Clock::time_point now);

  // The input reports due by now (kReportBytes each, no report ID), in sending order.
  std::vector<std::vector<std::uint8_t>> takeDue(Clock::time_point now);
  std::optional<Clock::time_point> nextDue() const { return schedule_.nextDue(); }

  // The processor dropped the link (its close-after count was reached) and every reply made
  // before that has been taken: the carrier unplugs the device now.
  bool dropComplete() const;

 private:
  sim::SimulatedProcessor* const processor_;
  sim::SimReplySchedule schedule_;
};

}  // namespace kdsp::usbmodel
