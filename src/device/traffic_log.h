// SPDX-License-Identifier: GPL-3.0-or-later
// Device traffic as readable text: one line per record with its direction, command code and
// payload in hex ("send AF 01 2C", "recv F0 01"), so a recorded session can be kept in the
// repository, read in a review and replayed, and a change on the wire shows as a line diff.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/record_codec.h"

namespace kdsp::device {

enum class TrafficDirection {
  kSend,     // from the program to the processor
  kReceive,  // from the processor to the program
};

struct TrafficRecord {
  TrafficDirection direction = TrafficDirection::kSend;
  std::uint8_t command = 0;
  std::vector<std::uint8_t> payload;

  bool operator==(const TrafficRecord&) const = default;
};

// "send" or "recv", the command and every payload byte as two uppercase hex digits, one space
// between; no line end.
std::string FormatTrafficLine(const TrafficRecord& record);

// A whole traffic file: the description as "# " comment lines (one per line of it), then one
// line per record, each ended by LF.
std::string FormatTraffic(std::string_view description, std::span<const TrafficRecord> records);

struct ParsedTraffic {
  std::vector<TrafficRecord> records;
  std::string error;  // "line 7: ...": the first line that is not a record; empty when all were
};

// Reads a traffic file. Lines that are empty or start with '#' are skipped; CR LF line ends are
// taken too. Every other line must be a record as FormatTrafficLine writes it (runs of spaces
// or tabs may separate the fields) with a payload the record format can carry.
ParsedTraffic ParseTraffic(std::string_view text);

// A record as the program hands it to a transport, read back into its command and payload.
TrafficRecord SentTraffic(const EncodedRecord& record);

}  // namespace kdsp::device
