// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart alone, as the Mic Equalizer page paints it: fifteen bands and both filters
// shown, onto a page-sized picture at device pixel ratios 1, 1.5 and 2 (the argument in percent).
// Whole: the grid and everything over it, nothing changed since the last paint. Drag frame: one
// band's gain changed, everything over the grid redrawn onto the page's kept grid. Spectrum
// frame: a new spectrum, the curves unchanged, likewise.
#include <benchmark/benchmark.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "display/response_chart.h"
#include "qt_bench_main.h"
#include "settings/parameter_block.h"
#include "skin/page_layouts.h"

namespace kdsp::bench {
namespace {

using display::kChartBands;

constexpr QColor kBackground(0x0d, 0x12, 0x17);
constexpr int kDraggedBand = 7;

// A chart over its own records, laid out as the Mic Equalizer page lays it out.
struct BusyChart {
  std::array<settings::EqBand, kChartBands> bands{};
  settings::CrossoverFilter highPass{40, settings::kButterworth, settings::kHighPass, 2, 0};
  settings::CrossoverFilter lowPass{330, settings::kLinkwitzRiley, settings::kLowPass, 3, 0};
  display::ResponseChart chart;

  BusyChart() {
    for (int i = 0; i < kChartBands; ++i) {
      const auto type = i == 0 ? settings::kLowShelf
                               : (i == kChartBands - 1 ? settings::kHighShelf : settings::kPeaking);
      bands[i] = settings::EqBand{static_cast<std::int16_t>((i % 5) * 30 - 60),
                                  static_cast<std::uint16_t>(10 + 23 * i),
                                  static_cast<std::uint8_t>(5 + 2 * i),
                                  type,
                                  1,
                                  0};
      chart.bands[i] = &bands[i];
    }
    chart.filters = {&highPass, &lowPass};
    chart.bandCount = kChartBands;
    chart.visibleMask =
        ((1u << kChartBands) - 1) | display::kHighPassShown | display::kLowPassShown;
    chart.selectedBand = kDraggedBand;
    const skin::LayoutRect at = skin::page_layout::LayoutOf(settings::PageId::kMicEqualizer).chart;
    chart.setBounds(at.x, at.y, at.w, at.h);
  }
};

// The page's picture at the benchmark's ratio, filled with the screen's colour.
QImage pageAt(const benchmark::State& state) {
  const qreal ratio = static_cast<qreal>(state.range(0)) / 100;
  const skin::LayoutSize size =
      skin::page_layout::PageSize(skin::page_layout::LayoutOf(settings::PageId::kMicEqualizer));
  QImage page(static_cast<int>(std::ceil(size.w * ratio)),
              static_cast<int>(std::ceil(size.h * ratio)), QImage::Format_ARGB32_Premultiplied);
  page.setDevicePixelRatio(ratio);
  page.fill(kBackground);
  return page;
}

// Two spectra a frame apart: a slow ripple that moves between them.
std::array<std::vector<float>, 2> rippledSpectra() {
  std::array<std::vector<float>, 2> spectra;
  for (int s = 0; s < 2; ++s) {
    spectra[s].resize(display::kSpectrumPointCapacity);
    for (int bin = 0; bin < display::kSpectrumPointCapacity; ++bin)
      spectra[s][bin] = 110.0f + 70.0f * std::sin(0.05f * bin + 0.7f * s);
  }
  return spectra;
}

// The page's kept grid: the background with the chart's grid over it.
QImage gridLayer(BusyChart& busy, const QImage& page) {
  QImage grid = page.copy();
  QPainter painter(&grid);
  busy.chart.paintGrid(painter);
  return grid;
}

// Puts the kept grid back under the chart, as the page does before each frame.
void restore(QImage& page, const QImage& grid) {
  std::memcpy(page.bits(), grid.constBits(), static_cast<std::size_t>(grid.sizeInBytes()));
}

// The first band's handle, opaque, covers its centre.
bool painted(const BusyChart& busy, const QImage& page) {
  const display::ChartPoint handle = busy.chart.bandHandles[0];
  const qreal ratio = page.devicePixelRatio();
  const QRgb centre = page.pixel(static_cast<int>((busy.chart.bounds.x + handle.x) * ratio),
                                 static_cast<int>((busy.chart.bounds.y + handle.y) * ratio));
  return centre != kBackground.rgba();
}

void BM_ChartWhole(benchmark::State& state) {
  BusyChart busy;
  QImage page = pageAt(state);
  for (auto _ : state) {
    QPainter painter(&page);
    busy.chart.paint(painter);
  }
  if (!painted(busy, page)) Fail(state, "the chart painted nothing");
}

void BM_ChartDragFrame(benchmark::State& state) {
  BusyChart busy;
  QImage page = pageAt(state);
  const QImage grid = gridLayer(busy, page);
  std::int16_t gain = 0;
  for (auto _ : state) {
    state.PauseTiming();
    restore(page, grid);
    state.ResumeTiming();
    gain = static_cast<std::int16_t>(gain == 90 ? -90 : gain + 1);
    busy.bands[kDraggedBand].gain = gain;
    QPainter painter(&page);
    busy.chart.paintOverGrid(painter);
  }
  if (!painted(busy, page)) Fail(state, "the chart painted nothing");
}

void BM_ChartSpectrumFrame(benchmark::State& state) {
  BusyChart busy;
  busy.chart.showSpectrum = true;
  QImage page = pageAt(state);
  const QImage grid = gridLayer(busy, page);
  const auto spectra = rippledSpectra();
  int frame = 0;
  for (auto _ : state) {
    state.PauseTiming();
    restore(page, grid);
    state.ResumeTiming();
    busy.chart.spectrum = spectra[frame++ % 2].data();
    busy.chart.spectrumStale = true;
    QPainter painter(&page);
    busy.chart.paintOverGrid(painter);
  }
  if (!painted(busy, page)) Fail(state, "the chart painted nothing");
}

BENCHMARK(BM_ChartWhole)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartDragFrame)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartSpectrumFrame)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kdsp::bench

int main(int argc, char** argv) {
  return kdsp::bench::RunQtBenchmarks(argc, argv);
}
