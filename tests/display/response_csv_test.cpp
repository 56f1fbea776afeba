// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the page response as comma-separated text: its rows, its numbers and what it sums.
#include "display/response_csv.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kdsp::display {
namespace {

TEST(PageResponseCsv, RowsEvery48thOfAnOctaveHoldThePagesResponse) {
  const settings::PageParameters& main = settings::Page(settings::PageId::kMainOutput);
  settings::ParameterBlock block = settings::FactoryDefaults();
  block.bands[28] = {120, 203, 19, 0, 1, 0};  // +12 dB at 1 kHz, one octave
  block.bands[29] = {-60, 275, 9, 0, 0, 0};   // switched off: not summed
  block.filters[5].frequency = 95;            // 24 dB/octave Linkwitz-Riley at 125 Hz

  std::istringstream text(PageResponseCsv(block, main));
  std::vector<std::pair<double, double>> rows;
  std::string line;
  std::getline(text, line);
  EXPECT_EQ(line, "Frequency (Hz),Response (dB)");
  while (std::getline(text, line)) {
    const std::size_t comma = line.find(',');
    ASSERT_NE(comma, std::string::npos) << line;
    EXPECT_EQ(line.find(',', comma + 1), std::string::npos) << line;
    rows.emplace_back(std::stod(line.substr(0, comma)), std::stod(line.substr(comma + 1)));
  }
  // log2(1000) = 9.97 octaves: 479 points from 20 Hz, and 20 kHz to close.
  ASSERT_EQ(rows.size(), 480u);
  EXPECT_EQ(rows.front().first, 20.0);
  EXPECT_EQ(rows.back().first, 20000.0);
  EXPECT_NEAR(rows[48].first, 40.0, 0.005);
  EXPECT_LT(rows[0].second, -60.0);           // two octaves under the high-pass
  EXPECT_NEAR(rows[271].second, 12.0, 0.05);  // 1003.9 Hz, on the band's peak
  // 4 kHz holds only the skirt of the 1 kHz band, about +0.5 dB; the band switched off there
  // would pull it to -5.5 dB.
  EXPECT_NEAR(rows[271 + 96].first, 4005.49, 0.01);
  EXPECT_GT(rows[271 + 96].second, 0.0);
}

}  // namespace
}  // namespace kdsp::display
