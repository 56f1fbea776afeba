// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the record receiver: the first byte picks HID reports or the socket stream, and its
// bits with each following byte decide where the rest is cut into input events.
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/record_receiver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool reports = (data[0] & 1) != 0;
  std::span<const std::uint8_t> rest(data + 1, size - 1);

  std::size_t records = 0;
  kdsp::device::RecordReceiver receiver(
      [&](std::uint8_t, std::span<const std::uint8_t> payload) {
        // Touch every payload byte so that a view past the buffer is reported.
        volatile std::uint8_t sum = 0;
        for (std::uint8_t b : payload) sum = sum + b;
        ++records;
      },
      [](kdsp::device::RecordReceiver::DropReason, std::string_view text) {
        volatile char last = text.empty() ? 0 : text.back();
        (void)last;
      });

  // Each event takes a length byte, then that many bytes: a report of at most 65 bytes, as the
  // HID endpoint delivers them; a stream read of up to 255 times 1..8 bytes, so that reads
  // longer than one event are cut by the receiver too.
  const std::size_t scale = (data[0] >> 1) & 7;
  while (!rest.empty()) {
    std::size_t length = rest[0];
    rest = rest.subspan(1);
    if (reports)
      length %= 66;
    else
      length = length * (scale + 1);
    length = std::min(length, rest.size());
    const auto event = rest.first(length);
    if (reports)
      receiver.receiveReport(event);
    else
      receiver.receiveStream(event);
    rest = rest.subspan(length);
  }
  (void)receiver.holdsPartialRecord();
  return 0;
}
