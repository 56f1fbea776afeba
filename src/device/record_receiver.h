// SPDX-License-Identifier: GPL-3.0-or-later
// Receiving records: cuts the bytes of each input event into records, joins a record split
// across two events, checks every checksum and hands the good records on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace kdsp::device {

class RecordReceiver {
 public:
  // Called once per valid record, in the order the records arrived.
  using Handler = std::function<void(std::uint8_t command, std::span<const std::uint8_t> payload)>;
  // Why a record was dropped; for tools that show the processor's traffic.
  enum class DropReason { kChecksum, kTruncated, kTooLong };
  using DropHandler = std::function<void(DropReason reason, std::string_view text)>;

  explicit RecordReceiver(Handler handler, DropHandler onDrop = {})
      : handler_(std::move(handler)), onDrop_(std::move(onDrop)) {}

  // One HID input report without its report ID: a count byte, then that many text bytes.
  void receiveReport(std::span<const std::uint8_t> report);
  // Raw bytes of the socket stream.
  void receiveStream(std::span<const std::uint8_t> bytes);

  // The beginning of a record whose CR has not arrived yet is held.
  bool holdsPartialRecord() const { return pendingLength_ > 0; }

 private:
  // The text of one input event, zero-terminated.
  static constexpr std::size_t kEventCapacity = 1023;
  static constexpr std::size_t kPayloadCapacity = 1024;

  enum class Kind { kReport, kStream };
  void receive(Kind kind, std::span<const std::uint8_t> bytes);
  void processEvent(Kind kind, std::span<const std::uint8_t> bytes);
  const std::uint8_t* extractRecord(const std::uint8_t* text, const std::uint8_t* end);
  // Parses the record at start and returns how many characters it took.
  std::size_t parseRecord(const std::uint8_t* start, const std::uint8_t* end);

  Handler handler_;
  DropHandler onDrop_;
  std::array<std::uint8_t, kEventCapacity + 1> event_{};
  std::array<std::uint8_t, 2 * kEventCapacity + 2> partial_{};
  std::size_t pendingLength_ = 0;
  std::size_t partialTextLength_ = 0;
  bool fromPartial_ = false;
  std::array<std::uint8_t, kPayloadCapacity> payload_{};

  // A handler may run a modal loop in which further input arrives; such input waits here until
  // the event being handled is finished, so the buffers above are never reused mid-parse.
  bool busy_ = false;
  std::deque<std::pair<Kind, std::vector<std::uint8_t>>> queued_;
};

}  // namespace kdsp::device
