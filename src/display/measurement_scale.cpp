// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement chart's scales.
#include "display/measurement_scale.h"

#include <algorithm>
#include <cmath>

namespace kdsp::display {

MeasurementScale::MeasurementScale(double left, double top, double width, double height)
    : left_(left), top_(top), width_(width), height_(height) {}

double MeasurementScale::xOf(double hz) const {
  const double span = std::log10(kHighHz / kLowHz);
  return left_ + std::log10(hz / kLowHz) / span * width_;
}

double MeasurementScale::yOf(double db) const {
  const double clamped = std::clamp(db, kBottomDb, kTopDb);
  return top_ + (kTopDb - clamped) / (kTopDb - kBottomDb) * height_;
}

double MeasurementScale::frequencyAt(double x) const {
  return kLowHz * std::pow(kHighHz / kLowHz, (x - left_) / width_);
}

std::vector<ScaleMark> MeasurementScale::FrequencyMarks() {
  std::vector<ScaleMark> marks;
  for (int decade = 10; decade <= 10000; decade *= 10) {
    for (int digit = 1; digit <= 9; ++digit) {
      const int hz = digit * decade;
      if (hz < kLowHz || hz > kHighHz) continue;
      const bool major = digit == 1 || digit == 2 || digit == 5;
      std::string label;
      if (major) label = hz >= 1000 ? std::to_string(hz / 1000) + "k" : std::to_string(hz);
      marks.push_back({static_cast<double>(hz), major, std::move(label)});
    }
  }
  return marks;
}

std::vector<ScaleMark> MeasurementScale::LevelMarks() {
  std::vector<ScaleMark> marks;
  for (int db = static_cast<int>(kTopDb); db >= kBottomDb; db -= 10) {
    const bool major = db % 20 == 0;
    marks.push_back({static_cast<double>(db), major, major ? std::to_string(db) : std::string()});
  }
  return marks;
}

}  // namespace kdsp::display
