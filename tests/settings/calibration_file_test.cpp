// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of microphone calibration files: the layouts makers ship, the lines that are refused
// with the line named, and the response between and beyond the file's points.
#include "settings/calibration_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace kdsp::settings {
namespace {

struct GoodFile {
  const char* what;
  std::string text;
  std::vector<CalibrationPoint> points;
};

TEST(CalibrationFileTest, ReadsTheUsualLayouts) {
  const std::vector<GoodFile> files = {
      {"tabs and a quoted sensitivity line",
       "\"Sens Factor =-1.2dB, SERNO: 7000000\"\n10.054\t-0.41\n20.0\t-0.12\n",
       {{10.054, -0.41}, {20.0, -0.12}}},
      {"spaces, a phase column, CR LF and blank lines",
       "* made by the maker\r\n\r\n  20  -1.5  3.2\r\n1000 0 0\r\n20000 +2.25 -10\r\n",
       {{20, -1.5}, {1000, 0}, {20000, 2.25}}},
      {"commas and semicolons", "Freq,dB\n20,-1\n100;0.5\n", {{20, -1}, {100, 0.5}}},
      {"an unquoted header line and comment lines among the data",
       "Sens Factor =-1.2dB\n# frequency response\n50 1\n; tuned\n60 2\n",
       {{50, 1}, {60, 2}}},
      {"exponents and no final newline", "2e1 -1e-1\n2E4 1", {{20, -0.1}, {20000, 1}}},
      {"a byte-order mark", "\xEF\xBB\xBF" "20\t-1.5\n1000\t0\n", {{20, -1.5}, {1000, 0}}},
      {"decimal commas between tabs", "Hz\tdB\n1000\t0,25\n2000\t-1,5\n",
       {{1000, 0.25}, {2000, -1.5}}},
      {"decimal commas between semicolons and spaces", "20;-1,5;12,5\n2500 0,5\n3000 1\n",
       {{20, -1.5}, {2500, 0.5}, {3000, 1}}},
      {"decimal commas in every column", "20,5 -1,25\n", {{20.5, -1.25}}},
  };
  for (const GoodFile& file : files) {
    SCOPED_TRACE(file.what);
    const CalibrationRead read = ParseCalibration(file.text);
    EXPECT_EQ(read.error, "");
    if (!read.calibration) continue;
    const std::vector<CalibrationPoint>& got = read.calibration->points();
    EXPECT_EQ(got.size(), file.points.size());
    for (std::size_t i = 0; i < std::min(got.size(), file.points.size()); ++i) {
      EXPECT_DOUBLE_EQ(got[i].hz, file.points[i].hz) << i;
      EXPECT_DOUBLE_EQ(got[i].db, file.points[i].db) << i;
    }
  }
}

TEST(CalibrationFileTest, RefusesABadLineAndNamesIt) {
  const struct {
    std::string text;
    std::string error;
  } files[] = {
      {"20 -1\n30 x\n",
       "Line 2 of the calibration file is not a frequency and a level in dB: \"30 x\""},
      {"20 -1\n30\n",
       "Line 2 of the calibration file is not a frequency and a level in dB: \"30\""},
      {"* head\n20 -1\nend of data\n",
       "Line 3 of the calibration file is not a frequency and a level in dB: \"end of data\""},
      {"20 -1 2 4\n", "Line 1 of the calibration file has more than three columns: \"20 -1 2 4\""},
      {"1e-305 1\n20 0\n",
       "Line 1 of the calibration file has a frequency outside 0.1 Hz - 1 MHz: \"1e-305 1\""},
      {"20 0\n2e6 1\n",
       "Line 2 of the calibration file has a frequency outside 0.1 Hz - 1 MHz: \"2e6 1\""},
      {"20 1e308\n", "Line 1 of the calibration file has a level beyond -100 to +100 dB: "
                     "\"20 1e308\""},
      {"20 -1\n30 \xC2\xA0x\n",
       "Line 2 of the calibration file is not a frequency and a level in dB: \"30 <U+00A0>x\""},
      {"0 1\n", "Line 1 of the calibration file has a frequency not above 0 Hz: \"0 1\""},
      {"20 1\n20 2\r\n",
       "Line 2 of the calibration file has a frequency not above the line before it: \"20 2\""},
      {"20 1dB\n",
       "Line 1 of the calibration file is not a frequency and a level in dB: \"20 1dB\""},
      {"20 nan\n",
       "Line 1 of the calibration file is not a frequency and a level in dB: \"20 nan\""},
      {"\"only a header\"\n* and a comment\n",
       "The calibration file holds no frequency and dB lines."},
      {"", "The calibration file holds no frequency and dB lines."},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.text);
    const CalibrationRead read = ParseCalibration(file.text);
    EXPECT_FALSE(read.calibration);
    EXPECT_EQ(read.error, file.error);
  }
}

TEST(CalibrationFileTest, ResponseIsStraightOverLogFrequencyAndHeldBeyondTheEnds) {
  const MicCalibration mic({{100, -2}, {1000, 4}, {10000, 0}});
  const struct {
    double hz;
    double db;
  } cases[] = {
      {10, -2},
      {100, -2},
      {std::sqrt(10.0) * 100, 1},
      {1000, 4},
      {2000, 4 - 4 * std::log10(2.0)},
      {10000, 0},
      {24000, 0},
  };
  for (const auto& c : cases) EXPECT_NEAR(mic.responseDb(c.hz), c.db, 1e-9) << c.hz;
  EXPECT_EQ(MicCalibration({{1000, 3}}).responseDb(20), 3);
  EXPECT_EQ(mic.responseDb(std::nan("")), -2);
}

TEST(CalibrationFileTest, ReadsAFileAndSaysWhenItCannot) {
  kdsp::testing::TempDir dir;
  const std::filesystem::path path = dir.path() / "mic.txt";
  std::ofstream(path) << "\"Sens Factor =-1.2dB\"\n20 -1\n20000 1\n";
  const CalibrationRead read = ReadCalibrationFile(path);
  ASSERT_TRUE(read.calibration) << read.error;
  EXPECT_EQ(read.calibration->points().size(), 2u);

  const CalibrationRead missing = ReadCalibrationFile(dir.path() / "none.txt");
  EXPECT_FALSE(missing.calibration);
  EXPECT_EQ(missing.error,
            "The calibration file cannot be read: " + (dir.path() / "none.txt").string());
}

}  // namespace
}  // namespace kdsp::settings
