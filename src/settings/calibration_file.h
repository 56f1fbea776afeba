// SPDX-License-Identifier: GPL-3.0-or-later
// Microphone calibration files: the usual text of frequency and dB columns that comes with a
// measurement microphone, and the response it describes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kdsp::settings {

struct CalibrationPoint {
  double hz;
  double db;
};

class MicCalibration {
 public:
  explicit MicCalibration(std::vector<CalibrationPoint> points) : points_(std::move(points)) {}

  // The microphone's response at hz: straight lines in dB over log frequency between the
  // file's points, the first and last values held beyond them (the first for a NaN).
  double responseDb(double hz) const;
  const std::vector<CalibrationPoint>& points() const { return points_; }

 private:
  std::vector<CalibrationPoint> points_;  // rising frequencies, at least one
};

// A file read, or why not: the message names the line at fault.
struct CalibrationRead {
  std::optional<MicCalibration> calibration;
  std::string error;
};

// Reads the text of a calibration file, after a UTF-8 byte-order mark if there is one. Each data
// line holds a frequency from 0.1 Hz to 1 MHz and a level within +-100 dB, and may hold a third
// column (the phase, ignored); fields are separated by spaces, tabs, commas or semicolons. A file
// written with decimal commas ("1000\t0,25"), decided once for the whole file, separates them
// by spaces, tabs or semicolons alone. Lines starting with a quote, '*', '#' or ';' are comments,
// as is every line before the first data line whose first field is not a number ("Sens Factor
// =-1.2dB", "Freq dB"). Frequencies must rise from line to line.
CalibrationRead ParseCalibration(std::string_view text);

// The largest calibration file read; real ones are a few kilobytes.
inline constexpr std::size_t kCalibrationFileLimit = 1 << 20;

// Reads and parses the file at path.
CalibrationRead ReadCalibrationFile(const std::filesystem::path& path);

}  // namespace kdsp::settings
