// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the Bessel correction table against its published values and its shape.
#include "display/bessel_correction.h"

#include <gtest/gtest.h>

namespace kdsp::display {
namespace {

TEST(BesselCorrection, AgreesWithThePublishedValues) {
  struct Row {
    bool lowPass;
    int order;
    int j0, j1, j155, j156;
  };
  const Row rows[] = {
      {true, 0, 2731, 2731, 443, 177},   {true, 1, 4050, 4049, 598, 238},
      {true, 2, 5138, 5137, 707, 281},   {true, 3, 9276, 9273, 1011, 399},
      {false, 0, 2736, 2735, 575, 229},  {false, 1, 4059, 4059, 868, 344},
      {false, 2, 5156, 5156, 1116, 440}, {false, 3, 9334, 9330, 2112, 817},
  };
  const BesselCorrectionTable& table = besselCorrectionTable();
  for (const Row& r : rows) {
    const auto& row = table[besselBlock(r.lowPass)][r.order];
    const int expected[] = {r.j0, r.j1, r.j155, r.j156};
    const int j[] = {0, 1, 155, 156};
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(row[j[i]], expected[i], 3)
          << (r.lowPass ? "low-pass" : "high-pass") << " order " << r.order << " j " << j[i];
    }
  }
}

TEST(BesselCorrection, FallsSteadilyTowardsTheTop) {
  const BesselCorrectionTable& table = besselCorrectionTable();
  for (int block = 0; block < kBesselBlocks; ++block) {
    for (int order = 0; order < kFilterOrders; ++order) {
      for (int j = 1; j < kBesselSteps; ++j) {
        EXPECT_LE(table[block][order][j], table[block][order][j - 1])
            << block << " " << order << " " << j;
      }
    }
  }
}

TEST(BesselCorrection, FilterUsesItsOwnDirectionOrderAndStep) {
  const BesselCorrectionTable& table = besselCorrectionTable();
  struct Row {
    std::uint16_t step;
    std::uint8_t direction;
    std::uint8_t order;
    int block;
    int orderRow;
    int j;
  };
  const Row rows[] = {
      {203, settings::kLowPass, 0, 0, 0, 0},     {358, settings::kLowPass, 3, 0, 3, 155},
      {260, settings::kHighPass, 2, 1, 2, 57},   {359, settings::kHighPass, 1, 1, 1, 156},
      {100, settings::kHighPass, 3, 1, 3, 0},    {0, settings::kLowPass, 1, 0, 1, 0},
      {9000, settings::kHighPass, 0, 1, 0, 156}, {250, settings::kLowPass, 17, 0, 0, 47},
  };
  for (const Row& r : rows) {
    const settings::CrossoverFilter f{r.step, settings::kBessel, r.direction, r.order, 0};
    EXPECT_EQ(besselCorrection(f), table[r.block][r.orderRow][r.j]) << r.step;
  }
}

}  // namespace
}  // namespace kdsp::display
