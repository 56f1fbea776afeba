// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the effect pages' rules with literal values: the second echo side both ways, the mic
// sets and their mode, and what each page fader's field is.
#include "device/page_rules.h"

#include <gtest/gtest.h>

#include "device/command_table.h"

namespace kdsp::device {
namespace {

using settings::PageId;

TEST(EchoPair, SecondSideFromFirstSideAndOffsets) {
  struct Case {
    int delayA, delayLr, delayB;
    int preDelayA, preDelayLr, preDelayB;
  };
  const Case cases[] = {
      {100, 30, 70, 50, 5, 50},       // the Pre Delay offset reads 5 for equal sides
      {250, -60, 300, 50, 15, 40},    // 310 limited to 300
      {250, -99, 300, 50, -99, 100},  // 154 limited to 100
      {20, 99, 0, 10, 99, 0},         // below zero limited to 0
      {0, 0, 0, 0, 0, 5},
  };
  for (const Case& c : cases) {
    settings::ParameterBlock block{};
    block.echoA.delay = static_cast<std::uint16_t>(c.delayA);
    block.echoA.preDelay = static_cast<std::uint16_t>(c.preDelayA);
    DeriveEchoSecondSide(block, {c.delayLr, c.preDelayLr});
    EXPECT_EQ(block.echoB.delay, c.delayB) << c.delayA << " " << c.delayLr;
    EXPECT_EQ(block.echoB.preDelay, c.preDelayB) << c.preDelayA << " " << c.preDelayLr;
    // Within the limits the offsets come back from the two sides.
    if (c.delayA - c.delayLr == c.delayB) {
      EXPECT_EQ(EchoOffsetsOf(block).delayLr, c.delayLr);
    }
    if (c.preDelayA - c.preDelayLr + 5 == c.preDelayB) {
      EXPECT_EQ(EchoOffsetsOf(block).preDelayLr, c.preDelayLr);
    }
  }
}

TEST(EchoPair, OffsetsFromTheTwoSides) {
  settings::ParameterBlock block{};
  block.echoA.delay = 120;
  block.echoB.delay = 300;
  block.echoA.preDelay = 0;
  block.echoB.preDelay = 100;
  EXPECT_EQ(EchoOffsetsOf(block).delayLr, -180);  // the fader limits it, not the rule
  EXPECT_EQ(EchoOffsetsOf(block).preDelayLr, -95);
}

TEST(MicSets, ModeChangeCopiesOnlyBetweenZeroAndOne) {
  struct Case {
    int previous, mode;
    bool copies, linked;
  };
  const Case cases[] = {
      {0, 1, true, false}, {1, 0, true, true},   {0, 2, false, false},
      {2, 0, false, true}, {1, 2, false, false}, {2, 1, false, false},
  };
  for (const Case& c : cases) {
    settings::ParameterBlock block{};
    block.micFlags = c.previous == 0 ? 0x04 | 0x08 : 0x08;
    block.bands[3].gain = 45;
    block.bands[51].gain = -10;
    block.bands[14].gain = 7;
    const settings::ParameterBlock before = block;
    ChangeMicEqMode(block, c.previous, c.mode);
    SCOPED_TRACE(std::to_string(c.previous) + " -> " + std::to_string(c.mode));
    EXPECT_EQ(block.bands[51].gain, c.copies ? 45 : -10);
    EXPECT_EQ(block.bands[62].gain, c.copies ? 7 : 0);
    EXPECT_EQ(block.micFlags, c.linked ? 0x0C : 0x08);  // the polarity bit stays
    // The second set ends with band 62: nothing else but the flags byte changes.
    const std::size_t setStart = settings::offsets::Band(48);
    const std::size_t setEnd = settings::offsets::Band(62) + sizeof(settings::EqBand);
    for (std::size_t i = 0; i < before.bytes().size(); ++i) {
      if ((i >= setStart && i < setEnd) || i == settings::offsets::kMicFlags) continue;
      EXPECT_EQ(block.bytes()[i], before.bytes()[i]) << "byte " << i;
    }
  }
}

TEST(MicSets, SetsModesAndTheLinkBit) {
  EXPECT_EQ(MicBandSetFirst(0), 0);
  EXPECT_EQ(MicBandSetFirst(1), 0);
  EXPECT_EQ(MicBandSetFirst(2), 48);
  settings::ParameterBlock block{};
  block.micFlags = 0x04;
  for (int last : {0, 1, 2}) EXPECT_EQ(MicEqModeOf(block, last), 0);
  block.micFlags = 0x18;
  EXPECT_EQ(MicEqModeOf(block, 0), 1);
  EXPECT_EQ(MicEqModeOf(block, 1), 1);
  EXPECT_EQ(MicEqModeOf(block, 2), 2);

  block.bands[0].gain = 12;
  block.bands[48].gain = -3;
  FollowMicSetsLink(block);  // not linked: the second set is its own
  EXPECT_EQ(block.bands[48].gain, -3);
  block.micFlags = 0x04;
  FollowMicSetsLink(block);
  EXPECT_EQ(block.bands[48].gain, 12);
}

TEST(PageFields, OffsetsStoresAndFlags) {
  struct Case {
    PageId page;
    PageField field;
    std::size_t offset;
    FieldStore store;
    std::uint16_t flag;
    bool controlValue;
  };
  const Case cases[] = {
      {PageId::kMicEqualizer, PageField::kThreshold, 600, FieldStore::kWord,
       flag::Compressor(0).at(0), false},
      {PageId::kSurroundOutput, PageField::kAttack, 629, FieldStore::kLow7,
       flag::Compressor(4).at(1), false},
      {PageId::kMusicEqualizer, PageField::kRatio, 639, FieldStore::kLow7,
       flag::Compressor(5).at(3), false},
      {PageId::kCenterOutput, PageField::kLowPassFrequency, 572, FieldStore::kWord,
       flag::Filter(7).at(0), false},
      {PageId::kEcho, PageField::kHighPassFrequency, 536, FieldStore::kWord, flag::Filter(1).at(0),
       false},
      {PageId::kSubwooferOutput, PageField::kSubDecay, 8, FieldStore::kLow7, flag::kSubDecay.first,
       false},
      {PageId::kEcho, PageField::kEchoDelay, 672, FieldStore::kEchoFirstSide,
       flag::kEchoDelay.first, false},
      {PageId::kEcho, PageField::kEchoPreDelayLr, 690, FieldStore::kEchoOffset,
       flag::kEchoPreDelayLr.first, true},
      {PageId::kEcho, PageField::kEchoDirect, 701, FieldStore::kLow7, flag::kEchoDirect.first,
       true},
      {PageId::kReverb, PageField::kRevPreDelay, 698, FieldStore::kWord, flag::kRevPreDelay.first,
       false},
  };
  for (const Case& c : cases) {
    const PageFieldRule rule = RuleOf(c.page, c.field);
    SCOPED_TRACE(c.offset);
    EXPECT_EQ(rule.field.offset, c.offset);
    EXPECT_EQ(rule.store, c.store);
    EXPECT_EQ(rule.flag, c.flag);
    EXPECT_EQ(rule.controlValue, c.controlValue);
  }
}

// A field the command table sends from the block raises the flag of the table's page row.
TEST(PageFields, BlockFieldsRaiseTheFlagTheCommandTableSends) {
  for (const PageField field :
       {PageField::kSubDecay, PageField::kEchoLevel, PageField::kEchoDelay, PageField::kEchoRepeat,
        PageField::kEchoPreDelay, PageField::kRevLevel, PageField::kRevTime,
        PageField::kRevPreDelay}) {
    const PageFieldRule rule = RuleOf(PageId::kEcho, field);
    const auto sent = FlagOfBlockField(rule.field.offset);
    ASSERT_TRUE(sent.has_value()) << rule.field.offset;
    EXPECT_EQ(rule.flag, sent->first) << rule.field.offset;
  }
}

TEST(PageFields, StoringAnOffsetDerivesOnlyTheSecondSide) {
  settings::ParameterBlock block{};
  block.echoA.delay = 250;
  block.echoA.preDelay = 40;
  StorePageField(block, PageId::kEcho, PageField::kEchoDelayLr, -60, {0, 5});
  EXPECT_EQ(block.echoA.delay, 250);
  EXPECT_EQ(block.echoB.delay, 300);
  EXPECT_EQ(block.echoB.preDelay, 40);
  StorePageField(block, PageId::kEcho, PageField::kEchoPreDelay, 60, {-60, 25});
  EXPECT_EQ(block.echoA.preDelay, 60);
  EXPECT_EQ(block.echoB.preDelay, 40);
  EXPECT_EQ(PageFieldValue(block, PageId::kEcho, PageField::kEchoPreDelayLr), 25);
  StorePageField(block, PageId::kEcho, PageField::kEchoDirect, 0x85, {});
  EXPECT_EQ(block.echoDirect, 0x05);
}

}  // namespace
}  // namespace kdsp::device
