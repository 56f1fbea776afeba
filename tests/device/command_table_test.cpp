// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the outgoing command table: every row's record written out in hex, the priority
// order, and the family and group rules.
#include "device/command_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/record_codec.h"

namespace kdsp::device {
namespace {

using settings::ParameterBlock;

std::string Line(const OutgoingCommand& c) {
  const EncodedRecord record(c.code, c.payload());
  const std::string_view text = record.textView();
  return std::string(text.substr(0, text.size() - 2));
}

class CommandTableTest : public ::testing::Test {
 protected:
  CommandTableTest() : block(settings::FactoryDefaults()) {
    block.bands[28].gain = 30;
    block.bands[33].gain = -60;
    block.bands[33].on = 0;
    block.outputMutes = 0x81;
    block.outputDelay[0] = 12340;
    block.outputDelay[4] = 100000;
    block.mix[0][0] = 0x80 | 40;
    block.micFlags = settings::kMicSetsLinked | settings::kMicPolarity1;
    link.musicMaxVolume = 55;
    link.micMaxVolume = 50;
    link.micEqChannel = 2;
    link.pinkNoiseMask = 0x5A;
    controls = {.echoDelayLr = -30, .echoPreDelayLr = 7, .echoDirect = 64, .micEqMode = 2};
  }
  std::optional<OutgoingCommand> next() { return TakeNextChange(flags, block, link, controls); }

  ParameterBlock block;
  LinkState link;
  ControlValues controls;
  ChangeFlags flags;
};

TEST_F(CommandTableTest, EveryRowSendsItsRecord) {
  const char* const expected[kCommandRowCount] = {
      ":A3000300A83280",
      ":A000011E41",
      ":A100011E40",
      ":A20001322B",
      ":A40006000034300000F2",
      ":A500010258",
      ":A600010257",
      ":A700013721",
      ":A800013225",
      ":A3000300A83280",
      ":AD000181D1",
      ":A900091C1E005F0009000100AB",
      ":AA000901000302001600000031",
      ":AB00070500000200020144",
      ":A900092100005F0009000000C5",
      ":AA000902000302001600000030",
      ":AB00070600000200020143",
      ":AB000707670102010201D9",
      ":A900092B00005F0009000100BA",
      ":AA00090400030200160000002E",
      ":AB00070A0000020002013F",
      ":A900092600005F0009000100BF",
      ":AA00090300030200160000002F",
      ":AB00070800000200020141",
      ":AB000709830002010201BC",
      ":AC00010053",
      ":A900090F00003B0009000100FA",
      ":AA000905000604001600000028",
      ":A90009160000830009000100AB",
      ":AB0007010000000000014C",
      ":AB0007025B0100010001EE",
      ":AE00012D24",
      ":AF0002C4008B",
      ":B000012D22",
      ":B1000200004D",
      ":B20001E26B",
      ":B300010745",
      ":BD00014002",
      ":A90009190000830009000100A8",
      ":AB0007030000000000014A",
      ":AB0007045B0100010001EC",
      ":B400011437",
      ":B500014406",
      ":B600021E002A",
      ":B400011437",
      ":B500014406",
      ":700001147B",
      ":7100011E70",
      ":7200015A33",
      ":B600021E002A",
      ":AA000900000302001600000032",
      ":AB0007000000000000014D",
      ":BE00010140",
      ":A900093000003B0009010100D8",
      ":B700010246",
      ":C200015AE3",
  };
  for (int i = 0; i < kCommandRowCount; ++i) {
    const CommandRow& row = CommandTable()[i];
    flags.set(row.flags.first);
    const auto sent = next();
    ASSERT_TRUE(sent.has_value()) << "row " << i + 1;
    EXPECT_EQ(sent->order, i + 1);
    EXPECT_EQ(Line(*sent), expected[i]) << "row " << i + 1;
    EXPECT_FALSE(flags.anySet()) << "row " << i + 1;
  }
}

TEST_F(CommandTableTest, NothingChangedSendsNothing) {
  EXPECT_FALSE(next().has_value());
}

TEST_F(CommandTableTest, HigherRowGoesFirstOneRecordPerCall) {
  flags.set(flag::kPinkNoise.first);     // row 56
  flags.set(flag::Compressor(1).at(2));  // row 13
  flags.set(flag::kMasterFaders.at(1));  // row 3
  std::vector<int> orders;
  while (auto sent = next()) orders.push_back(sent->order);
  EXPECT_EQ(orders, (std::vector<int>{3, 13, 56}));
}

TEST_F(CommandTableTest, FamilySendsOneMemberPerCallInIndexOrder) {
  flags.set(flag::kBands.at(30));
  flags.set(flag::kBands.at(29));
  std::vector<int> bands;
  while (auto sent = next()) bands.push_back(sent->bytes[0]);
  EXPECT_EQ(bands, (std::vector<int>{29, 30}));
}

TEST_F(CommandTableTest, GroupSendsOnceAndClearsAllItsFlags) {
  for (int i = 0; i < 4; ++i) flags.set(flag::Compressor(3).at(i));
  for (int i = 0; i < 3; ++i) flags.set(flag::Filter(9).at(i));
  for (int i = 0; i < 8; ++i) flags.set(flag::kOutputSwitches.at(i));
  flags.set(flag::kMicPolarity.at(0));
  flags.set(flag::kMicPolarity.at(1));
  std::vector<int> orders;
  while (auto sent = next()) orders.push_back(sent->order);
  EXPECT_EQ(orders, (std::vector<int>{11, 23, 25, 53}));
}

TEST_F(CommandTableTest, MixControlsMapToChannels) {
  const int channelOf[14] = {0, 0, 4, 4, 1, 1, 5, 5, 3, 3, 7, 7, 2, 2};
  const std::size_t offsetOf[8] = {10, 14, 18, 22, 12, 16, 20, 24};
  for (int i = 0; i < 14; ++i) {
    flags.set(flag::kMuteButtons.at(i));
    const auto sent = next();
    ASSERT_TRUE(sent);
    const int c = channelOf[i];
    EXPECT_EQ(sent->bytes[0], c);
    EXPECT_EQ(sent->bytes[1], block.bytes()[offsetOf[c]]);
    EXPECT_EQ(sent->bytes[2], block.bytes()[offsetOf[c] + 1]);
  }
}

TEST_F(CommandTableTest, DelayKnobsAddressTheirDelayLines) {
  const int g[6] = {0, 0, 2, 4, 4, 3}, s[6] = {0, 1, 0, 0, 1, 0};
  for (int line = 0; line < 6; ++line) block.outputDelay[line] = 1000u * (line + 1);
  for (int knob = 0; knob < 6; ++knob) {
    flags.set(flag::kDelayKnobs.at(knob));
    const auto sent = next();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->bytes[0], g[knob]);
    EXPECT_EQ(sent->bytes[1], s[knob]);
    std::uint32_t value;
    std::memcpy(&value, sent->bytes.data() + 2, 4);
    EXPECT_EQ(value, 1000u * (g[knob] + s[knob] + 1));
  }
}

TEST_F(CommandTableTest, MicBandsUseTheSecondSetOnlyInMode2) {
  for (int mode : {0, 1, 2}) {
    link.micEqChannel = static_cast<std::uint8_t>(mode);
    flags.set(flag::kBands.at(4));
    const auto sent = next();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->bytes[0], mode == 2 ? 52 : 4);
  }
}

TEST_F(CommandTableTest, BandRecordOfTheWorkedExample) {
  block.bands[28] = {30, 131, 9, 0, 1, 0};
  flags.set(flag::kBands.at(28));
  EXPECT_EQ(Line(*next()), ":A900091C1E0083000900010087");
  block.bands[28].on = 0;
  flags.set(flag::kBands.at(28));
  EXPECT_EQ(Line(*next()), ":A900091C0000830009000000A6");
  EXPECT_EQ(block.bands[28].gain, 30);  // the block keeps its real gain
}

TEST_F(CommandTableTest, PolarityValueCombinesBits3And4) {
  const std::uint8_t flagsByte[4] = {0x00, 0x08, 0x10, 0x18};
  const int value[4] = {0, 1, 2, 3};
  for (int i = 0; i < 4; ++i) {
    block.micFlags = flagsByte[i];
    flags.set(flag::kMicPolarity.at(1));
    EXPECT_EQ(next()->bytes[0], value[i]);
  }
}

TEST_F(CommandTableTest, LeftRightFadersSendTheirLowByte) {
  controls.echoDelayLr = -99;
  controls.echoPreDelayLr = 99;
  flags.set(flag::kEchoDelayLr.first);
  flags.set(flag::kEchoPreDelayLr.first);
  EXPECT_EQ(next()->bytes[0], 0x9D);
  EXPECT_EQ(next()->bytes[0], 99);
}

}  // namespace
}  // namespace kdsp::device

namespace kdsp::device {
namespace {

TEST(FlagOfBlockField, FindsThePageControlsFlag) {
  EXPECT_EQ(FlagOfBlockField(settings::offsets::kRevLevel)->first, flag::kRevLevel.first);
  EXPECT_EQ(FlagOfBlockField(settings::offsets::kSubDecay)->first, flag::kSubDecay.first);
  EXPECT_EQ(FlagOfBlockField(settings::offsets::kEchoA + 4)->first, flag::kEchoDelay.first);
  EXPECT_FALSE(
      FlagOfBlockField(settings::offsets::kEchoDirect).has_value());  // sent from the fader
}

}  // namespace
}  // namespace kdsp::device
