// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart's axes: where a frequency and a level fall in the plot, the way back from a
// pixel to a frequency and a level, and the grid with its labels.
#pragma once

#include <array>
#include <string>

namespace kdsp::display {

// x, y, width, height in pixels.
struct ChartRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  constexpr int right() const { return x + width; }
  constexpr int bottom() const { return y + height; }
};

// The plot inside a chart of the given size: 20 pixels at the left for the frame, 40 at the right
// for the level labels, 15 at the bottom for the frequency labels, and 8 at the top, half a
// handle, so a band at +12 dB keeps its whole handle and the 12dB label its whole text.
ChartRect plotRectFor(int width, int height);

// The plot spans 20 Hz .. 23 kHz on a logarithmic axis and +12 .. -24 dB.
inline constexpr double kAxisLowHz = 20.0;
inline constexpr double kAxisHighHz = 23000.0;
inline constexpr int kTopDb = 12;
inline constexpr int kBottomDb = -24;
inline constexpr int kSpanDb = kTopDb - kBottomDb;

// The scales of one plot. Names follow the plot's edges: L, T, W, H, R = L + W, B = T + H, and the
// 0 dB line Z, one third down since the plot spans 36 dB from +12 dB.
struct ChartScale {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  explicit ChartScale(const ChartRect& plot)
      : left(plot.x), top(plot.y), width(plot.width), height(plot.height) {}

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  int zeroDb() const { return top + height / 3; }

  // 0 at 20 Hz, 1 at 23 kHz.
  static double fraction(double hz);
  // Curves of filters and the spectrum keep the fraction of a pixel...
  float curveX(double hz) const;
  // ...grid lines, band curves and handles sit on whole pixels, the fraction cut toward zero.
  int pixelX(double hz) const;
  // A response in dB as a curve's y.
  float curveY(float db) const;
  // A grid line's y; db is a whole number of decibels.
  int gridY(int db) const;
  // The frequency under a pixel column (the inverse of curveX).
  double hzAtX(int x) const;
};

// The grid in drawing order: faint minor lines, the plot's frame, major lines with their labels.
struct GridLine {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
};

struct GridLabel {
  std::string text;
  int x = 0;  // top-left corner of the text
  int y = 0;
};

inline constexpr int kMinorFrequencyLines = 18;  // 30, 40, 60, 70, 80, 90 Hz, x10, x100
inline constexpr int kMinorLevelLines = 6;       // +9, +3, -3, -9, -15, -21 dB
inline constexpr int kMajorFrequencyLines = 10;  // 20 Hz .. 20 kHz in 1-2-5 steps
inline constexpr int kMajorLevelLines = 7;       // +12 .. -24 dB every 6 dB

struct ChartGrid {
  std::array<GridLine, kMinorFrequencyLines + kMinorLevelLines> minor{};
  std::array<GridLine, kMajorFrequencyLines + kMajorLevelLines> major{};
  // The frequency labels below the plot, then the level labels right of it, one per major line.
  std::array<GridLabel, kMajorFrequencyLines + kMajorLevelLines> labels{};
};

ChartGrid makeGrid(const ChartScale& scale);

}  // namespace kdsp::display
