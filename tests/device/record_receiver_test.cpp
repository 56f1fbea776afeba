// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the record receiver: HID reports and the socket stream, split records, checksum and
// bounds drops.
#include "device/record_receiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/record_codec.h"

namespace kdsp::device {
namespace {

struct Received {
  std::uint8_t command;
  std::vector<std::uint8_t> payload;
  bool operator==(const Received&) const = default;
};

class ReceiverTest : public ::testing::Test {
 protected:
  RecordReceiver receiver{
      [this](std::uint8_t c, std::span<const std::uint8_t> p) {
        records.push_back({c, {p.begin(), p.end()}});
      },
      [this](RecordReceiver::DropReason r, std::string_view) { drops.push_back(r); }};
  std::vector<Received> records;
  std::vector<RecordReceiver::DropReason> drops;

  void stream(std::string_view text) {
    receiver.receiveStream({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  }
  // An input report of 64 bytes after the report ID: count byte, text, zeros.
  void report(std::string_view text, int count = -1) {
    std::vector<std::uint8_t> bytes(64, 0);
    bytes[0] = static_cast<std::uint8_t>(count < 0 ? text.size() : count);
    std::copy(text.begin(), text.end(), bytes.begin() + 1);
    receiver.receiveReport(bytes);
  }
};

const Received kAck{0xF0, {0x01}};
const Received kVersion{0xE6, {0x21}};

std::string Rec(std::uint8_t command, std::vector<std::uint8_t> payload) {
  return std::string(EncodedRecord(command, payload).textView());
}

TEST_F(ReceiverTest, TwoRecordsInOneEventArriveInOrder) {
  stream(":F00001010E\r\n" + Rec(0xE6, {0x21}));
  EXPECT_EQ(records, (std::vector<Received>{kAck, kVersion}));
}

TEST_F(ReceiverTest, WrongChecksumIsDroppedAndTheNextStillArrives) {
  stream(":F00001010F\r\n:F00001010E\r\n");
  EXPECT_EQ(records, (std::vector<Received>{kAck}));
  EXPECT_EQ(drops, (std::vector{RecordReceiver::DropReason::kChecksum}));
}

TEST_F(ReceiverTest, SplitRecordIsJoinedAtTheSecondEventBeforeItsOtherRecords) {
  stream("xx:E6000");
  EXPECT_TRUE(records.empty());
  EXPECT_TRUE(receiver.holdsPartialRecord());
  stream("121F8\r\n:F00001010E\r\n");
  EXPECT_EQ(records, (std::vector<Received>{kVersion, kAck}));
  EXPECT_FALSE(receiver.holdsPartialRecord());
}

TEST_F(ReceiverTest, HeldRecordSurvivesAnEventWithoutCrButThatEventIsLost) {
  stream(":E6000");
  stream("1:F0");  // no CR: ignored, the held beginning stays
  stream("121F8\r\n");
  EXPECT_EQ(records, (std::vector<Received>{kVersion}));
}

TEST_F(ReceiverTest, RecordOverThreeEventsIsLost) {
  stream(":E6");
  stream("00");
  stream("0121F8\r\n");
  EXPECT_TRUE(records.empty());
}

TEST_F(ReceiverTest, TextWithoutColonIsIgnored) {
  stream("hello\r\nworld");
  EXPECT_TRUE(records.empty());
  EXPECT_FALSE(receiver.holdsPartialRecord());
}

TEST_F(ReceiverTest, LengthBeyondTheTextIsDroppedAndParsingGoesOn) {
  stream(":F000FF010E\r\n:F00001010E\r\n");
  EXPECT_EQ(records, (std::vector<Received>{kAck}));
  ASSERT_FALSE(drops.empty());
  EXPECT_EQ(drops[0], RecordReceiver::DropReason::kTruncated);
}

// A dropped record's text ends at its own CR, whichever check dropped it; the records after it
// are not part of it.
TEST(ReceiverDropText, EndsAtTheRecordsCr) {
  const struct {
    std::string_view stream;
    std::string_view dropped;
  } cases[] = {
      {":ZZ\r\n:F00001010E\r\n", ":ZZ"},                  // no hex digits
      {":F000FF010E\r\n:F00001010E\r\n", ":F000FF010E"},  // length beyond the text
      {":F0FFFF010E\r\n:F00001010E\r\n", ":F0FFFF010E"},  // length too large
      {":F00001010F\r\n:F00001010E\r\n", ":F00001010F"},  // checksum
  };
  for (const auto& c : cases) {
    std::vector<std::string> texts;
    int records = 0;
    RecordReceiver receiver(
        [&](std::uint8_t, std::span<const std::uint8_t>) { ++records; },
        [&](RecordReceiver::DropReason, std::string_view text) { texts.emplace_back(text); });
    receiver.receiveStream(
        {reinterpret_cast<const std::uint8_t*>(c.stream.data()), c.stream.size()});
    ASSERT_FALSE(texts.empty()) << c.stream;
    EXPECT_EQ(texts[0], c.dropped);
    EXPECT_EQ(records, 1) << c.stream;
  }
}

TEST_F(ReceiverTest, SearchStopsAtAZeroByte) {
  const std::string text = std::string(":F00001010E") + '\0' + "\r\n:F00001010E\r\n";
  stream(text);
  // The first colon sees no CR before the 0 byte: its record is held as a partial one.
  EXPECT_TRUE(records.empty());
}

TEST_F(ReceiverTest, HidReportCarriesCountThenText) {
  report(":F00001010E\r\n:E6000121F8\r\n", 13);  // the count covers only the first record
  EXPECT_EQ(records, (std::vector<Received>{kAck}));
  records.clear();
  report(":F00001010E\r\n:E6000121F8\r\n");
  EXPECT_EQ(records.size(), 2u);
}

TEST_F(ReceiverTest, HidCountLargerThanTheReportIsBounded) {
  report(":F00001010E\r\n", 255);
  EXPECT_EQ(records, (std::vector<Received>{kAck}));
}

TEST_F(ReceiverTest, LongChunkReplyFitsOneReport) {
  std::vector<std::uint8_t> chunk(26, 0x11);
  chunk[0] = 0x57;
  const std::string text = Rec(0xCE, chunk);
  ASSERT_EQ(text.size(), 63u);
  report(text);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].payload, chunk);
}

TEST_F(ReceiverTest, StreamLongerThanOneEventIsTakenInPieces) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += ":F00001010E\r\n";  // 2600 bytes
  stream(text);
  EXPECT_EQ(records.size(), 200u);
}

TEST_F(ReceiverTest, InputArrivingInsideAHandlerWaitsForTheCurrentEvent) {
  std::vector<std::uint8_t> order;
  RecordReceiver* self = nullptr;
  RecordReceiver nested([&](std::uint8_t c, std::span<const std::uint8_t>) {
    order.push_back(c);
    if (c == 0xE6) {  // a modal question runs the event loop and more input comes in
      const std::string more = Rec(0xBA, std::vector<std::uint8_t>(8, 0));
      self->receiveStream({reinterpret_cast<const std::uint8_t*>(more.data()), more.size()});
    }
  });
  self = &nested;
  const std::string text = Rec(0xE6, {0x21}) + ":F00001010E\r\n";
  nested.receiveStream({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  EXPECT_EQ(order, (std::vector<std::uint8_t>{0xE6, 0xF0, 0xBA}));
}

TEST_F(ReceiverTest, GarbageNeverCrashes) {
  std::uint32_t seed = 12345;
  std::vector<std::uint8_t> bytes(4000);
  for (int round = 0; round < 200; ++round) {
    for (auto& b : bytes) {
      seed = seed * 1664525u + 1013904223u;
      const std::uint8_t pick = static_cast<std::uint8_t>(seed >> 24);
      b = pick < 40 ? ':' : pick < 80 ? '\r' : pick;
    }
    receiver.receiveStream({bytes.data(), 1 + seed % bytes.size()});
    receiver.receiveReport({bytes.data(), 64});
  }
  SUCCEED();
}

}  // namespace
}  // namespace kdsp::device
