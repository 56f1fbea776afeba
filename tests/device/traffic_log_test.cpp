// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of traffic files: the line form byte for byte, reading back what was written, the
// reasons a line is refused, and the records a transport is handed read back as traffic.
#include "device/traffic_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/line_diff.h"

namespace kdsp::device {
namespace {

constexpr auto kSend = TrafficDirection::kSend;
constexpr auto kReceive = TrafficDirection::kReceive;

TEST(TrafficLog, LinesNameTheDirectionThenTheCommandAndPayloadInHex) {
  // The line comes first: with the record first, GCC 12 at -O3 takes the payloads of this table
  // for uninitialised (-Wmaybe-uninitialized, a false positive).
  struct Case {
    std::string line;
    TrafficRecord record;
  };
  const Case cases[] = {
      {"send E5 00", {kSend, 0xE5, {0x00}}},
      {"recv F0 01", {kReceive, 0xF0, {0x01}}},
      {"send A9 1C 1E 00 83", {kSend, 0xA9, {0x1C, 0x1E, 0x00, 0x83}}},
      {"send 12", {kSend, 0x12, {}}},
      {"recv 0B FF 0A A0", {kReceive, 0x0B, {0xFF, 0x0A, 0xA0}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatTrafficLine(c.record), c.line);
    const ParsedTraffic parsed = ParseTraffic(c.line);
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.records, std::vector<TrafficRecord>{c.record}) << c.line;
  }
}

TEST(TrafficLog, AFileIsItsDescriptionAsCommentsThenOneLinePerRecord) {
  const std::vector<TrafficRecord> records = {
      {kSend, 0xE5, {0x00}}, {kReceive, 0xF0, {0x01}}, {kReceive, 0xE6, {0x21}}};
  const std::string text = FormatTraffic("A greeting.\n\nAnswered.\n", records);
  EXPECT_EQ(text,
            "# A greeting.\n"
            "#\n"
            "# Answered.\n"
            "send E5 00\n"
            "recv F0 01\n"
            "recv E6 21\n");
  const ParsedTraffic parsed = ParseTraffic(text);
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.records, records);
  EXPECT_EQ(FormatTraffic("", records), "send E5 00\nrecv F0 01\nrecv E6 21\n");
}

TEST(TrafficLog, ReadingSkipsCommentsAndBlankLinesAndTakesCrLfAndRunsOfBlanks) {
  const ParsedTraffic parsed =
      ParseTraffic("# recorded by hand\r\n\r\n  \t\nsend\tE0  F0 00\r\n# the answer\nrecv F0 01");
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.records,
            (std::vector<TrafficRecord>{{kSend, 0xE0, {0xF0, 0x00}}, {kReceive, 0xF0, {0x01}}}));
}

TEST(TrafficLog, AnUnreadableLineIsRefusedWithItsNumberAndReason) {
  std::string tooLong = "send E5";
  for (std::size_t i = 0; i <= kMaxPayload; ++i) tooLong += " 00";
  struct Case {
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"sent E5 00", "line 1: 'sent' is neither send nor recv"},
      {"send E5 00\n# fine\n\nsend", "line 4: no command code"},
      {"recv f0 01", "line 1: 'f0' is not a byte in two uppercase hex digits"},
      {"recv F0 1", "line 1: '1' is not a byte in two uppercase hex digits"},
      {"recv F0 100", "line 1: '100' is not a byte in two uppercase hex digits"},
      {"send E5 0G", "line 1: '0G' is not a byte in two uppercase hex digits"},
      {"send E5 00,", "line 1: '00,' is not a byte in two uppercase hex digits"},
      {tooLong, "line 1: a payload of 506 bytes; a record carries 505 at most"},
  };
  for (const Case& c : cases) {
    const ParsedTraffic parsed = ParseTraffic(c.text);
    EXPECT_EQ(parsed.error, c.error) << c.text.substr(0, 40);
  }
}

TEST(TrafficLog, ARecordHandedToATransportReadsBackAsItsCommandAndPayload) {
  std::vector<std::uint8_t> longest(kMaxPayload);
  for (std::size_t i = 0; i < longest.size(); ++i) longest[i] = static_cast<std::uint8_t>(i * 7);
  const std::vector<std::vector<std::uint8_t>> payloads = {
      {}, {0x00}, {0xF0, 0x00}, {0x57, 0x1D, 0xFF, 0x80, 0x01}, longest};
  for (const auto& payload : payloads) {
    const TrafficRecord sent = SentTraffic(EncodedRecord(0xE1, payload));
    EXPECT_EQ(sent, (TrafficRecord{kSend, 0xE1, payload})) << payload.size() << " bytes";
  }
}

TEST(LineDiff, ShowsTheLinesThatPartWithTheirNumbersAndSomeContext) {
  const std::vector<std::string> recorded = {"send E5 00",    "recv F0 01", "recv E6 21",
                                             "send AF 00 FA", "recv F0 01", "send E2 03 00 00",
                                             "recv F0 01"};
  std::vector<std::string> replayed = recorded;
  EXPECT_EQ(testing::LineDiff(recorded, replayed), "");
  replayed[3] = "send B0 00 FA";
  replayed.push_back("send E5 00");
  EXPECT_EQ(testing::LineDiff(recorded, replayed, 1),
            "@@ -3 +3 @@\n"
            "  recv E6 21\n"
            "- send AF 00 FA\n"
            "+ send B0 00 FA\n"
            "  recv F0 01\n"
            "@@ -7 +7 @@\n"
            "  recv F0 01\n"
            "+ send E5 00\n");
}

}  // namespace
}  // namespace kdsp::device
