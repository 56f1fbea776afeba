// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the response chart painted in layers: a chart that keeps its pictures between paints
// draws exactly what a new chart draws after any change, curvesKey follows what is drawn, and at
// a device pixel ratio of 2 every feature lies at twice its page coordinates on the device grid.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/chart_paint_style.h"
#include "display/response_chart.h"
#include "settings/frequency_grid.h"

namespace kdsp::display {
namespace {

using settings::CrossoverFilter;
using settings::EqBand;

constexpr QRgb kScreen = qRgb(0x0d, 0x12, 0x17);

// A page of the given size in page pixels at a device pixel ratio, filled with the screen.
QImage pageAt(QSize size, qreal ratio) {
  QImage page(static_cast<int>(std::ceil(size.width() * ratio)),
              static_cast<int>(std::ceil(size.height() * ratio)),
              QImage::Format_ARGB32_Premultiplied);
  page.setDevicePixelRatio(ratio);
  page.fill(kScreen);
  return page;
}

// Fifteen bands of every type and width, both filters, and a rippled spectrum.
class LayeredChartTest : public ::testing::Test {
 protected:
  LayeredChartTest() {
    for (int i = 0; i < kChartBands; ++i) {
      const auto type = i == 0 ? settings::kLowShelf
                               : (i == kChartBands - 1 ? settings::kHighShelf : settings::kPeaking);
      bands[i] = EqBand{static_cast<std::int16_t>((i % 5) * 30 - 60),
                        static_cast<std::uint16_t>(10 + 23 * i),
                        static_cast<std::uint8_t>(5 + 2 * i),
                        type,
                        1,
                        0};
    }
    for (int bin = 0; bin < kSpectrumPointCapacity; ++bin)
      levels[bin] = 120.0f + 60.0f * std::sin(0.05f * bin);
    wire(chart);
    chart.setBounds(30, 40, 700, 300);
    chart.bandCount = kChartBands;
    chart.visibleMask = ((1u << kChartBands) - 1) | kHighPassShown | kLowPassShown;
    chart.selectedBand = 4;
    chart.showSpectrum = true;
    chart.spectrumStale = true;
  }

  void wire(ResponseChart& c) {
    for (int i = 0; i < kChartBands; ++i) c.bands[i] = &bands[i];
    c.filters = {&highPass, &lowPass};
    c.spectrum = levels.data();
  }

  // A chart made now with the state `chart` shows, painted whole.
  QImage freshPaint(qreal ratio) {
    ResponseChart fresh;
    wire(fresh);
    fresh.setBounds(chart.bounds.x, chart.bounds.y, chart.bounds.width, chart.bounds.height);
    fresh.selectedBand = chart.selectedBand;
    fresh.selectedFilter = chart.selectedFilter;
    fresh.bandCount = chart.bandCount;
    fresh.visibleMask = chart.visibleMask;
    fresh.showSpectrum = chart.showSpectrum;
    fresh.spectrumStale = true;
    QImage page = pageAt(kPageSize, ratio);
    QPainter painter(&page);
    fresh.paint(painter);
    return page;
  }

  static constexpr QSize kPageSize{760, 380};
  std::array<EqBand, kChartBands> bands{};
  CrossoverFilter highPass{40, settings::kButterworth, settings::kHighPass, 2, 0};
  CrossoverFilter lowPass{330, settings::kLinkwitzRiley, settings::kLowPass, 3, 0};
  std::vector<float> levels = std::vector<float>(kSpectrumPointCapacity);
  ResponseChart chart;
};

TEST_F(LayeredChartTest, KeptPicturesPaintWhatANewChartPaintsAfterEveryChange) {
  struct Change {
    std::string what;
    std::function<void()> apply;
    qreal ratio;
    bool keyChanges;
  };
  const std::vector<Change> changes = {
      {"nothing", [] {}, 1.0, false},
      {"a band's gain", [&] { bands[3].gain = 90; }, 1.0, true},
      {"a band's frequency step", [&] { ++bands[5].frequency; }, 1.0, true},
      {"a band's bandwidth", [&] { bands[6].bandwidth = 2; }, 1.0, true},
      {"a band's type", [&] { bands[2].type = settings::kHighShelf; }, 1.0, true},
      {"a band switched off", [&] { chart.visibleMask &= ~(1u << 7); }, 1.0, true},
      {"a hidden band's gain", [&] { bands[7].gain = -200; }, 1.0, false},
      {"another band selected", [&] { chart.selectedBand = 8; }, 1.0, true},
      {"the selected band dragged", [&] { bands[8].gain = 110; }, 1.0, true},
      {"the high-pass selected",
       [&] {
         chart.selectedBand = -1;
         chart.selectedFilter = kHighPassHandle;
       },
       1.0, true},
      {"the high-pass dragged", [&] { highPass.frequency = 70; }, 1.0, true},
      {"the low-pass's frequency", [&] { lowPass.frequency = 300; }, 1.0, true},
      {"fewer bands in use", [&] { chart.bandCount = 12; }, 1.0, true},
      {"bounds moved", [&] { chart.setBounds(37, 35, 700, 300); }, 1.0, true},
      {"bounds resized", [&] { chart.setBounds(37, 35, 660, 320); }, 1.0, true},
      {"a new spectrum", [&] { levels.assign(levels.size(), 90.0f); }, 1.0, false},
      {"ratio 2", [] {}, 2.0, false},
      {"a band's gain at ratio 2", [&] { bands[0].gain = -120; }, 2.0, true},
      {"ratio 1.5", [] {}, 1.5, false},
      {"a band selected at ratio 1.5", [&] { chart.selectedBand = 1; }, 1.5, true},
      {"ratio 1", [] {}, 1.0, false},
  };

  // The page's way: the grid drawn once into a kept picture while bounds and ratio stay, and each
  // frame everything else over a copy of it; against a new chart painted whole.
  QImage grid;
  ChartRect gridBounds;
  std::uint64_t key = chart.curvesKey();
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    change.apply();
    chart.spectrumStale = true;
    const std::uint64_t newKey = chart.curvesKey();
    EXPECT_EQ(newKey != key, change.keyChanges);
    key = newKey;

    const bool moved = chart.bounds.x != gridBounds.x || chart.bounds.y != gridBounds.y ||
                       chart.bounds.width != gridBounds.width ||
                       chart.bounds.height != gridBounds.height;
    if (grid.isNull() || grid.devicePixelRatio() != change.ratio || moved) {
      grid = pageAt(kPageSize, change.ratio);
      QPainter painter(&grid);
      chart.paintGrid(painter);
      gridBounds = chart.bounds;
    }
    QImage kept = grid.copy();
    {
      QPainter painter(&kept);
      chart.paintOverGrid(painter);
    }
    const QImage fresh = freshPaint(change.ratio);
    ASSERT_EQ(kept.size(), fresh.size());
    EXPECT_TRUE(kept == fresh);
  }
}

// Rows of the chart's column x whose pixel is the colour, averaged; -1 when none is.
double meanRowOf(const QImage& image, int x, const std::function<bool(QRgb)>& is) {
  double sum = 0;
  int rows = 0;
  for (int y = 0; y < image.height(); ++y) {
    if (is(image.pixel(x, y))) {
      sum += y;
      ++rows;
    }
  }
  return rows == 0 ? -1 : sum / rows;
}

bool isRed(QRgb p) {
  return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
}

TEST_F(LayeredChartTest, AtRatioTwoEveryFeatureLiesAtTwiceItsPageCoordinates) {
  std::array<QImage, 2> pages;
  for (int ratio : {1, 2}) {
    pages[ratio - 1] = pageAt(kPageSize, ratio);
    QPainter painter(&pages[ratio - 1]);
    chart.paint(painter);
  }
  const QImage& one = pages[0];
  const QImage& two = pages[1];

  // What the chart covers, as a box: twice as large, from twice as far.
  auto paintedBox = [](const QImage& page) {
    QRect box;
    for (int y = 0; y < page.height(); ++y) {
      for (int x = 0; x < page.width(); ++x)
        if (page.pixel(x, y) != kScreen) box |= QRect(x, y, 1, 1);
    }
    return box;
  };
  const QRect boxOne = paintedBox(one);
  const QRect boxTwo = paintedBox(two);
  EXPECT_NEAR(boxTwo.left(), 2 * boxOne.left(), 1);
  EXPECT_NEAR(boxTwo.top(), 2 * boxOne.top(), 1);
  EXPECT_NEAR(boxTwo.right(), 2 * boxOne.right() + 1, 1);
  EXPECT_NEAR(boxTwo.bottom(), 2 * boxOne.bottom() + 1, 1);

  // Inside each band handle's circle, left of its number, a page pixel is the band's opaque
  // colour, and so are its 2 x 2 device pixels at ratio 2.
  const int x0 = chart.bounds.x;
  const int y0 = chart.bounds.y;
  for (int band = 0; band < kChartBands; ++band) {
    SCOPED_TRACE(band);
    const ChartPoint h = chart.bandHandles[band];
    const QRgb colour = opaque(kBandFills[band]).rgb();
    const int x = x0 + h.x - 6;
    const int y = y0 + h.y;
    EXPECT_EQ(one.pixel(x, y), colour);
    for (int dy : {0, 1}) {
      for (int dx : {0, 1}) EXPECT_EQ(two.pixel(2 * x + dx, 2 * y + dy), colour);
    }
  }

  // The sum line's rows at columns clear of the handles: the same line, twice as far down.
  int measured = 0;
  for (double hz : {25.0, 45.0, 160.0, 700.0, 1800.0, 5000.0, 9000.0}) {
    const int column = chart.scale().pixelX(hz);
    bool clear = true;
    for (const ChartPoint& h : chart.bandHandles) clear = clear && std::abs(h.x - column) > 10;
    for (const ChartPoint& h : chart.filterHandles) clear = clear && std::abs(h.x - column) > 10;
    if (!clear) continue;
    SCOPED_TRACE(hz);
    const double rowOne = meanRowOf(one, x0 + column, isRed);
    const double rowTwo = meanRowOf(two, 2 * (x0 + column), isRed);
    ASSERT_GT(rowOne, 0);
    EXPECT_NEAR(rowTwo + 0.5, 2 * (rowOne + 0.5), 0.75);
    ++measured;
  }
  EXPECT_GE(measured, 3);
}

TEST_F(LayeredChartTest, OnePagePixelLinesCoverExactlyTwoDeviceRowsAtRatioTwo) {
  // Nothing but the grid and a flat spectrum line, 150 pixels up from the plot's bottom.
  chart.visibleMask = 0;
  levels.assign(levels.size(), 150.0f);
  QImage page = pageAt(kPageSize, 2);
  {
    QPainter painter(&page);
    chart.paint(painter);
  }
  const int spectrumRow = chart.bounds.y + chart.scale().bottom() - 150;
  const int zeroDbRow = chart.bounds.y + chart.scale().zeroDb();
  // Columns between grid lines, in device pixels.
  const int x = 2 * (chart.bounds.x + chart.scale().pixelX(1400.0));
  const QRgb spectrum = colourOf(kSpectrumLine).rgb();
  EXPECT_NE(page.pixel(x, 2 * spectrumRow - 1), spectrum);
  EXPECT_EQ(page.pixel(x, 2 * spectrumRow), spectrum);
  EXPECT_EQ(page.pixel(x, 2 * spectrumRow + 1), spectrum);
  EXPECT_NE(page.pixel(x, 2 * spectrumRow + 2), spectrum);

  // The 0 dB grid line: its page row at full strength on both device rows, its neighbours' rows
  // a fainter half of the 1.5-pixel line's edge.
  const QRgb line = page.pixel(x, 2 * zeroDbRow);
  EXPECT_EQ(page.pixel(x, 2 * zeroDbRow + 1), line);
  for (int y : {2 * zeroDbRow - 1, 2 * zeroDbRow + 2}) {
    EXPECT_LT(qGray(page.pixel(x, y)), qGray(line)) << y;
    EXPECT_GT(qGray(page.pixel(x, y)), qGray(kScreen)) << y;
  }
  EXPECT_EQ(page.pixel(x, 2 * zeroDbRow - 2), kScreen);
  EXPECT_EQ(page.pixel(x, 2 * zeroDbRow + 3), kScreen);
}

}  // namespace
}  // namespace kdsp::display
