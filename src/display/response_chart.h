// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart of the equaliser pages: each switched-on band as a translucent area with a
// numbered round handle, the high-pass and low-pass filters with lettered square handles, their
// sum as a red line, and the live spectrum as a bright green line. Dragging a handle edits the
// band's or filter's record in place. The chart is a plain object of its page: the page tells it
// where it lies, forwards paints and mouse events, and sends what a drag changed.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "display/chart_handle_sprites.h"
#include "display/chart_layer.h"
#include "display/chart_scale.h"
#include "display/response_curve.h"
#include "display/spectrum_analysis.h"
#include "settings/parameter_block.h"

class QPainter;

namespace kdsp::display {

inline constexpr int kChartBands = 15;
inline constexpr int kHighPassHandle = 0;  // selectedFilter and the index into filters
inline constexpr int kLowPassHandle = 1;
inline constexpr std::uint32_t kHighPassShown = 1u << 30;  // visibleMask bits of the filters
inline constexpr std::uint32_t kLowPassShown = 1u << 31;

// A curve's outline: the kChartPoints response points (20 Hz, every grid step, 23 kHz), then two
// points that close the area (along the 0 dB line for a band, the chart's bottom for a filter).
inline constexpr int kOutlinePoints = kChartPoints + 2;

// The spectrum line draws the analyser's bins from bin 1 up to the last at or below 20 kHz
// (bins 1..928), each at its own frequency.
inline constexpr int kSpectrumTopHz = 20000;
inline constexpr int kSpectrumLinePoints = kSpectrumTopHz * kFftPoints / kCaptureRate;
inline constexpr int kSpectrumPointCapacity = 1024;
static_assert(kSpectrumLinePoints < kSpectrumBins && kSpectrumLinePoints <= kSpectrumPointCapacity);

// A handle is a 16 x 16 box centred on its point; it answers from its left and top edges up to
// but not including its right and bottom edges.
inline constexpr int kHandleSize = 16;

struct ChartPoint {
  int x = 0;
  int y = 0;
};

struct ChartPointF {
  float x = 0.0f;
  float y = 0.0f;
};

using CurveOutline = std::array<ChartPointF, kOutlinePoints>;
using SumLine = std::array<ChartPointF, kChartPoints>;

// The shown bands in drawing order: by index, with the selected band moved last so it lies on top.
struct BandOrder {
  std::array<int, kChartBands> index{};
  int count = 0;
};

// The handle under a point: a band's or a filter's, or neither (-1).
struct ChartHandleHit {
  int band = -1;
  int filter = -1;  // kHighPassHandle or kLowPassHandle
};

struct ResponseChart {
  int selectedBand = -1;    // the band being dragged or last picked; -1 none
  int selectedFilter = -1;  // kHighPassHandle, kLowPassHandle or -1
  int bandCount = 0;        // bands in use, at most kChartBands
  // Bit i (i < 15): band i shown; kHighPassShown, kLowPassShown: the filters shown.
  std::uint32_t visibleMask = 0;
  ChartRect bounds;  // in page pixels; set through setBounds
  std::array<settings::EqBand*, kChartBands> bands{};
  std::array<settings::CrossoverFilter*, 2> filters{};  // high-pass, then low-pass
  bool dragging = false;
  bool showSpectrum = false;
  bool spectrumStale = false;       // recompute the spectrum points at the next paint
  const float* spectrum = nullptr;  // levels by analyser bin, read up to bin 928; not owned
  ChartRect area;                   // (0, 0, width, height): the chart's own surface
  ChartRect plot;                   // plotRectFor(width, height)
  std::array<ChartPoint, 2> filterHandles{};
  std::array<CurveOutline, 2> filterCurves{};
  std::array<ChartPoint, kChartBands> bandHandles{};
  std::array<CurveOutline, kChartBands> bandCurves{};
  std::array<ChartPointF, kSpectrumPointCapacity> spectrumPoints{};  // kSpectrumLinePoints used

  // Stores bounds and recomputes area and plot.
  void setBounds(int x, int y, int width, int height);
  ChartScale scale() const { return ChartScale(plot); }

  // Band i is drawn when it is in use, has a record and its bit is set; likewise a filter.
  bool bandShown(int band) const;
  bool filterShown(int filter) const;
  bool anyShown() const;

  // Recomputes the outline and handle of every shown band and filter. Hidden ones keep the
  // points they were last drawn with, and a press still finds a hidden band's handle there.
  void computeCurves();
  BandOrder bandOrder() const;
  // The red line: the shown filters' and bands' curves added point by point as offsets from
  // the 0 dB line, in drawing order, taking the x of the last curve added.
  SumLine sumLine() const;
  // When spectrumStale is set and a spectrum is given: point i (0..927) becomes bin i + 1 at
  // its frequency, its level in pixels up from the plot's bottom, and spectrumStale is cleared.
  // Levels are bounded to 16384 pixels either way, so the minus infinity of a bin without energy
  // lies far below the chart; a NaN level makes a NaN point, which the line leaves out.
  void computeSpectrum();
  std::span<const ChartPointF> spectrumLine() const {
    return {spectrumPoints.data(), std::size_t(kSpectrumLinePoints)};
  }

  // The chart is painted straight onto the page's painter, at bounds in the page coordinates
  // the painter addresses, at its device's pixel ratio. Nothing for empty bounds.
  // The whole chart: paintGrid, then paintOverGrid.
  void paint(QPainter& page);
  // The grid, the plot's frame and the labels: what never changes while bounds stay.
  void paintGrid(QPainter& page) const;
  // Everything over the grid: computeSpectrum, then the band and filter areas and the sum line
  // (from a picture kept while curvesKey and the ratio stay; computeCurves when it is made), the
  // spectrum line, the handles and the selected filter's outline.
  void paintOverGrid(QPainter& page);
  // Changes whenever the areas, the sum line or the handles would be drawn differently: a hash of
  // bounds, the selections, which bands and filters are shown and every field of their records.
  // The spectrum line is not in it (spectrumStale tells of a new one).
  std::uint64_t curvesKey() const;
  // Lets the kept pictures go (a hidden page needs none); the next paint makes them anew.
  void releasePictures();

  // A press at page pixels (x, y): false when the point lies outside bounds (edges included).
  // Otherwise starts dragging and picks, in this order, the high-pass handle, the low-pass
  // handle (a hit on a hidden filter picks nothing) or the lowest band whose handle contains the
  // point, and returns true; a press on no handle clears both selections.
  bool press(int x, int y);
  // The handle a press at page pixels (x, y) would pick, picking nothing.
  ChartHandleHit handleAt(int x, int y) const;
  void release() { dragging = false; }
  // A move to page pixels (x, y) while dragging: a selected band takes dragGain of the row and
  // dragStep of the column; a selected filter takes only the step. Returns true when the band's
  // or filter's record changed.
  bool drag(int x, int y);

 private:
  // The kept pictures are made for the page's device pixels. The resting layer holds the areas
  // of the shown bands but the selected one, which lies on top of them and is the one a drag
  // moves; the curve layer starts from it and adds the selected band's area, the selected
  // filter's area and the sum line. A drag frame then fills one area and strokes one line.
  std::uint64_t restingBandsKey() const;
  void drawRestingLayer(const QPainter& page, std::uint64_t key);
  void drawCurveLayer(std::uint64_t key);

  ChartLayer restingLayer_;
  ChartLayer curveLayer_;
  HandleSprites handleSprites_;
};

// What a drag to a row or column of the chart (chart pixels) means. Inside the plot: the gain
// of the row in whole tenths of a dB, cut toward zero, and the first grid step at or above the
// column's frequency. On or beyond an edge of the plot: that edge's limit, +12.0 dB above, -24.0
// dB below, step 0 left and the last step right, so a quick drag past an edge lands on the limit
// however far apart the pointer's last two positions were.
int dragGain(const ChartScale& scale, int y);
int dragStep(const ChartScale& scale, int x);

}  // namespace kdsp::display
