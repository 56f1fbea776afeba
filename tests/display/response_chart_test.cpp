// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the response chart: its grid and labels, curves and handles, what presses and drags
// pick and write, and the rendered chart (line heights, handle colours, the spectrum line).
#include "display/response_chart.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "display/spectrum_analysis.h"
#include "settings/frequency_grid.h"

namespace kdsp::display {
namespace {

using settings::CrossoverFilter;
using settings::EqBand;

// Where the chart lies on a test page; 700 x 400 gives the plot L 20, T 8, W 640, H 377, so
// R 660, B 385 and the 0 dB line Z 133.
constexpr int kPageX = 30;
constexpr int kPageY = 40;

struct Pixel {
  int a, r, g, b;
};

Pixel pixelAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return {qAlpha(p), qRed(p), qGreen(p), qBlue(p)};
}

bool isRed(Pixel p) {
  return p.a > 150 && p.r > 150 && p.g < 100 && p.b < 100;
}
// The spectrum line's dark green, alone or over the grey grid.
bool isSpectrumGreen(Pixel p) {
  return p.a > 60 && p.g > p.r + 30 && p.g > p.b + 30;
}

void expectColour(Pixel p, int a, int r, int g, int b) {
  EXPECT_NEAR(p.a, a, 3);
  EXPECT_NEAR(p.r, r, 3);
  EXPECT_NEAR(p.g, g, 3);
  EXPECT_NEAR(p.b, b, 3);
}

class ChartTest : public ::testing::Test {
 protected:
  ChartTest() {
    resize(700, 400);
    for (int i = 0; i < kChartBands; ++i) chart.bands[i] = &bands[i];
    chart.filters = {&highPass, &lowPass};
  }

  void resize(int width, int height) { chart.setBounds(kPageX, kPageY, width, height); }
  ChartScale scale() const { return chart.scale(); }

  // A band switched on and shown; bandCount covers it.
  void showBand(int i, std::int16_t gain, std::uint16_t step) {
    bands[i] = EqBand{gain, step, 19, settings::kPeaking, 1, 0};
    chart.bandCount = std::max(chart.bandCount, i + 1);
    chart.visibleMask |= 1u << i;
  }

  // The chart's own pixels after a paint onto a transparent page, not premultiplied.
  QImage render() {
    QImage page(kPageX + chart.bounds.width + 10, kPageY + chart.bounds.height + 10,
                QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::transparent);
    QPainter painter(&page);
    chart.paint(painter);
    painter.end();
    return page.copy(kPageX, kPageY, chart.bounds.width, chart.bounds.height)
        .convertToFormat(QImage::Format_ARGB32);
  }

  // Presses and drags in chart pixels, as the page forwards them in page pixels.
  bool pressAt(int x, int y) { return chart.press(kPageX + x, kPageY + y); }
  bool pressOn(ChartPoint handle) { return pressAt(handle.x, handle.y); }
  bool dragTo(int x, int y) { return chart.drag(kPageX + x, kPageY + y); }

  std::array<EqBand, kChartBands> bands{};
  CrossoverFilter highPass{100, settings::kButterworth, settings::kHighPass, 2, 0};
  CrossoverFilter lowPass{330, settings::kButterworth, settings::kLowPass, 2, 0};
  ResponseChart chart;
};

TEST_F(ChartTest, GridLabelsReadAndSitWhereTheScaleSays) {
  const ChartGrid grid = makeGrid(scale());
  struct Expected {
    const char* text;
    int x, y;
  };
  // Frequency labels 8 pixels left of their line at B; level labels at R + 5, 8 above the line.
  const std::vector<Expected> expected = {
      {"20Hz", 12, 385},   {"50Hz", 95, 385},  {"100Hz", 158, 385}, {"200Hz", 221, 385},
      {"500Hz", 304, 385}, {"1K", 367, 385},   {"2K", 430, 385},    {"5K", 513, 385},
      {"10K", 576, 385},   {"20K", 639, 385},  {"12dB", 665, 0},    {"6dB", 665, 62},
      {"0dB", 665, 125},   {"-6dB", 665, 188}, {"-12dB", 665, 251}, {"-18dB", 665, 314},
      {"-24dB", 665, 377}};
  ASSERT_EQ(grid.labels.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(grid.labels[i].text, expected[i].text) << i;
    EXPECT_EQ(grid.labels[i].x, expected[i].x) << expected[i].text;
    EXPECT_EQ(grid.labels[i].y, expected[i].y) << expected[i].text;
  }
  // The 0 dB line is the one a third of the way down (row 133 of T 8 .. B 385), and the level
  // lines end at the frame.
  EXPECT_EQ(grid.major[kMajorFrequencyLines + 2].y1, 133);
  EXPECT_EQ(grid.major[kMajorFrequencyLines + 6].y1, 385);
}

TEST_F(ChartTest, NothingShownDrawsOnlyGridLabelsAndSpectrum) {
  for (int i = 0; i < 6; ++i) showBand(i, static_cast<std::int16_t>(60 - 30 * i), 120 + 30 * i);
  chart.visibleMask = 0;
  std::vector<float> levels(kSpectrumPointCapacity, 150.0f);
  chart.showSpectrum = true;
  chart.spectrum = levels.data();
  chart.spectrumStale = true;

  const QImage image = render();
  int green = 0;
  int other = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const Pixel p = pixelAt(image, x, y);
      if (p.a < 30) continue;
      if (isSpectrumGreen(p)) {
        ++green;
      } else if (std::abs(p.r - p.g) > 12 || std::abs(p.g - p.b) > 12) {
        ++other;  // neither grey grid nor white label: a curve, a handle or the red line
      }
    }
  }
  EXPECT_GT(green, 400);
  EXPECT_EQ(other, 0);
  EXPECT_FALSE(chart.anyShown());
}

TEST_F(ChartTest, OnlyTheHighPassMakesTheRedLineAndItsAreaFillsOnceItsHandleIsPressed) {
  chart.visibleMask = kHighPassShown;
  chart.computeCurves();
  const SumLine sum = chart.sumLine();
  for (int k = 0; k < kChartPoints; ++k) {
    EXPECT_FLOAT_EQ(sum[k].x, chart.filterCurves[0][k].x) << k;
    EXPECT_NEAR(sum[k].y, chart.filterCurves[0][k].y, 1e-3) << k;
  }
  // The curve closes along the chart's bottom; the handle sits at (T + B) div 3.
  EXPECT_FLOAT_EQ(chart.filterCurves[0][kChartPoints].y, 400.0f);
  const ChartPoint h = chart.filterHandles[0];
  EXPECT_EQ(h.x, 195);  // step 100's frequency, between the 100Hz (x 166) and 200Hz lines
  EXPECT_EQ(h.y, 131);

  // A pixel inside the high-pass area (1.4 kHz, -13.5 dB) and one just left of the H square.
  const int areaX = scale().pixelX(1400);
  const int areaY = static_cast<int>(scale().curveY(-13.5f));
  QImage image = render();
  const Pixel square = pixelAt(image, h.x - 7, h.y - 6);
  expectColour(square, 200, 200, 200, 150);
  EXPECT_EQ(pixelAt(image, areaX, areaY).a, 0);
  EXPECT_LT(pixelAt(image, h.x - 9, h.y - 2).a, 100);
  EXPECT_TRUE(isRed(pixelAt(image, scale().pixelX(1400), scale().zeroDb())));

  ASSERT_TRUE(pressOn(h));
  EXPECT_EQ(chart.selectedFilter, kHighPassHandle);
  chart.release();
  image = render();
  expectColour(pixelAt(image, areaX, areaY), 70, 218, 228, 246);
  // The selected square's outline, one pixel outside the square.
  const Pixel outline = pixelAt(image, h.x - 9, h.y - 2);
  EXPECT_GT(outline.a, 190);
  EXPECT_GT(std::min({outline.r, outline.g, outline.b}), 240);
}

TEST_F(ChartTest, CoincidingHandlesPickHighPassThenLowPassThenTheLowestBand) {
  // Both filters and three flat bands at 1 kHz: their boxes all hold the filter handles' centre.
  highPass.frequency = lowPass.frequency = settings::kStep1kHz;
  for (int i = 0; i < 3; ++i) showBand(i, 0, settings::kStep1kHz);
  const std::uint32_t bandsShown = 0b111;
  chart.visibleMask = bandsShown | kHighPassShown | kLowPassShown;
  chart.computeCurves();
  const ChartPoint centre = chart.filterHandles[0];
  ASSERT_EQ(chart.filterHandles[1].x, centre.x);
  ASSERT_EQ(chart.bandHandles[2].x, centre.x);

  struct Case {
    std::uint32_t mask;
    int filter;
    int band;
  };
  const Case cases[] = {
      {bandsShown | kHighPassShown | kLowPassShown, kHighPassHandle, -1},
      {bandsShown | kLowPassShown, kLowPassHandle, -1},
      {bandsShown, -1, 0},
      {0b110, -1, 0},  // band 0 hidden: still found where it was last drawn
  };
  for (const Case& c : cases) {
    chart.visibleMask = c.mask;
    chart.computeCurves();
    EXPECT_TRUE(pressOn(centre));
    EXPECT_TRUE(chart.dragging);
    EXPECT_EQ(chart.selectedFilter, c.filter) << c.mask;
    EXPECT_EQ(chart.selectedBand, c.band) << c.mask;
    chart.release();
    EXPECT_FALSE(chart.dragging);
  }

  // A hidden band moved since it was drawn answers at its old place, not at its new one.
  bands[0].frequency = 300;
  chart.visibleMask = 0b110;
  chart.computeCurves();
  pressAt(scale().pixelX(settings::gridFrequency(300)), scale().zeroDb());
  EXPECT_EQ(chart.selectedBand, -1);
  pressOn(centre);
  EXPECT_EQ(chart.selectedBand, 0);
}

TEST_F(ChartTest, HandleBoxesAreHalfOpenAndPressesOutsideTheChartAreRefused) {
  showBand(0, 60, 150);
  chart.computeCurves();
  const ChartPoint c = chart.bandHandles[0];
  struct Case {
    int dx, dy;
    int band;
  };
  const Case cases[] = {{-8, -8, 0}, {7, 7, 0}, {8, 0, -1}, {0, 8, -1}, {-9, 0, -1}, {0, -9, -1}};
  for (const Case& k : cases) {
    chart.selectedBand = 5;
    EXPECT_TRUE(pressAt(c.x + k.dx, c.y + k.dy));
    EXPECT_EQ(chart.selectedBand, k.band) << k.dx << "," << k.dy;
  }

  chart.release();
  EXPECT_FALSE(chart.press(kPageX - 1, kPageY + 10));
  EXPECT_FALSE(chart.press(kPageX + 10, kPageY + 401));
  EXPECT_FALSE(chart.dragging);
  EXPECT_TRUE(chart.press(kPageX + 700, kPageY + 400));  // both far edges belong to the chart
  EXPECT_TRUE(chart.dragging);
}

TEST(ChartDrag, RowsGiveTheirGainAndRowsOnOrBeyondAnEdgeTheLimit) {
  // H 360 from T 8: Z 128, B 368, one pixel per tenth of a dB.
  const ChartScale tall(ChartRect{20, 8, 640, 360});
  // H 100 from T 8: Z 41, B 108; a pixel is 0.36 dB and rows cut toward zero.
  const ChartScale short_(ChartRect{20, 8, 640, 100});
  struct Case {
    const ChartScale& scale;
    int y;
    int gain;
  };
  const Case cases[] = {
      {tall, -500, 120}, {tall, 7, 120},      {tall, 8, 120},      {tall, 9, 119},
      {tall, 121, 7},    {tall, 128, 0},      {tall, 161, -33},    {tall, 367, -239},
      {tall, 368, -240}, {tall, 369, -240},   {tall, 2000, -240},  {short_, 8, 120},
      {short_, 10, 111}, {short_, 107, -237}, {short_, 108, -240}, {short_, 109, -240},
  };
  for (const Case& c : cases)
    EXPECT_EQ(dragGain(c.scale, c.y), c.gain) << c.scale.height << " " << c.y;
}

TEST(ChartDrag, ColumnsGiveTheirStepAndColumnsOnOrBeyondAnEdgeTheEndStep) {
  const ChartScale scale(ChartRect{20, 8, 640, 360});
  struct Case {
    int x;
    int step;
  };
  // Column 375 is the last whole column at or below 1 kHz (1 kHz lies at 375.3).
  const Case cases[] = {{-400, 0},
                        {19, 0},
                        {20, 0},
                        {375, settings::kStep1kHz},
                        {660, settings::kLastStep},
                        {661, settings::kLastStep},
                        {5000, settings::kLastStep}};
  for (const Case& c : cases) EXPECT_EQ(dragStep(scale, c.x), c.step) << c.x;
}

TEST_F(ChartTest, BandDraggedPastAnEdgeEndsAtTheLimitHoweverQuickTheMove) {
  resize(700, 383);  // H 360: T 8, Z 128, B 368, one pixel per tenth of a dB
  showBand(0, 0, settings::kStep1kHz);
  chart.computeCurves();
  const ChartPoint c = chart.bandHandles[0];
  ASSERT_TRUE(pressOn(c));
  ASSERT_EQ(chart.selectedBand, 0);

  // One move event can jump from well inside the plot to far past its edge.
  struct Move {
    int y;
    int gain;
    bool changed;
  };
  const Move moves[] = {
      {128 - 20, 20, true}, {-60, 120, true},   {-90, 120, false}, {128 + 33, -33, true},
      {600, -240, true},    {368, -240, false}, {128, 0, true},    {8, 120, true},
  };
  for (const Move& m : moves) {
    EXPECT_EQ(dragTo(c.x, m.y), m.changed) << m.y;
    EXPECT_EQ(bands[0].gain, m.gain) << m.y;
    EXPECT_EQ(bands[0].frequency, settings::kStep1kHz) << m.y;
  }

  // Frequency by column, written together with the row's gain.
  EXPECT_TRUE(dragTo(-80, 200));
  EXPECT_EQ(bands[0].frequency, 0);
  EXPECT_EQ(bands[0].gain, -72);
  EXPECT_TRUE(dragTo(900, 200));
  EXPECT_EQ(bands[0].frequency, settings::kLastStep);
  EXPECT_TRUE(dragTo(375, 200));
  EXPECT_EQ(bands[0].frequency, settings::kStep1kHz);
  EXPECT_FALSE(dragTo(375, 200));  // the same values again

  chart.release();
  EXPECT_FALSE(dragTo(20, 8));
  EXPECT_EQ(bands[0].frequency, settings::kStep1kHz);
  EXPECT_EQ(bands[0].gain, -72);
}

TEST_F(ChartTest, DraggedFiltersMoveOnlyInFrequencyAndEndAtTheEndSteps) {
  chart.visibleMask = kHighPassShown | kLowPassShown;
  chart.computeCurves();
  ASSERT_TRUE(pressOn(chart.filterHandles[kHighPassHandle]));
  EXPECT_TRUE(dragTo(-200, -30));
  EXPECT_EQ(highPass.frequency, 0);
  chart.release();

  chart.computeCurves();
  ASSERT_TRUE(pressOn(chart.filterHandles[kLowPassHandle]));
  ASSERT_EQ(chart.selectedFilter, kLowPassHandle);
  EXPECT_TRUE(dragTo(1200, 390));  // far right: the last step, which switches it off
  EXPECT_EQ(lowPass.frequency, settings::kLastStep);
  EXPECT_FALSE(dragTo(700, 100));
  EXPECT_TRUE(dragTo(19, 100));
  EXPECT_EQ(lowPass.frequency, 0);
  EXPECT_EQ(highPass.frequency, 0);
}

TEST_F(ChartTest, FlatBandDrawsAnEmptyAreaWithItsHandleOnTheZeroLine) {
  for (std::uint8_t type : {0, 1, 2}) {
    showBand(0, 0, 150);
    bands[0].type = type;
    chart.computeCurves();
    for (const ChartPointF& p : chart.bandCurves[0]) EXPECT_EQ(p.y, 133.0f);  // the 0 dB row
    EXPECT_EQ(chart.bandHandles[0].y, 133);
    EXPECT_EQ(chart.bandCurves[0][kChartPoints].x, 660.0f);
    EXPECT_EQ(chart.bandCurves[0][kChartPoints + 1].x, 20.0f);
  }
  // Below the red line, away from grid lines, nothing is filled.
  const QImage image = render();
  const int x = scale().pixelX(1400);
  EXPECT_TRUE(isRed(pixelAt(image, x, scale().zeroDb())));
  for (int y = scale().zeroDb() + 3; y < scale().zeroDb() + 30; ++y) {
    EXPECT_EQ(pixelAt(image, x, y).a, 0) << y;
  }
}

TEST_F(ChartTest, RedLineBesideTheHandleSitsAtTheBandsLevelAndTheHandleLiesAboveIt) {
  resize(700, 383);  // H 360: +12 dB is T (row 8), -12 dB row 248
  struct Case {
    std::int16_t gain;
    int row;
  };
  for (const Case c : {Case{120, 8}, Case{-120, 248}, Case{60, 68}}) {
    showBand(0, c.gain, settings::kStep1kHz);
    bands[0].bandwidth = 0;  // the widest band: a gentle slope beside the handle
    const QImage image = render();
    EXPECT_NEAR(chart.bandCurves[0][settings::kStep1kHz + 1].y, c.row, 0.02f);
    const ChartPoint handle = chart.bandHandles[0];
    EXPECT_EQ(handle.y, c.row);
    // The handle covers the line at 1 kHz: its circle left of the number is the band's colour
    // without any red over it.
    expectColour(pixelAt(image, handle.x - 6, handle.y), 255, 229, 105, 106);

    // The first curve point clear of the handle: the line's rows there centre on its level.
    int k = settings::kStep1kHz + 1;
    while (chart.bandCurves[0][k].x < handle.x + 10) ++k;
    const int column = static_cast<int>(chart.bandCurves[0][k].x);
    const float level = chart.bandCurves[0][k].y;
    double rowSum = 0;
    int redRows = 0;
    for (int y = 0; y < image.height(); ++y) {
      if (isRed(pixelAt(image, column, y))) {
        rowSum += y;
        ++redRows;
      }
    }
    ASSERT_GE(redRows, 2) << c.gain;
    EXPECT_LE(redRows, 4) << c.gain;
    EXPECT_NEAR(rowSum / redRows, level, 0.6) << c.gain;
  }
}

TEST_F(ChartTest, NothingButTheGridLiesOutsideThePlotWhenTheSumPassesTwelveDecibels) {
  // Two bands of +9 dB at 1 kHz sum to +18 dB, above the plot; the selected high-pass's area
  // closes along the chart's bottom, below it.
  showBand(0, 90, settings::kStep1kHz);
  showBand(1, 90, settings::kStep1kHz);
  chart.visibleMask |= kHighPassShown;
  chart.computeCurves();
  ASSERT_LT(chart.sumLine()[settings::kStep1kHz + 1].y, 8.0f - 60.0f);
  ASSERT_TRUE(pressOn(chart.filterHandles[kHighPassHandle]));
  chart.release();
  const QImage drawn = render();

  ResponseChart gridOnly;
  gridOnly.setBounds(kPageX, kPageY, 700, 400);
  std::swap(chart, gridOnly);
  const QImage grid = render();
  std::swap(chart, gridOnly);

  // The plot is columns 20..659 and rows 8..384; handles may stand out of it and are left out.
  auto inHandle = [&](int x, int y) {
    auto near = [&](ChartPoint h) { return std::abs(x - h.x) <= 9 && std::abs(y - h.y) <= 9; };
    return near(chart.bandHandles[0]) || near(chart.bandHandles[1]) ||
           near(chart.filterHandles[kHighPassHandle]);
  };
  int outside = 0;
  int differing = 0;
  for (int y = 0; y < drawn.height(); ++y) {
    for (int x = 0; x < drawn.width(); ++x) {
      if (x >= 20 && x < 660 && y >= 8 && y < 385) continue;
      if (inHandle(x, y)) continue;
      ++outside;
      differing += drawn.pixel(x, y) != grid.pixel(x, y);
    }
  }
  EXPECT_GT(outside, 30000);
  EXPECT_EQ(differing, 0);
}

TEST_F(ChartTest, TheTwelveDecibelLabelIsWholeInsideTheChart) {
  const QImage image = render();
  // The label's box starts at (665, 0): its letters lie below row 0, none cut at the edge.
  int lit = 0;
  for (int y = 0; y < 14; ++y) {
    for (int x = 665; x < 700; ++x) {
      const Pixel p = pixelAt(image, x, y);
      if (p.a < 100 || std::min({p.r, p.g, p.b}) < 200) continue;
      ++lit;
      EXPECT_GT(y, 0) << x;
    }
  }
  EXPECT_GT(lit, 15);
}

// Luminance of a colour, and the contrast of two, as for readable text.
double luminance(QRgb c) {
  auto linear = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
}
double contrast(QRgb a, QRgb b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(ChartTest, EveryBandNumberIsLightOnADarkOutlineInsideItsCircle) {
  for (int i = 0; i < kChartBands; ++i) showBand(i, 0, static_cast<std::uint16_t>(10 + 23 * i));
  chart.computeCurves();
  const QImage image = render();
  for (int i = 0; i < kChartBands; ++i) {
    SCOPED_TRACE(i + 1);
    const ChartPoint h = chart.bandHandles[i];
    int light = 0;
    int dark = 0;
    for (int y = h.y - 8; y < h.y + 8; ++y) {
      for (int x = h.x - 8; x < h.x + 8; ++x) {
        const Pixel p = pixelAt(image, x, y);
        if (std::max({p.r, p.g, p.b}) < 60) ++dark;
        if (std::min({p.r, p.g, p.b}) <= 215) continue;
        ++light;
        // Inside the circle, and edged with dark within two pixels.
        EXPECT_LE(std::hypot(x + 0.5 - h.x, y + 0.5 - h.y), 7.5) << x << "," << y;
        bool edged = false;
        for (int dy = -2; dy <= 2; ++dy) {
          for (int dx = -2; dx <= 2; ++dx) {
            const Pixel q = pixelAt(image, x + dx, y + dy);
            edged = edged || std::max({q.r, q.g, q.b}) < 60;
          }
        }
        EXPECT_TRUE(edged) << x << "," << y;
      }
    }
    EXPECT_GE(light, 6);
    EXPECT_GE(dark, 10);
  }
}

// The chart over its screen, as the page shows it.
constexpr QRgb kScreen = qRgb(0x0d, 0x12, 0x17);

QImage overScreen(const QImage& chart) {
  QImage page(chart.size(), QImage::Format_ARGB32_Premultiplied);
  page.fill(kScreen);
  QPainter painter(&page);
  painter.drawImage(0, 0, chart);
  painter.end();
  return page.convertToFormat(QImage::Format_RGB32);
}

TEST_F(ChartTest, GridReadsThroughTheSelectedFiltersArea) {
  chart.visibleMask = kHighPassShown;
  chart.computeCurves();
  ASSERT_TRUE(pressOn(chart.filterHandles[kHighPassHandle]));
  const QImage image = overScreen(render());
  // At 1.4 kHz the area spans the plot's depth: the -18 dB line (row 322) against the rows
  // beside it, and the area against the bare screen outside the plot.
  const int x = 404;
  EXPECT_GT(contrast(image.pixel(x, 322), image.pixel(x, 318)), 2.0);
  EXPECT_GT(contrast(image.pixel(x, 322), image.pixel(x, 326)), 2.0);
  EXPECT_GT(contrast(image.pixel(x, 318), kScreen), 1.5);
}

TEST_F(ChartTest, SpectrumLineStandsOutFromTheScreen) {
  std::vector<float> levels(kSpectrumPointCapacity, 150.0f);  // a flat line on row 235
  chart.showSpectrum = true;
  chart.spectrum = levels.data();
  chart.spectrumStale = true;
  const QImage image = overScreen(render());
  int measured = 0;
  // Bins 1..928 span columns 26.7 .. 647.2.
  for (int x = 30; x < 645; ++x) {
    if (image.pixel(x, 229) != kScreen) continue;  // a grid line's column
    EXPECT_GE(contrast(image.pixel(x, 235), kScreen), 4.5) << x;
    ++measured;
  }
  EXPECT_GT(measured, 500);
}

// The levels of one analysed buffer of a sine at hz, or of silence.
SpectrumAnalysis analysed(double amplitude, double hz) {
  std::vector<std::int16_t> samples(kBufferSamples);
  for (int n = 0; n < kBufferSamples; ++n) {
    samples[n] = static_cast<std::int16_t>(
        std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * n / kCaptureRate)));
  }
  SpectrumAnalysis analysis;
  analysis.analyse(samples.data());
  return analysis;
}

// The highest lit pixel of the spectrum line.
QPoint topOfSpectrum(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (isSpectrumGreen(pixelAt(image, x, y))) return {x, y};
    }
  }
  return {-1, -1};
}

TEST_F(ChartTest, FullScaleSineOnBin93IsDrawnAtItsOwnFrequency) {
  // Bin 93 holds 93 x 44100 / 2048 = 2002.6 Hz, at column 20 + 640 x 0.65363 = 438.32.
  const SpectrumAnalysis analysis = analysed(32767.0, 93 * 44100.0 / 2048);
  const float level = analysis.spectrumLevels()[93];
  ASSERT_NEAR(level, 30.0 * std::log(1024.0), 0.1);
  chart.showSpectrum = true;
  chart.spectrum = analysis.spectrumLevels().data();
  chart.spectrumStale = analysis.spectrumReady();

  const QImage image = render();
  EXPECT_FALSE(chart.spectrumStale);
  const ChartPointF peak = chart.spectrumPoints[92];
  EXPECT_NEAR(peak.x, 438.32, 0.01);
  EXPECT_NEAR(peak.y, 385.0f - level, 1e-3);
  const QPoint top = topOfSpectrum(image);
  EXPECT_EQ(top.x(), 438);
  EXPECT_NEAR(top.y(), 385 - level, 2);

  // Without new data the points stay as computed.
  std::vector<float> other(kSpectrumPointCapacity, 0.0f);
  chart.spectrum = other.data();
  render();
  EXPECT_EQ(chart.spectrumPoints[92].y, peak.y);
}

TEST_F(ChartTest, OneKilohertzTonePeaksOnTheOneKilohertzColumn) {
  // 1 kHz falls between bins 46 (990.5 Hz) and 47; the line peaks at bin 46, 0.9 pixels left of
  // the 1 kHz column 375.3.
  const SpectrumAnalysis analysis = analysed(16000.0, 1000.0);
  chart.showSpectrum = true;
  chart.spectrum = analysis.spectrumLevels().data();
  chart.spectrumStale = true;
  const QImage image = render();

  const float oneKilohertz = 20.0f + 640.0f * 0.55509f;  // 375.26
  const auto line = chart.spectrumLine();
  const auto highest =
      std::min_element(line.begin(), line.end(), [](auto a, auto b) { return a.y < b.y; });
  EXPECT_EQ(highest - line.begin() + 1, 46);
  EXPECT_NEAR(highest->x, oneKilohertz, 1.0f);
  // The lit pixel's centre, as painted.
  EXPECT_NEAR(topOfSpectrum(image).x() + 0.5f, oneKilohertz, 1.0f);
}

TEST_F(ChartTest, SpectrumLineEndsAtTheLastBinAtOrBelowTwentyKilohertz) {
  std::vector<float> levels(kSpectrumPointCapacity, 150.0f);
  chart.showSpectrum = true;
  chart.spectrum = levels.data();
  chart.spectrumStale = true;
  chart.computeSpectrum();
  // Bins 1..928: 21.5 Hz .. 19982.8 Hz.
  ASSERT_EQ(chart.spectrumLine().size(), 928u);
  EXPECT_NEAR(chart.spectrumLine().front().x,
              20.0f + 640.0f * std::log10(44100.0 / 2048 / 20) / std::log10(23000.0 / 20), 1e-3);
  EXPECT_NEAR(chart.spectrumLine().back().x,
              20.0f + 640.0f * std::log10(928 * 44100.0 / 2048 / 20) / std::log10(23000.0 / 20),
              1e-3);
}

TEST_F(ChartTest, SilentInputDrawsNoSpectrumLineAndBreaksNothing) {
  const SpectrumAnalysis silence = analysed(0.0, 1000.0);
  ASSERT_TRUE(std::isinf(silence.spectrumLevels()[93]));
  showBand(0, 60, settings::kStep1kHz);
  chart.showSpectrum = true;
  chart.spectrum = silence.spectrumLevels().data();
  chart.spectrumStale = true;

  const QImage image = render();
  int green = 0;
  int red = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      green += isSpectrumGreen(pixelAt(image, x, y));
      red += isRed(pixelAt(image, x, y));
    }
  }
  EXPECT_EQ(green, 0);
  EXPECT_GT(red, 600);  // the band's line is drawn as usual
  for (const ChartPointF& p : chart.spectrumLine()) {
    ASSERT_TRUE(std::isfinite(p.y));
    EXPECT_GT(p.y, 1000.0f);  // far below the chart
  }

  // A page that turns the line on before any data exist draws nothing and keeps the flag.
  ResponseChart fresh;
  fresh.setBounds(0, 0, 300, 200);
  fresh.showSpectrum = true;
  fresh.spectrumStale = true;
  QImage page(300, 200, QImage::Format_ARGB32_Premultiplied);
  page.fill(Qt::transparent);
  QPainter painter(&page);
  fresh.paint(painter);
  EXPECT_TRUE(fresh.spectrumStale);

  ASSERT_TRUE(pressOn(chart.bandHandles[0]));
  EXPECT_TRUE(dragTo(chart.bandHandles[0].x, scale().zeroDb()));
  EXPECT_EQ(bands[0].gain, 0);
}

TEST_F(ChartTest, NotANumberLevelBreaksTheLineThere) {
  // Bins 1 and 3 lie at 21.5 and 64.6 Hz, columns 26.7 and 126.5: with bin 2 unreadable the line
  // starts at bin 3.
  std::vector<float> levels(kSpectrumPointCapacity, 150.0f);
  levels[2] = std::nanf("");
  chart.showSpectrum = true;
  chart.spectrum = levels.data();
  chart.spectrumStale = true;
  const QImage image = render();
  EXPECT_TRUE(std::isnan(chart.spectrumPoints[1].y));
  const int row = 385 - 150;
  for (int x = 20; x < 120; ++x) EXPECT_FALSE(isSpectrumGreen(pixelAt(image, x, row))) << x;
  for (int x = 130; x < 600; x += 50) EXPECT_TRUE(isSpectrumGreen(pixelAt(image, x, row))) << x;
}

}  // namespace
}  // namespace kdsp::display
