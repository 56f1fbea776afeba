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

// Where the chart lies on a test page; 700 x 400 gives the plot L 20, T 5, W 640, H 380, so
// R 660, B 385 and the 0 dB line Z 131.
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
      {"10K", 576, 385},   {"20K", 639, 385},  {"12dB", 665, -3},   {"6dB", 665, 60},
      {"0dB", 665, 123},   {"-6dB", 665, 187}, {"-12dB", 665, 250}, {"-18dB", 665, 313},
      {"-24dB", 665, 377}};
  ASSERT_EQ(grid.labels.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(grid.labels[i].text, expected[i].text) << i;
    EXPECT_EQ(grid.labels[i].x, expected[i].x) << expected[i].text;
    EXPECT_EQ(grid.labels[i].y, expected[i].y) << expected[i].text;
  }
  // The 0 dB line is the one a third of the way down (row 131 of T 4 .. B 385), and the level
  // lines end at the frame.
  EXPECT_EQ(grid.major[kMajorFrequencyLines + 2].y1, 131);
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
  EXPECT_EQ(h.y, 130);

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
  expectColour(pixelAt(image, areaX, areaY), 150, 218, 228, 246);
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

TEST_F(ChartTest, DraggedBandGainStopsAtThePlotLimitsAndIsKeptOutsideTheRows) {
  resize(700, 380);  // H 360: T 5, Z 125, B 365, one pixel per tenth of a dB
  showBand(0, 0, settings::kStep1kHz);
  chart.computeCurves();
  const ChartPoint c = chart.bandHandles[0];
  ASSERT_TRUE(pressOn(c));
  ASSERT_EQ(chart.selectedBand, 0);

  struct Move {
    int y;
    int gain;
    bool changed;
  };
  const Move moves[] = {
      {125 - 7, 7, true}, {5, 120, true},     {4, 120, false},       {365, -240, true},
      {-50, -240, false}, {366, -240, false}, {125 + 33, -33, true}, {125, 0, true},
  };
  for (const Move& m : moves) {
    EXPECT_EQ(dragTo(c.x, m.y), m.changed) << m.y;
    EXPECT_EQ(bands[0].gain, m.gain) << m.y;
    EXPECT_EQ(bands[0].frequency, settings::kStep1kHz) << m.y;
  }

  // Frequency by column, independently of the row: above the plot the gain stays.
  EXPECT_TRUE(dragTo(20, -10));
  EXPECT_EQ(bands[0].frequency, 0);
  EXPECT_EQ(bands[0].gain, 0);
  EXPECT_TRUE(dragTo(660, 200));
  EXPECT_EQ(bands[0].frequency, settings::kLastStep);
  EXPECT_EQ(bands[0].gain, -75);
  EXPECT_TRUE(dragTo(scale().pixelX(1000), 600));  // below the plot: frequency only
  EXPECT_EQ(bands[0].frequency, settings::kStep1kHz);
  EXPECT_EQ(bands[0].gain, -75);
  EXPECT_FALSE(dragTo(scale().pixelX(1000), 200));  // the same values again
  EXPECT_FALSE(dragTo(661, 200));                   // past R and at the same row
  EXPECT_EQ(bands[0].frequency, settings::kStep1kHz);

  chart.release();
  EXPECT_FALSE(dragTo(20, 5));
  EXPECT_EQ(bands[0].frequency, settings::kStep1kHz);

  // In a short plot (H 100, Z 38, B 105) the bottom row reads -24.1 dB and is held at -24.0.
  resize(700, 120);
  chart.computeCurves();
  ASSERT_TRUE(pressOn(chart.bandHandles[0]));
  EXPECT_TRUE(dragTo(300, 105));
  EXPECT_EQ(bands[0].gain, -240);
}

TEST_F(ChartTest, DraggedFiltersMoveOnlyInFrequencyAndSwitchOffAtTheEnds) {
  chart.visibleMask = kHighPassShown | kLowPassShown;
  chart.computeCurves();
  ASSERT_TRUE(pressOn(chart.filterHandles[kHighPassHandle]));
  EXPECT_TRUE(dragTo(20, -30));
  EXPECT_EQ(highPass.frequency, 0);
  chart.release();

  chart.computeCurves();
  ASSERT_TRUE(pressOn(chart.filterHandles[kLowPassHandle]));
  ASSERT_EQ(chart.selectedFilter, kLowPassHandle);
  EXPECT_TRUE(dragTo(660, 390));
  EXPECT_EQ(lowPass.frequency, settings::kLastStep);
  EXPECT_FALSE(dragTo(19, 100));
  EXPECT_EQ(lowPass.frequency, settings::kLastStep);
  EXPECT_EQ(highPass.frequency, 0);
}

TEST_F(ChartTest, FlatBandDrawsAnEmptyAreaWithItsHandleOnTheZeroLine) {
  for (std::uint8_t type : {0, 1, 2}) {
    showBand(0, 0, 150);
    bands[0].type = type;
    chart.computeCurves();
    for (const ChartPointF& p : chart.bandCurves[0]) EXPECT_EQ(p.y, 131.0f);  // the 0 dB row
    EXPECT_EQ(chart.bandHandles[0].y, 131);
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

TEST_F(ChartTest, RedLineAtOneKilohertzSitsAtTheBandsLevel) {
  resize(700, 380);  // H 360: +12 dB is T (row 5), -12 dB row 245
  struct Case {
    std::int16_t gain;
    int row;
  };
  for (const Case c : {Case{120, 5}, Case{-120, 245}, Case{60, 65}}) {
    showBand(0, c.gain, settings::kStep1kHz);
    const QImage image = render();
    EXPECT_NEAR(chart.bandCurves[0][settings::kStep1kHz + 1].y, c.row, 0.02f);
    EXPECT_EQ(chart.bandHandles[0].y, c.row);
    const int column = scale().pixelX(1000);
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
    EXPECT_NEAR(rowSum / redRows, c.row, 0.6) << c.gain;
  }
}

// The levels of one analysed buffer of a sine, or of silence.
SpectrumAnalysis analysed(double amplitude, int bin) {
  std::vector<std::int16_t> samples(kBufferSamples);
  for (int n = 0; n < kBufferSamples; ++n) {
    samples[n] = static_cast<std::int16_t>(
        std::lround(amplitude * std::sin(2 * std::numbers::pi * bin * n / 2048.0)));
  }
  SpectrumAnalysis analysis;
  analysis.analyse(samples.data());
  return analysis;
}

TEST_F(ChartTest, FullScaleSineOnBin93IsDrawnAt1953Hz) {
  const SpectrumAnalysis analysis = analysed(32767.0, 93);
  const float level = analysis.spectrumLevels()[93];
  ASSERT_NEAR(level, 30.0 * std::log(1024.0), 0.1);
  chart.showSpectrum = true;
  chart.spectrum = analysis.spectrumLevels().data();
  chart.spectrumStale = analysis.spectrumReady();

  const QImage image = render();
  EXPECT_FALSE(chart.spectrumStale);
  const ChartPointF peak = chart.spectrumPoints[92];
  EXPECT_NEAR(peak.x, scale().curveX(93 * 21), 1e-3);
  EXPECT_NEAR(peak.x, 436.05, 0.01);
  EXPECT_NEAR(peak.y, 385.0f - level, 1e-3);

  // The line's highest pixel is the peak.
  int topX = -1;
  int topY = image.height();
  for (int y = 0; y < image.height() && topX < 0; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (isSpectrumGreen(pixelAt(image, x, y))) {
        topX = x;
        topY = y;
        break;
      }
    }
  }
  EXPECT_NEAR(topX, 436, 1);
  EXPECT_NEAR(topY, 385 - level, 2);

  // Without new data the points stay as computed.
  std::vector<float> other(kSpectrumPointCapacity, 0.0f);
  chart.spectrum = other.data();
  render();
  EXPECT_EQ(chart.spectrumPoints[92].y, peak.y);
}

TEST_F(ChartTest, SilentInputDrawsNoSpectrumLineAndBreaksNothing) {
  const SpectrumAnalysis silence = analysed(0.0, 1);
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
  // Bins 1 and 3 lie at 21 and 63 Hz, columns 24 and 124: with bin 2 unreadable the line starts
  // at bin 3.
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
