// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and reading traffic files.
#include "device/traffic_log.h"

#include <algorithm>
#include <optional>

namespace kdsp::device {
namespace {

constexpr std::string_view kSendWord = "send";
constexpr std::string_view kReceiveWord = "recv";

bool IsUpperHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// The fields of a line, split at runs of spaces and tabs.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) return fields;
    const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
    fields.push_back(line.substr(at, end - at));
    at = end;
  }
}

std::optional<std::uint8_t> ByteField(std::string_view field) {
  if (field.size() != 2 || !IsUpperHexDigit(field[0]) || !IsUpperHexDigit(field[1]))
    return std::nullopt;
  return HexToByte(field[0], field[1]);
}

// The record on one line, or why there is none.
std::optional<TrafficRecord> ParseLine(std::string_view line, std::string& why) {
  const std::vector<std::string_view> fields = Fields(line);
  TrafficRecord record;
  if (fields[0] == kSendWord) {
    record.direction = TrafficDirection::kSend;
  } else if (fields[0] == kReceiveWord) {
    record.direction = TrafficDirection::kReceive;
  } else {
    why = std::string("'").append(fields[0]).append("' is neither send nor recv");
    return std::nullopt;
  }
  if (fields.size() < 2) {
    why = "no command code";
    return std::nullopt;
  }
  if (fields.size() - 2 > kMaxPayload) {
    why = "a payload of " + std::to_string(fields.size() - 2) + " bytes; a record carries " +
          std::to_string(kMaxPayload) + " at most";
    return std::nullopt;
  }
  for (std::size_t i = 1; i < fields.size(); ++i) {
    const auto byte = ByteField(fields[i]);
    if (!byte) {
      why =
          std::string("'").append(fields[i]).append("' is not a byte in two uppercase hex digits");
      return std::nullopt;
    }
    if (i == 1)
      record.command = *byte;
    else
      record.payload.push_back(*byte);
  }
  return record;
}

void AppendByte(std::string& out, std::uint8_t byte) {
  const auto hex = ByteToHex(byte);
  out += ' ';
  out += hex[0];
  out += hex[1];
}

}  // namespace

std::string FormatTrafficLine(const TrafficRecord& record) {
  std::string line(record.direction == TrafficDirection::kSend ? kSendWord : kReceiveWord);
  AppendByte(line, record.command);
  for (std::uint8_t byte : record.payload) AppendByte(line, byte);
  return line;
}

std::string FormatTraffic(std::string_view description, std::span<const TrafficRecord> records) {
  std::string text;
  if (description.ends_with('\n')) description.remove_suffix(1);
  for (std::size_t at = 0; !description.empty();) {
    const std::size_t end = std::min(description.find('\n', at), description.size());
    const std::string_view line = description.substr(at, end - at);
    text += line.empty() ? "#" : "# ";
    text += line;
    text += '\n';
    if (end == description.size()) break;
    at = end + 1;
  }
  for (const TrafficRecord& record : records) text += FormatTrafficLine(record) + '\n';
  return text;
}

ParsedTraffic ParseTraffic(std::string_view text) {
  ParsedTraffic parsed;
  std::size_t at = 0;
  for (int number = 1; at < text.size(); ++number) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos || line.starts_with('#')) continue;
    std::string why;
    auto record = ParseLine(line, why);
    if (!record) {
      parsed.error = "line " + std::to_string(number) + ": " + why;
      return parsed;
    }
    parsed.records.push_back(std::move(*record));
  }
  return parsed;
}

TrafficRecord SentTraffic(const EncodedRecord& record) {
  // ":" CC LLLL payload SS CR LF; a valid record's length field always matches its text.
  const std::string_view text = record.textView();
  TrafficRecord traffic;
  if (!record.valid()) return traffic;
  traffic.command = HexToByte(text[1], text[2]);
  const std::size_t length =
      (std::size_t{HexToByte(text[3], text[4])} << 8) | HexToByte(text[5], text[6]);
  for (std::size_t i = 0; i < length; ++i)
    traffic.payload.push_back(HexToByte(text[7 + 2 * i], text[8 + 2 * i]));
  return traffic;
}

}  // namespace kdsp::device
