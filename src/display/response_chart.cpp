// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart's geometry and gestures: outlines, handles, the summed line, the spectrum
// points, and what a press or a drag does. Painting lives in response_chart_paint.cpp.
#include "display/response_chart.h"

#include <algorithm>
#include <cmath>

#include "settings/frequency_grid.h"
#include "skin/paint_key.h"

namespace kdsp::display {
namespace {

constexpr int kTenthsPerDb = 10;
constexpr int kTopGain = kTopDb * kTenthsPerDb;        // +12.0 dB
constexpr int kBottomGain = kBottomDb * kTenthsPerDb;  // -24.0 dB
constexpr int kHandleHalf = kHandleSize / 2;

// A spectrum level further than this many pixels from the plot's bottom is far off the surface
// anyway. Bounding it keeps infinities out of the rasteriser: a bin without energy reads minus
// infinity and becomes a point far below the chart, so silence draws nothing visible while a lone
// peak between two empty bins still rises from below the bottom edge. A NaN stays a NaN, which
// breaks the line.
constexpr float kSpectrumReachPixels = 16384.0f;
// Likewise for a response: only a corrupt record reaches it (an overflowing gain designs a
// section of infinities), and its curve then stays drawable, a NaN level reading as 0 dB.
constexpr float kCurveReachDb = 1000.0f;

float boundedLevel(float level) {
  return std::isnan(level) ? level : std::clamp(level, -kSpectrumReachPixels, kSpectrumReachPixels);
}

float boundedDb(float db) {
  return std::isnan(db) ? 0.0f : std::clamp(db, -kCurveReachDb, kCurveReachDb);
}

bool handleContains(ChartPoint handle, int x, int y) {
  return handle.x - kHandleHalf <= x && x < handle.x + kHandleHalf && handle.y - kHandleHalf <= y &&
         y < handle.y + kHandleHalf;
}

// The response points of a curve at the given columns, closed by the two points given.
void fillOutline(const ChartScale& scale, const std::array<float, kChartPoints>& xs,
                 const ChartResponse& response, ChartPointF closeRight, ChartPointF closeLeft,
                 CurveOutline& outline) {
  for (int k = 0; k < kChartPoints; ++k)
    outline[k] = {xs[k], scale.curveY(boundedDb(response.db[k]))};
  outline[kChartPoints] = closeRight;
  outline[kChartPoints + 1] = closeLeft;
}

template <typename T>
bool store(T& field, int value) {
  if (field == static_cast<T>(value)) return false;
  field = static_cast<T>(value);
  return true;
}

}  // namespace

void ResponseChart::setBounds(int x, int y, int width, int height) {
  bounds = ChartRect{x, y, width, height};
  area = ChartRect{0, 0, width, height};
  plot = plotRectFor(width, height);
}

bool ResponseChart::bandShown(int band) const {
  return band >= 0 && band < std::min(bandCount, kChartBands) && (visibleMask >> band & 1u) != 0 &&
         bands[band] != nullptr;
}

bool ResponseChart::filterShown(int filter) const {
  if (filter != kHighPassHandle && filter != kLowPassHandle) return false;
  const std::uint32_t bit = filter == kHighPassHandle ? kHighPassShown : kLowPassShown;
  return (visibleMask & bit) != 0 && filters[filter] != nullptr;
}

bool ResponseChart::anyShown() const {
  if (filterShown(kHighPassHandle) || filterShown(kLowPassHandle)) return true;
  for (int i = 0; i < kChartBands; ++i) {
    if (bandShown(i)) return true;
  }
  return false;
}

void ResponseChart::computeCurves() {
  if (!anyShown()) return;
  const ChartScale s = scale();
  const auto& hz = chartFrequencies();
  // Bands sit on whole pixel columns, filters keep the fraction; both run from L to R exactly.
  std::array<float, kChartPoints> pixelXs;
  std::array<float, kChartPoints> fineXs;
  for (int k = 0; k < kChartPoints; ++k) {
    pixelXs[k] = static_cast<float>(s.pixelX(hz[k]));
    fineXs[k] = s.curveX(hz[k]);
  }
  pixelXs.front() = fineXs.front() = static_cast<float>(s.left);
  pixelXs.back() = fineXs.back() = static_cast<float>(s.right());

  const float left = static_cast<float>(s.left);
  const float right = static_cast<float>(s.right());
  const float zero = static_cast<float>(s.zeroDb());
  for (int i = 0; i < kChartBands; ++i) {
    if (!bandShown(i)) continue;
    const settings::EqBand& band = *bands[i];
    ChartResponse response;
    addBand(band, response);
    fillOutline(s, pixelXs, response, {right, zero}, {left, zero}, bandCurves[i]);
    // Whole tenths of a dB over whole pixels: the exact quotient, cut toward zero.
    bandHandles[i] = {s.pixelX(settings::gridFrequency(band.frequency)),
                      s.zeroDb() - s.height * band.gain / (kSpanDb * kTenthsPerDb)};
  }

  const float chartBottom = static_cast<float>(area.height);
  for (int f : {kHighPassHandle, kLowPassHandle}) {
    if (!filterShown(f)) continue;
    const settings::CrossoverFilter& filter = *filters[f];
    ChartResponse response;
    addCrossover(filter, response);
    fillOutline(s, fineXs, response, {right, chartBottom}, {left, chartBottom}, filterCurves[f]);
    filterHandles[f] = {s.pixelX(settings::gridFrequency(filter.frequency)),
                        (s.top + s.bottom()) / 3};
  }
}

std::uint64_t ResponseChart::restingBandsKey() const {
  skin::PaintKey key;
  key.add(bounds.x);
  key.add(bounds.y);
  key.add(bounds.width);
  key.add(bounds.height);
  key.add(selectedBand);
  for (int i = 0; i < kChartBands; ++i) {
    const bool shown = bandShown(i);
    key.add(shown);
    if (shown && i != selectedBand) key.add(*bands[i]);
  }
  return key.value();
}

std::uint64_t ResponseChart::curvesKey() const {
  skin::PaintKey key;
  key.add(restingBandsKey());
  if (bandShown(selectedBand)) key.add(*bands[selectedBand]);
  key.add(selectedFilter);
  for (int f : {kHighPassHandle, kLowPassHandle}) {
    const bool shown = filterShown(f);
    key.add(shown);
    if (shown) key.add(*filters[f]);
  }
  return key.value();
}

BandOrder ResponseChart::bandOrder() const {
  BandOrder order;
  for (int i = 0; i < kChartBands; ++i) {
    if (i != selectedBand && bandShown(i)) order.index[order.count++] = i;
  }
  if (bandShown(selectedBand)) order.index[order.count++] = selectedBand;
  return order;
}

SumLine ResponseChart::sumLine() const {
  const float zero = static_cast<float>(scale().zeroDb());
  SumLine sum{};
  auto add = [&](const CurveOutline& curve) {
    for (int k = 0; k < kChartPoints; ++k) {
      sum[k].x = curve[k].x;
      sum[k].y += curve[k].y - zero;
    }
  };
  for (int f : {kHighPassHandle, kLowPassHandle}) {
    if (filterShown(f)) add(filterCurves[f]);
  }
  const BandOrder order = bandOrder();
  for (int n = 0; n < order.count; ++n) add(bandCurves[order.index[n]]);
  for (ChartPointF& point : sum) point.y += zero;
  return sum;
}

void ResponseChart::computeSpectrum() {
  if (!spectrumStale || spectrum == nullptr) return;
  const ChartScale s = scale();
  const float bottom = static_cast<float>(s.bottom());
  for (int i = 0; i < kSpectrumLinePoints; ++i) {
    const int bin = i + 1;
    spectrumPoints[i].x = s.curveX(binFrequency(bin));
    spectrumPoints[i].y = bottom - boundedLevel(spectrum[bin]);
  }
  spectrumStale = false;
}

bool ResponseChart::press(int x, int y) {
  if (x < bounds.x || x > bounds.right() || y < bounds.y || y > bounds.bottom()) return false;
  dragging = true;
  const ChartHandleHit hit = handleAt(x, y);
  selectedFilter = hit.filter;
  selectedBand = hit.band;
  return true;
}

ChartHandleHit ResponseChart::handleAt(int x, int y) const {
  ChartHandleHit hit;
  if (x < bounds.x || x > bounds.right() || y < bounds.y || y > bounds.bottom()) return hit;
  const int px = x - bounds.x;
  const int py = y - bounds.y;
  for (int f : {kHighPassHandle, kLowPassHandle}) {
    // A filter the page does not show keeps its handle where it was last drawn (or at the
    // corner): a press there must not pick it.
    if (handleContains(filterHandles[f], px, py) && filterShown(f)) {
      hit.filter = f;
      return hit;
    }
  }
  // Bands switched off stay where they were last drawn and can still be picked there.
  const int count = std::clamp(bandCount, 0, kChartBands);
  for (int i = 0; i < count; ++i) {
    if (bands[i] != nullptr && handleContains(bandHandles[i], px, py)) {
      hit.band = i;
      return hit;
    }
  }
  return hit;
}

int dragGain(const ChartScale& scale, int y) {
  if (y <= scale.top) return kTopGain;
  if (y >= scale.bottom()) return kBottomGain;
  // trunc(dB x 10) of dB = (Z - y) x 36 / H, taken as one exact integer quotient.
  const int gain = (scale.zeroDb() - y) * kSpanDb * kTenthsPerDb / scale.height;
  return std::clamp(gain, kBottomGain, kTopGain);
}

int dragStep(const ChartScale& scale, int x) {
  if (x <= scale.left) return 0;
  if (x >= scale.right()) return settings::kLastStep;
  return settings::gridStepAtOrAbove(static_cast<float>(scale.hzAtX(x)));
}

bool ResponseChart::drag(int x, int y) {
  if (!dragging) return false;
  const ChartScale s = scale();
  if (s.width <= 0 || s.height <= 0) return false;
  const int px = x - bounds.x;
  const int py = y - bounds.y;

  if (selectedBand >= 0 && selectedBand < kChartBands && bands[selectedBand] != nullptr) {
    settings::EqBand& band = *bands[selectedBand];
    const bool gainChanged = store(band.gain, dragGain(s, py));
    const bool stepChanged = store(band.frequency, dragStep(s, px));
    return gainChanged || stepChanged;
  }
  if ((selectedFilter == kHighPassHandle || selectedFilter == kLowPassHandle) &&
      filters[selectedFilter] != nullptr) {
    return store(filters[selectedFilter]->frequency, dragStep(s, px));
  }
  return false;
}

}  // namespace kdsp::display
