// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart's scales and grid.
#include "display/chart_scale.h"

#include <cmath>
#include <cstdio>

namespace kdsp::display {
namespace {

constexpr std::array<int, kMajorFrequencyLines> kMajorHz = {20,   50,   100,  200,   500,
                                                            1000, 2000, 5000, 10000, 20000};
constexpr std::array<int, 6> kMinorDecadeHz = {30, 40, 60, 70, 80, 90};
constexpr std::array<int, 3> kMinorDecades = {1, 10, 100};
constexpr std::array<int, kMinorLevelLines> kMinorDb = {9, 3, -3, -9, -15, -21};
constexpr std::array<int, kMajorLevelLines> kMajorDb = {12, 6, 0, -6, -12, -18, -24};

// Frequency labels sit just below the plot, a little left of their line; level labels just right
// of the plot, centred on their line's height for the 10-pixel face.
constexpr int kFrequencyLabelShift = 8;
constexpr int kLevelLabelGap = 5;
constexpr int kLevelLabelRise = 8;

// The axis in decades: log10 of its low end and the decades it spans.
struct LogAxis {
  double low = std::log10(kAxisLowHz);
  double span = std::log10(kAxisHighHz) - low;
};

const LogAxis& logAxis() {
  static const LogAxis axis;
  return axis;
}

std::string frequencyText(int hz) {
  char text[16];
  if (hz < 1000) {
    std::snprintf(text, sizeof text, "%dHz", hz);
  } else {
    std::snprintf(text, sizeof text, "%dK", hz / 1000);
  }
  return text;
}

std::string levelText(int db) {
  char text[16];
  std::snprintf(text, sizeof text, "%ddB", db);
  return text;
}

}  // namespace

ChartRect plotRectFor(int width, int height) {
  constexpr int kLeft = 20;
  constexpr int kTop = 8;
  constexpr int kRight = 40;
  constexpr int kBottom = 15;
  return ChartRect{kLeft, kTop, width - kLeft - kRight, height - kTop - kBottom};
}

double ChartScale::fraction(double hz) {
  const LogAxis& axis = logAxis();
  return (std::log10(hz) - axis.low) / axis.span;
}

float ChartScale::curveX(double hz) const {
  return static_cast<float>(left + fraction(hz) * width);
}

int ChartScale::pixelX(double hz) const {
  return left + static_cast<int>(fraction(hz) * width);
}

float ChartScale::curveY(float db) const {
  return static_cast<float>(zeroDb()) - db * static_cast<float>(height) / kSpanDb;
}

int ChartScale::gridY(int db) const {
  return top + (kTopDb - db) * height / kSpanDb;
}

double ChartScale::hzAtX(int x) const {
  const LogAxis& axis = logAxis();
  return std::pow(10.0, axis.low + axis.span * (x - left) / width);
}

ChartGrid makeGrid(const ChartScale& scale) {
  ChartGrid grid;
  const int l = scale.left;
  const int r = scale.right();
  const int t = scale.top;
  const int b = scale.bottom();

  int n = 0;
  for (int decade : kMinorDecades) {
    for (int hz : kMinorDecadeHz) {
      const int x = scale.pixelX(hz * decade);
      grid.minor[n++] = GridLine{x, b, x, t};
    }
  }
  for (int db : kMinorDb) {
    const int y = scale.gridY(db);
    grid.minor[n++] = GridLine{l, y, r, y};
  }

  n = 0;
  for (int hz : kMajorHz) {
    const int x = scale.pixelX(hz);
    grid.labels[n] = GridLabel{frequencyText(hz), x - kFrequencyLabelShift, b};
    grid.major[n++] = GridLine{x, b, x, t};
  }
  for (int db : kMajorDb) {
    const int y = scale.gridY(db);
    grid.labels[n] = GridLabel{levelText(db), r + kLevelLabelGap, y - kLevelLabelRise};
    grid.major[n++] = GridLine{l, y, r, y};
  }
  return grid;
}

}  // namespace kdsp::display
