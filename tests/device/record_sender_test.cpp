// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of SendRecord, its wrappers and the count of records awaiting acknowledgement.
#include "device/record_sender.h"

#include <gtest/gtest.h>

#include "device/device_commands.h"
#include "support/device_fakes.h"

namespace kdsp::device {
namespace {

using testing::Line;

class SenderTest : public ::testing::Test {
 protected:
  SenderTest() {
    link.connected = true;
    sender.setTransport(&transport);
  }
  LinkState link;
  testing::RecordingTransport transport;
  testing::RecordingPrompts prompts;
  RecordSender sender{link, prompts};
};

TEST_F(SenderTest, WrappersBuildTheirPayloads) {
  const std::uint8_t two[2] = {0x01, 0x2C};
  const std::uint8_t six[6] = {1, 2, 3, 4, 5, 6};
  sender.SendByteCommand(0xE5, 0);
  sender.SendBytesCommand(0xC1, two);
  sender.SendIndexedCommand(0xAB, 5, six);
  ASSERT_EQ(transport.texts.size(), 3u);
  EXPECT_EQ(transport.texts[0], ":E50001001A\r\n");
  EXPECT_EQ(Line(transport.texts[1]), ":C10002012C10");
  EXPECT_EQ(Line(transport.texts[2]), ":AB00070501020304050634");
  EXPECT_EQ(sender.outstandingRecords(), 3u);
}

TEST_F(SenderTest, BandSwitchedOffIsSentWithGainZeroAndKeepsItsGain) {
  const settings::EqBand band{30, 131, 9, 0, 0, 0};
  sender.SendBandCommand(0xA9, 28, band);
  EXPECT_EQ(Line(transport.texts.at(0)), ":A900091C0000830009000000A6");
  EXPECT_EQ(band.gain, 30);
  const settings::EqBand strange{30, 131, 9, 0, 2, 0};  // any on byte but 1 counts as off
  sender.SendBandCommand(0xA9, 28, strange);
  EXPECT_EQ(transport.texts.at(1).substr(9, 4), "0000");
}

TEST_F(SenderTest, WrappersSendNothingWhileNotConnected) {
  link.connected = false;
  const std::uint8_t bytes[1] = {7};
  sender.SendByteCommand(0xE5, 0);
  sender.SendBytesCommand(0xC0, bytes);
  sender.SendIndexedCommand(0xAA, 1, bytes);
  sender.SendBandCommand(0xA9, 1, settings::EqBand{});
  EXPECT_TRUE(transport.texts.empty());
  EXPECT_EQ(sender.outstandingRecords(), 0u);
  sender.SendRecord(0xE0, bytes);  // the direct path has its own checks
  EXPECT_EQ(transport.texts.size(), 1u);
}

TEST_F(SenderTest, CountingFollowsWhatTheTransportDid) {
  transport.result = TransmitResult::kDiscarded;
  sender.SendByteCommand(0xE5, 0);
  EXPECT_EQ(sender.outstandingRecords(), 0u);
  EXPECT_TRUE(prompts.messages.empty());

  transport.result = TransmitResult::kTooLarge;
  sender.SendByteCommand(0xE5, 0);
  EXPECT_EQ(sender.outstandingRecords(), 0u);
  EXPECT_EQ(prompts.messages, (std::vector<std::string>{"Size too large"}));

  sender.setTransport(nullptr);
  EXPECT_TRUE(sender.SendRecord(0xE5, {}));
  EXPECT_EQ(sender.outstandingRecords(), 0u);
}

TEST_F(SenderTest, AcknowledgementNeverGoesBelowZero) {
  sender.SendByteCommand(0xE5, 0);
  sender.acknowledge();
  sender.acknowledge();
  EXPECT_EQ(sender.outstandingRecords(), 0u);
  sender.SendByteCommand(0xE5, 0);
  sender.SendByteCommand(0xE5, 0);
  sender.resetOutstanding();
  EXPECT_EQ(sender.outstandingRecords(), 0u);
}

TEST_F(SenderTest, WholeDeviceCommands) {
  SendGreeting(sender);
  SendPanelLock(sender, 0);
  SendPanelLock(sender, 255);
  SendPanelPassword(sender, 300);
  SendPanelPassword(sender, 999);
  const std::vector<std::string> expected = {":E50001001A", ":C00001003F", ":C00001FF40",
                                             ":C10002012C10", ":C1000203E753"};
  ASSERT_EQ(transport.texts.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(Line(transport.texts[i]), expected[i]);
}

TEST_F(SenderTest, LastTransmitTellsWhatBecameOfTheRecord) {
  sender.SendByteCommand(0xE5, 0);
  EXPECT_EQ(sender.lastTransmit(), TransmitResult::kHandedOver);
  link.connected = false;
  sender.SendByteCommand(0xE5, 0);
  EXPECT_EQ(sender.lastTransmit(), TransmitResult::kDiscarded);
  link.connected = true;
  transport.result = TransmitResult::kTooLarge;
  sender.SendByteCommand(0xE5, 0);
  EXPECT_EQ(sender.lastTransmit(), TransmitResult::kTooLarge);
}

}  // namespace
}  // namespace kdsp::device
