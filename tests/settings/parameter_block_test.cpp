// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the parameter block's layout, its factory defaults and its checksum.
#include "settings/parameter_block.h"

#include <gtest/gtest.h>

#include <vector>

namespace kdsp::settings {
namespace {

TEST(FactoryDefaults, FirstBytesAreTheDocumentedOnes) {
  const auto bytes = FactoryDefaults().bytes();
  const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 8);
  EXPECT_EQ(head, (std::vector<std::uint8_t>{0xF1, 0x02, 0x02, 0x00, 0x1E, 0x1E, 0x04, 0x32}));
  EXPECT_EQ(bytes[706], 0);
  EXPECT_EQ(bytes[707], 0);
}

TEST(FactoryDefaults, MixTable) {
  const std::uint8_t expected[16] = {50, 50, 50, 50, 50, 50, 0, 0, 50, 0, 0, 0, 50, 50, 50, 50};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(FactoryDefaults().bytes()[10 + i], expected[i]) << i;
}

TEST(FactoryDefaults, BandsByPage) {
  struct Row {
    int band;
    std::uint16_t step;
    std::uint8_t type;
  };
  const Row rows[] = {
      {0, 59, kLowShelf},  {6, 203, kPeaking},  {13, 347, kPeaking}, {14, 347, kHighShelf},
      {15, 59, kPeaking},  {21, 275, kPeaking}, {22, 131, kPeaking}, {24, 203, kPeaking},
      {25, 131, kPeaking}, {27, 203, kPeaking}, {28, 95, kPeaking},  {32, 239, kPeaking},
      {43, 95, kPeaking},  {47, 239, kPeaking}, {48, 59, kLowShelf}, {62, 347, kHighShelf},
      {52, 177, kPeaking},
  };
  for (const Row& r : rows) {
    const EqBand& b = FactoryDefaults().bands[r.band];
    EXPECT_EQ(b.frequency, r.step) << r.band;
    EXPECT_EQ(b.type, r.type) << r.band;
    EXPECT_EQ(b.gain, 0);
    EXPECT_EQ(b.bandwidth, 9);
    EXPECT_EQ(b.on, 1);
    EXPECT_EQ(b.spare, 0);
  }
}

TEST(FactoryDefaults, FiltersCompressorsEchoReverb) {
  const ParameterBlock& d = FactoryDefaults();
  const std::uint8_t filter9[6] = {131, 0, 2, 1, 2, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(d.bytes()[584 + i], filter9[i]);
  EXPECT_EQ(d.filters[7].frequency, 359);
  EXPECT_EQ(d.filters[2].frequency, 347);
  EXPECT_EQ(d.filters[2].direction, kLowPass);
  const std::uint8_t comp0[8] = {0, 3, 2, 0, 22, 0, 0, 0};
  const std::uint8_t comp5[8] = {0, 6, 4, 0, 22, 0, 0, 0};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(d.bytes()[596 + i], comp0[i]);
    EXPECT_EQ(d.bytes()[636 + i], comp5[i]);
  }
  const std::uint8_t echoA[12] = {45, 0, 0, 45, 196, 0, 0, 0, 0, 0, 0, 0};
  const std::uint8_t echoB[12] = {45, 0, 0, 45, 196, 0, 0, 0, 0, 0, 5, 0};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(d.bytes()[668 + i], echoA[i]);
    EXPECT_EQ(d.bytes()[680 + i], echoB[i]);
  }
  const std::uint8_t tail[16] = {68, 20, 30, 20, 90, 0, 30, 0, 0, 80, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(d.bytes()[692 + i], tail[i]) << 692 + i;
}

TEST(BlockChecksum, SumsBytesUpTo705AndWraps) {
  ParameterBlock block{};
  EXPECT_EQ(BlockChecksum(block), 0);
  for (auto& b : block.bytes()) b = 0xFF;
  EXPECT_EQ(BlockChecksum(block), static_cast<std::uint16_t>(706 * 255));  // 180030 wraps
  block.checksum = 0;
  EXPECT_EQ(BlockChecksum(block), static_cast<std::uint16_t>(706 * 255));  // checksum not summed
}

TEST(ResetToFactory, RestoresInPlace) {
  ParameterBlock& working = WorkingBlock();
  const ParameterBlock* address = &working;
  working.bands[3].gain = -120;
  working.mix[0][0] = 0x80 | 50;
  ResetToFactory(working);
  EXPECT_EQ(&WorkingBlock(), address);
  EXPECT_TRUE(working == FactoryDefaults());
}

TEST(ParameterBlock, MultiByteFieldsAreLittleEndian) {
  ParameterBlock block = FactoryDefaults();
  block.compressors[1].threshold = -20;
  block.outputDelay[0] = 12340;
  EXPECT_EQ(block.bytes()[604 + 4], 0xEC);
  EXPECT_EQ(block.bytes()[604 + 5], 0xFF);
  EXPECT_EQ(block.bytes()[644], 12340 & 0xFF);
  EXPECT_EQ(block.bytes()[645], 12340 >> 8);
}

}  // namespace
}  // namespace kdsp::settings
