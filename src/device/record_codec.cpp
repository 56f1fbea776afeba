// SPDX-License-Identifier: GPL-3.0-or-later
// Building device records.
#include "device/record_codec.h"

namespace kdsp::device {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

std::array<char, 2> ByteToHex(std::uint8_t value) {
  return {kHexDigits[value >> 4], kHexDigits[value & 0x0F]};
}

std::uint8_t HexToByte(char high, char low) {
  const auto nibble = [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return static_cast<unsigned>(u < 0x41 ? u - 0x30 : u - 0x37);
  };
  return static_cast<std::uint8_t>((nibble(high) << 4) | nibble(low));
}

std::uint8_t RecordChecksum(std::uint8_t command, std::span<const std::uint8_t> payload) {
  unsigned sum = command + (payload.size() >> 8) + (payload.size() & 0xFF);
  for (std::uint8_t b : payload) sum += b;
  return static_cast<std::uint8_t>(-sum);
}

EncodedRecord::EncodedRecord(std::uint8_t command, std::span<const std::uint8_t> payload) {
  if (payload.size() > kMaxPayload) return;
  std::size_t at = 2;
  buffer_[at++] = ':';
  const auto put = [&](std::uint8_t byte) {
    const auto hex = ByteToHex(byte);
    buffer_[at++] = static_cast<std::uint8_t>(hex[0]);
    buffer_[at++] = static_cast<std::uint8_t>(hex[1]);
  };
  put(command);
  put(static_cast<std::uint8_t>(payload.size() >> 8));
  put(static_cast<std::uint8_t>(payload.size() & 0xFF));
  for (std::uint8_t b : payload) put(b);
  put(RecordChecksum(command, payload));
  buffer_[at++] = '\r';
  buffer_[at++] = '\n';
  textLength_ = at - 2;
  buffer_[1] = static_cast<std::uint8_t>(at);  // the count covers the two leading bytes too
}

}  // namespace kdsp::device
