// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding a stream of records into the lines kdspctl decode prints.
#include "record_decode.h"

#include <cstdio>
#include <string_view>

#include "device/command_codes.h"
#include "device/record_codec.h"
#include "device/record_receiver.h"

namespace kdsp::tools {
namespace {

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (std::uint8_t b : bytes) {
    const auto h = device::ByteToHex(b);
    if (!out.empty()) out += ' ';
    out.append(h.data(), 2);
  }
  return out;
}

// Noise on the line may hold any byte; a dropped text keeps to one printable line, with
// other bytes (and the backslash) written as \xHH.
std::string Printable(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b >= 0x20 && b < 0x7F && c != '\\') {
      out += c;
    } else {
      const auto h = device::ByteToHex(b);
      out += "\\x";
      out.append(h.data(), 2);
    }
  }
  return out;
}

std::string_view ReasonText(device::RecordReceiver::DropReason reason) {
  switch (reason) {
    case device::RecordReceiver::DropReason::kChecksum:
      return "checksum error";
    case device::RecordReceiver::DropReason::kTruncated:
      return "truncated";
    case device::RecordReceiver::DropReason::kTooLong:
      return "length too large";
  }
  return "dropped";
}

}  // namespace

std::string DescribeRecord(std::uint8_t command, std::span<const std::uint8_t> payload) {
  const std::string_view name = device::CommandName(command);
  char head[96];
  std::snprintf(head, sizeof head, "record %3u 0x%02X %-20s length %3zu  ", command, command,
                name.empty() ? "(unknown)" : std::string(name).c_str(), payload.size());
  return head + Hex(payload);
}

std::string DecodeRecordStream(std::span<const std::uint8_t> bytes) {
  std::string out;
  device::RecordReceiver receiver(
      [&out](std::uint8_t command, std::span<const std::uint8_t> payload) {
        out += DescribeRecord(command, payload);
        out += '\n';
      },
      [&out](device::RecordReceiver::DropReason reason, std::string_view text) {
        out += "dropped (";
        out += ReasonText(reason);
        out += "): ";
        out += Printable(text);
        out += '\n';
      });
  receiver.receiveStream(bytes);
  if (receiver.holdsPartialRecord()) out += "dropped (incomplete at end of input)\n";
  return out;
}

}  // namespace kdsp::tools
