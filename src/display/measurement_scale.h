// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement chart's scales: 20 Hz to 20 kHz on a logarithmic axis across, 0 to -140 dBFS
// down, and the marks and labels of both.
#pragma once

#include <string>
#include <vector>

namespace kdsp::display {

struct ScaleMark {
  double value;       // Hz or dB
  bool major;         // a labelled line; minor lines only divide
  std::string label;  // empty on minor lines
};

class MeasurementScale {
 public:
  static constexpr double kLowHz = 20.0;
  static constexpr double kHighHz = 20000.0;
  static constexpr double kTopDb = 0.0;
  static constexpr double kBottomDb = -140.0;

  // The plot's rectangle in the chart's logical pixels.
  MeasurementScale(double left, double top, double width, double height);

  double left() const { return left_; }
  double top() const { return top_; }
  double right() const { return left_ + width_; }
  double bottom() const { return top_ + height_; }

  double xOf(double hz) const;
  // Levels beyond the range stay on the plot's edge.
  double yOf(double db) const;
  double frequencyAt(double x) const;

  // Lines at 1, 2 and 5 times the powers of ten from 20 Hz to 20 kHz labelled "20", "50",
  // "100", ..., "1k", ..., "20k", and unlabelled lines at the other whole multiples between.
  static std::vector<ScaleMark> FrequencyMarks();
  // A labelled line every 20 dB from 0 to -140 ("0", "-20", ...), an unlabelled one between.
  static std::vector<ScaleMark> LevelMarks();

 private:
  double left_, top_, width_, height_;
};

}  // namespace kdsp::display
