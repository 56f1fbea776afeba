// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor's HID reports: the input report that carries one reply record, the
// record text an output report carries, and the queue that lets replies out when they are due.
// Transport-free: the virtual HID device and the kernel-side device models carry these bytes.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "sim/sim_options.h"

namespace kdsp::sim {

// Input and output reports are 65 bytes in the program's view: report ID 0 first, then the 64
// bytes the device sends or takes.
inline constexpr std::uint16_t kSimulatedReportLength = 65;

// The input report that carries one reply record: report ID 0, the text's length, the text
// (cut at 63 bytes), zeros up to 65 bytes.
std::vector<std::uint8_t> InputReportFor(std::string_view text);

// The record text in an output report as the program writes it: byte 0 the report ID, byte 1
// the count of the two leading bytes and the text, then the text. A count beyond the report is
// cut at its end; a report with no text (count 2 or less, or shorter than 2 bytes) gives nothing.
std::span<const std::uint8_t> OutputReportText(std::span<const std::uint8_t> report);

// Input reports waiting for their time. A reply is due delayMs after the input that caused it,
// but never before the reply queued ahead of it: replies leave in the order they were made.
class SimReplySchedule {
 public:
  using Clock = std::chrono::steady_clock;

  void add(const SimReply& reply, Clock::time_point now);
  // The reports due by now, in sending order; they leave the queue.
  std::vector<std::vector<std::uint8_t>> takeDue(Clock::time_point now);
  // When the next report falls due; nothing when the queue is empty.
  std::optional<Clock::time_point> nextDue() const;
  bool empty() const { return pending_.empty(); }
  void clear() { pending_.clear(); }

 private:
  struct Pending {
    Clock::time_point due;
    std::vector<std::uint8_t> report;
  };
  std::deque<Pending> pending_;  // due times never decrease
};

}  // namespace kdsp::sim
