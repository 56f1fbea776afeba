// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of record framing: the text, HID-report and socket forms, byte for byte.
#include "device/record_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kdsp::device {
namespace {

std::string Text(std::uint8_t command, std::vector<std::uint8_t> payload) {
  return std::string(EncodedRecord(command, payload).textView());
}

TEST(RecordCodec, WorkedExamples) {
  struct Case {
    std::uint8_t command;
    std::vector<std::uint8_t> payload;
    std::string text;
    std::uint8_t count;
  };
  const Case cases[] = {
      {0xE5, {0x00}, ":E50001001A\r\n", 15},
      {0xE0, {0xF0, 0x00}, ":E00002F0002E\r\n", 17},
      {0xF0, {0x01}, ":F00001010E\r\n", 15},
      {0x12, {}, ":120000EE\r\n", 13},
      {0xA9,
       {0x1C, 0x1E, 0x00, 0x83, 0x00, 0x09, 0x00, 0x01, 0x00},
       ":A900091C1E0083000900010087\r\n",
       31},
  };
  for (const Case& c : cases) {
    const EncodedRecord record(c.command, c.payload);
    EXPECT_EQ(record.textView(), c.text);
    EXPECT_EQ(record.text().size(), 2 * c.payload.size() + 11);
    EXPECT_EQ(record.total(), c.count);
    const auto report = record.report(65);
    EXPECT_EQ(report[0], 0x00);
    EXPECT_EQ(report[1], c.count);
    EXPECT_EQ(std::string(report.begin() + 2, report.begin() + record.total()), c.text);
    for (std::size_t i = record.total(); i < 65; ++i) EXPECT_EQ(report[i], 0) << i;
  }
}

TEST(RecordCodec, ChecksumMakesTheSumZero) {
  const std::vector<std::uint8_t> payload = {0x57, 3, 0xFF, 0x80, 0x01, 0xAA};
  unsigned sum = 0xE1 + 0 + payload.size() + RecordChecksum(0xE1, payload);
  for (auto b : payload) sum += b;
  EXPECT_EQ(sum % 256, 0u);
}

TEST(RecordCodec, ChunkOf26BytesFillsA65ByteReport) {
  const std::vector<std::uint8_t> payload(26, 0xAB);
  const EncodedRecord record(0xE1, payload);
  EXPECT_EQ(record.total(), 65u);
  EXPECT_EQ(record.text().size(), 63u);
  EXPECT_TRUE(record.fitsReport(65));
  EXPECT_FALSE(record.fitsReport(64));
}

TEST(RecordCodec, CountByteWrapsModulo256) {
  const std::vector<std::uint8_t> payload(130, 0);  // 2 * 130 + 13 = 273
  const EncodedRecord record(0x01, payload);
  EXPECT_EQ(record.total(), 273u);
  EXPECT_EQ(record.report(273)[1], 273 % 256);
  EXPECT_EQ(Text(0x01, payload).substr(0, 7), ":010082");
}

TEST(RecordCodec, PayloadsBeyondTheBufferAreRefused) {
  EXPECT_TRUE(EncodedRecord(0x01, std::vector<std::uint8_t>(kMaxPayload, 0)).valid());
  EXPECT_FALSE(EncodedRecord(0x01, std::vector<std::uint8_t>(kMaxPayload + 1, 0)).valid());
}

TEST(HexDigits, RoundTripAndProcessorRule) {
  for (int v = 0; v < 256; ++v) {
    const auto hex = ByteToHex(static_cast<std::uint8_t>(v));
    EXPECT_TRUE((hex[0] >= '0' && hex[0] <= '9') || (hex[0] >= 'A' && hex[0] <= 'F'));
    EXPECT_EQ(HexToByte(hex[0], hex[1]), v);
  }
  // Characters other than digits and uppercase A-F decode by the same arithmetic.
  EXPECT_EQ(HexToByte('a', 'f'), static_cast<std::uint8_t>((('a' - 0x37) << 4) | ('f' - 0x37)));
  EXPECT_EQ(HexToByte(':', '0'), static_cast<std::uint8_t>((':' - 0x30) << 4));
}

}  // namespace
}  // namespace kdsp::device
