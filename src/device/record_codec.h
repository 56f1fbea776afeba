// SPDX-License-Identifier: GPL-3.0-or-later
// The device record: ":" + uppercase hex of command, length, payload and checksum + CR LF, and
// the HID-report and socket forms it travels in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kdsp::device {

// Records are built in a fixed buffer; the largest payload that fits is kMaxPayload bytes.
inline constexpr std::size_t kRecordBufferSize = 1024;
inline constexpr std::size_t kMaxPayload = (kRecordBufferSize - 13) / 2;

// Two characters, high nibble first, digits and uppercase A-F.
std::array<char, 2> ByteToHex(std::uint8_t value);
// Inverse of ByteToHex for digits and uppercase A-F; any other character decodes as the
// processor's own parser would (below 'A' as c - 0x30, else c - 0x37).
std::uint8_t HexToByte(char high, char low);

// The checksum byte: two's complement of the 8-bit sum of command, both length bytes and payload.
std::uint8_t RecordChecksum(std::uint8_t command, std::span<const std::uint8_t> payload);

// One record in the HID output report form: byte 0 the report ID 0, byte 1 the total count
// (2n + 13, modulo 256), then the text form; zeros behind it up to the buffer's end.
class EncodedRecord {
 public:
  // Builds the record. Payloads longer than kMaxPayload are refused: valid() is then false.
  EncodedRecord(std::uint8_t command, std::span<const std::uint8_t> payload);

  bool valid() const { return textLength_ != 0; }
  // Bytes 0 .. total()-1 of the report: report ID, count and text.
  std::size_t total() const { return textLength_ + 2; }
  // The text form, 2n + 11 characters including CR LF: what travels over the socket.
  std::span<const std::uint8_t> text() const { return {buffer_.data() + 2, textLength_}; }
  std::string_view textView() const {
    return {reinterpret_cast<const char*>(buffer_.data() + 2), textLength_};
  }
  // Whether the record fits a device's output report of that length (report ID included).
  bool fitsReport(std::size_t reportLength) const { return total() <= reportLength; }
  // The first reportLength bytes of the report (reportLength <= kRecordBufferSize).
  std::span<const std::uint8_t> report(std::size_t reportLength) const {
    return {buffer_.data(), reportLength};
  }

 private:
  std::array<std::uint8_t, kRecordBufferSize> buffer_{};
  std::size_t textLength_ = 0;
};

}  // namespace kdsp::device
