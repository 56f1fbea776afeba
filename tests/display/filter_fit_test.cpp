// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of fitting filter lists onto pages: the export-import round trip on every page, requests
// landing on the nearest grid values, the reported deviation against an evaluation of its own,
// crossover filters, and every refusal leaving nothing set.
#include "display/filter_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>

#include "settings/filter_text.h"
#include "settings/frequency_grid.h"

namespace kdsp::display {
namespace {

using settings::PageParameters;
using settings::ParameterBlock;

FilterFit Import(const ParameterBlock& block, const PageParameters& page, const std::string& text,
                 bool secondSet = false) {
  const settings::FilterTextRead read = settings::ReadFilterText(text);
  if (!read.ok()) {
    FilterFit refused;
    refused.error = read.error;
    return refused;
  }
  return FitFilters(block, page, secondSet, read.filters);
}

bool SameBytes(const ParameterBlock& a, const ParameterBlock& b) {
  return std::memcmp(&a, &b, sizeof(ParameterBlock)) == 0;
}

// Bands of every kind a page can hold: all three types, switched off, flat, narrow and wide.
void VaryBands(ParameterBlock& block, int first, int count) {
  for (int i = 0; i < count; ++i) {
    settings::EqBand& band = block.bands[first + i];
    band.type = static_cast<std::uint8_t>(i % 3);
    band.frequency = static_cast<std::uint16_t>((i * 53 + 7 + first) % 360);
    if (band.type == settings::kLowShelf && band.frequency > 275) band.frequency = 275;
    if (band.type == settings::kHighShelf && band.frequency < 203) band.frequency = 203;
    band.gain = static_cast<std::int16_t>(i == 1 ? 0 : (i * 37 + first) % 361 - 240);
    band.bandwidth = static_cast<std::uint8_t>((i * 11 + first) % 60);
    band.on = i % 4 == 3 ? 0 : 1;
  }
}

TEST(FilterFit, ExportThenImportLeavesEveryPageAsItWas) {
  for (const PageParameters& page : settings::kPages) {
    for (bool secondSet : {false, true}) {
      if (secondSet && page.secondSetFirstBand == settings::kNoRecord) continue;
      ParameterBlock block = settings::FactoryDefaults();
      VaryBands(block, secondSet ? page.secondSetFirstBand : page.firstBand, page.bandCount);
      const std::string text = ExportFilterText(block, page, secondSet);
      const FilterFit fit = Import(block, page, text, secondSet);
      ASSERT_TRUE(fit.ok()) << page.key << ": " << fit.error;
      EXPECT_EQ(fit.filters.size(), std::size_t(page.bandCount)) << page.key;
      EXPECT_TRUE(SameBytes(fit.block, block)) << page.key << " set " << secondSet << "\n" << text;
    }
  }
}

TEST(FilterFit, RequestsLandOnTheNearestGridValuesAndLeftoverBandsGoFlat) {
  const PageParameters& music = settings::Page(settings::PageId::kMusicEqualizer);
  ParameterBlock block = settings::FactoryDefaults();
  for (int i = 0; i < music.bandCount; ++i) block.bands[music.firstBand + i].gain = -50;
  block.bands[music.firstBand + 6].bandwidth = 33;
  const FilterFit fit = Import(block, music,
                               "Filter 1: ON PK Fc 130 Hz Gain -3.04 dB Q 2.0\n"
                               "Filter 2: ON PK Fc 1000 Hz Gain 4.96 dB Q 0.7\n"
                               "Filter 3: OFF PK Fc 3300 Hz Gain -7.5 dB Q 4.5\n"
                               "Filter 4: ON LSC Fc 47 Hz Gain 6 dB Q 0.9\n"
                               "Filter 5: ON HSC 6 dB Fc 10500 Hz Gain -2.5 dB\n"
                               "Filter 6: ON PK Fc 19,9 Hz Gain -24.04 dB Q 40\n");
  ASSERT_TRUE(fit.ok()) << fit.error;
  struct Expected {
    int gain, frequency, bandwidth, type, on;
  };
  // Steps: 129.9 Hz is 97, 3299.4 Hz 265, 46.8 Hz 44, 10475 Hz 325; Q 2.0 is 0.71 octave
  // (bandwidth 13), Q 0.7 1.92 (37), Q 4.5 0.32 (5), Q 40 0.036 (0). Shelves keep bandwidth 9.
  const Expected expected[] = {
      {-30, 97, 13, 0, 1}, {50, 203, 37, 0, 1}, {-75, 265, 5, 0, 0}, {60, 44, 9, 1, 1},
      {-25, 325, 9, 2, 1}, {-240, 0, 0, 0, 1},  {0, 275, 33, 0, 1},
  };
  for (int i = 0; i < music.bandCount; ++i) {
    const settings::EqBand& b = fit.block.bands[music.firstBand + i];
    const Expected& e = expected[i];
    EXPECT_EQ(b.gain, e.gain) << i;
    EXPECT_EQ(b.frequency, e.frequency) << i;
    EXPECT_EQ(b.bandwidth, e.bandwidth) << i;
    EXPECT_EQ(b.type, e.type) << i;
    EXPECT_EQ(b.on, e.on) << i;
  }
  EXPECT_EQ(fit.filters[3].band, music.firstBand + 3);
  EXPECT_EQ(FitReport(fit)[0],
            "line 1: PK 130.0 Hz -3.04 dB Q 2.000 -> bands[15]: PK 129.9 Hz -3.0 dB Q 2.041");
}

TEST(FilterFit, EveryFrequencyGoesToItsNearestStepInLogFrequency) {
  const PageParameters& main = settings::Page(settings::PageId::kMainOutput);
  for (double hz = 20.0; hz < 22000.0; hz *= 1.0123) {
    const FilterFit fit = Import(settings::FactoryDefaults(), main,
                                 "Filter: ON PK Fc " + std::to_string(hz) + " Hz Gain 1 dB Q 1");
    ASSERT_TRUE(fit.ok()) << fit.error;
    const int step = fit.block.bands[main.firstBand].frequency;
    const double distance = std::abs(std::log(hz / settings::gridFrequency(step)));
    for (int neighbour : {step - 1, step + 1}) {
      if (neighbour < 0 || neighbour > settings::kLastStep) continue;
      EXPECT_LE(distance, std::abs(std::log(hz / settings::gridFrequency(neighbour))) + 1e-9) << hz;
    }
  }
}

// The cookbook sections in double precision, evaluated as complex H(e^jw): this test's own
// arithmetic, independent of the program's float designs and of the report.
using Complex = std::complex<double>;
struct Biquad {
  double b0, b1, b2, a0, a1, a2;
  double db(double hz) const {
    const Complex z1 = std::polar(1.0, -2.0 * std::numbers::pi * hz / 48000.0);
    const Complex h = (b0 + b1 * z1 + b2 * z1 * z1) / (a0 + a1 * z1 + a2 * z1 * z1);
    return 20.0 * std::log10(std::abs(h));
  }
};

Biquad Peaking(double f0, double gainDb, double q) {
  const double a = std::pow(10.0, gainDb / 40.0);
  const double w = 2.0 * std::numbers::pi * f0 / 48000.0;
  const double alpha = std::sin(w) / (2.0 * q);
  return {1 + alpha * a, -2 * std::cos(w), 1 - alpha * a,
          1 + alpha / a, -2 * std::cos(w), 1 - alpha / a};
}

Biquad Shelf(bool low, double f0, double gainDb, double q) {
  const double a = std::pow(10.0, gainDb / 40.0);
  const double w = 2.0 * std::numbers::pi * f0 / 48000.0;
  const double c = std::cos(w);
  const double beta = 2.0 * std::sqrt(a) * std::sin(w) / (2.0 * q);
  const double sign = low ? 1.0 : -1.0;
  return {a * ((a + 1) - sign * (a - 1) * c + beta),  sign * 2 * a * ((a - 1) - sign * (a + 1) * c),
          a * ((a + 1) - sign * (a - 1) * c - beta),  (a + 1) + sign * (a - 1) * c + beta,
          -sign * 2 * ((a - 1) + sign * (a + 1) * c), (a + 1) + sign * (a - 1) * c - beta};
}

double StepHz(int step) {
  return 15.625 * std::pow(2.0, (step + 13) / 36.0);
}

TEST(FilterFit, ReportedDeviationMatchesAnIndependentEvaluation) {
  const PageParameters& music = settings::Page(settings::PageId::kMusicEqualizer);
  const FilterFit fit = Import(settings::FactoryDefaults(), music,
                               "Filter 1: ON PK Fc 130 Hz Gain -3.04 dB Q 2.0\n"
                               "Filter 2: ON PK Fc 1000 Hz Gain 4.96 dB Q 0.7\n"
                               "Filter 3: ON PK Fc 3300 Hz Gain -7.5 dB Q 4.5\n"
                               "Filter 4: ON LSC Fc 150 Hz Gain 6 dB Q 0.9\n"
                               "Filter 5: ON HSC 6 dB Fc 10500 Hz Gain -2.5 dB\n");
  ASSERT_TRUE(fit.ok()) << fit.error;
  // The slope of 6 dB/octave is the cookbook's S = 0.5.
  const double a5 = std::pow(10.0, -2.5 / 40.0);
  const double q5 = 1.0 / std::sqrt((a5 + 1.0 / a5) * (1.0 / 0.5 - 1.0) + 2.0);
  const Biquad asked[] = {Peaking(130, -3.04, 2.0), Peaking(1000, 4.96, 0.7),
                          Peaking(3300, -7.5, 4.5), Shelf(true, 150, 6, 0.9),
                          Shelf(false, 10500, -2.5, q5)};
  std::vector<Biquad> set;
  for (int i = 0; i < music.bandCount; ++i) {
    const settings::EqBand& b = fit.block.bands[music.firstBand + i];
    if (b.gain == 0) continue;
    const double octaves = (b.bandwidth + 1) * 0.05;
    const double p = std::pow(2.0, octaves);
    const double q = b.type == 0 ? std::sqrt(p) / (p - 1.0) : 0.707;
    set.push_back(b.type == 0 ? Peaking(StepHz(b.frequency), b.gain / 10.0, q)
                              : Shelf(b.type == 1, StepHz(b.frequency), b.gain / 10.0, q));
  }
  ASSERT_EQ(set.size(), 5u);
  double largest = 0.0;
  for (int i = 0;; ++i) {
    const double hz = std::min(20.0 * std::pow(2.0, i / 48.0), 20000.0);
    double difference = 0.0;
    for (const Biquad& q : asked) difference += q.db(hz);
    for (const Biquad& q : set) difference -= q.db(hz);
    largest = std::max(largest, std::abs(difference));
    if (hz == 20000.0) break;
  }
  EXPECT_GT(largest, 0.3);  // the steps and the fixed shelf slope show
  EXPECT_NEAR(fit.largestDeviationDb, largest, 0.02);
  EXPECT_EQ(FitReport(fit).back(),
            "largest deviation: " + settings::FixedText(fit.largestDeviationDb, 2) +
                " dB over 20 Hz - 20 kHz");
}

TEST(FilterFit, HighAndLowPassGoToThePagesCrossoverFilters) {
  const ParameterBlock defaults = settings::FactoryDefaults();
  struct Case {
    settings::PageId page;
    std::string line;
    int filter;
    int frequency, family, order;
  };
  const Case cases[] = {
      // The plain 12 dB/octave filter is a Butterworth; Q 0.5 is the Linkwitz-Riley's.
      {settings::PageId::kMainOutput, "Filter: ON HP Fc 80 Hz", 5, 72, settings::kButterworth, 0},
      {settings::PageId::kCenterOutput, "Filter: ON LPQ Fc 1000 Hz Q 0.5", 7, 203,
       settings::kLinkwitzRiley, 0},
      {settings::PageId::kSubwooferOutput, "Filter: OFF LP Fc 100 Hz", 9, 359,
       settings::kLinkwitzRiley, 2},
      // The echo filters have only a frequency control: family and order stay.
      {settings::PageId::kEcho, "Filter: ON LP Fc 22000 Hz", 2, 358, settings::kButterworth, 0},
      {settings::PageId::kMicEqualizer, "Filter: ON HP Fc 19.9 Hz", 0, 1, settings::kButterworth,
       0},
  };
  for (const Case& c : cases) {
    const FilterFit fit = Import(defaults, settings::Page(c.page), c.line);
    ASSERT_TRUE(fit.ok()) << c.line << ": " << fit.error;
    const settings::CrossoverFilter& f = fit.block.filters[c.filter];
    EXPECT_EQ(f.frequency, c.frequency) << c.line;
    EXPECT_EQ(f.family, c.family) << c.line;
    EXPECT_EQ(f.order, c.order) << c.line;
    EXPECT_EQ(f.direction, defaults.filters[c.filter].direction) << c.line;
  }
  // A filter the text leaves alone stays, and counts as asked for in the deviation.
  const PageParameters& sub = settings::Page(settings::PageId::kSubwooferOutput);
  const FilterFit kept = Import(defaults, sub, "Filter: ON PK Fc 40 Hz Gain -6 dB Q 5");
  ASSERT_TRUE(kept.ok()) << kept.error;
  EXPECT_EQ(std::memcmp(&kept.block.filters[9], &defaults.filters[9], 6), 0);
  EXPECT_LT(kept.largestDeviationDb, 0.5f);
}

TEST(FilterFit, TheSecondMicSetTakesTheImportAndNotesWhatCannotAct) {
  const PageParameters& mic = settings::Page(settings::PageId::kMicEqualizer);
  ParameterBlock block = settings::FactoryDefaults();
  block.micFlags |= settings::kMicSetsLinked;
  const FilterFit fit = Import(
      block, mic,
      "Preamp: -3 dB\nFilter: ON PK Fc 500 Hz Gain -3 dB Q 2\nTarget:\xC2\xA0" "flat\n", true);
  ASSERT_TRUE(fit.ok()) << fit.error;
  EXPECT_EQ(fit.block.bands[48].gain, -30);
  EXPECT_EQ(fit.block.bands[0].gain, block.bands[0].gain);
  EXPECT_EQ(std::memcmp(&fit.block.bands[0], &block.bands[0], 15 * 8), 0);
  ASSERT_EQ(fit.notes.size(), 3u);
  EXPECT_EQ(fit.notes[0], "line 3: not a filter or preamp line, not read: \"Target:<U+00A0>flat\"");
  EXPECT_NE(fit.notes[1].find("line 1: preamp -3.00 dB is not applied"), std::string::npos);
  EXPECT_NE(fit.notes[2].find("linked"), std::string::npos);
}

TEST(FilterFit, ARefusalNamesTheLineAndSetsNothing) {
  using settings::PageId;
  struct Case {
    PageParameters page;
    std::string text;
    std::string error;
  };
  const PageParameters main = settings::Page(PageId::kMainOutput);
  PageParameters oneBand = main;
  oneBand.bandCount = 1;
  PageParameters noBands = main;
  noBands.bandCount = 0;
  const std::string five =
      "Filter: ON PK Fc 100 Hz Gain 1 dB Q 1\n"
      "Filter: ON PK Fc 200 Hz Gain 1 dB Q 1\n"
      "Filter: ON PK Fc 300 Hz Gain 1 dB Q 1\n"
      "Filter: ON None\n"
      "Filter: ON PK Fc 400 Hz Gain 1 dB Q 1\n"
      "Filter: ON PK Fc 500 Hz Gain 1 dB Q 1\n";
  const Case cases[] = {
      {main, five + "Filter: ON PK Fc 600 Hz Gain 1 dB Q 1\nFilter: ON HP Fc 80 Hz",
       "the file has 6 filters; the Main Output page has 5 bands"},
      {oneBand, five, "the file has 5 filters; the Main Output page has 1 band"},
      {noBands, "Filter: ON LS Fc 100 Hz Gain 1 dB", "the file has 1 filter; the Main Output page "
                                                      "has 0 bands"},
      // What is asked is compared with the page: a request beyond evaluation is refused.
      {main, "Filter: ON HP Fc 80 Hz Q 0." + std::string(60, '0') + "1",
       "line 1: the response of this filter cannot be computed"},
      {main, "Filter: ON LS Fc 100 Hz Gain 3 dB Q 0." + std::string(60, '0') + "1",
       "line 1: the response of this filter cannot be computed"},
      {main, "Filter 1: ON XX Fc 100 Hz Gain 1 dB Q 1",
       "line 1: unknown filter type 'XX'"},
      {main, "Filter: ON PK Fc 100 Hz Gain 12.06 dB Q 1",
       "line 1: gain 12.06 dB is outside the bands' -24.0 to +12.0 dB"},
      {main, "Filter: ON PK Fc 100 Hz Gain -24.06 dB Q 1",
       "line 1: gain -24.06 dB is outside"},
      {main, "Filter: ON PK Fc 19.5 Hz Gain 1 dB Q 1",
       "line 1: Fc 19.5 Hz is outside the processor's 20.1 - 22159 Hz"},
      {main, "Filter: ON PK Fc 23000 Hz Gain 1 dB Q 1",
       "line 1: Fc 23000.0 Hz is outside"},
      {main, "Filter: ON PK Fc 100 Hz Gain 1 dB Q 0.35",
       "line 1: Q 0.350 is outside the bands' 0.404 - 28.85"},
      {main, "Filter: ON PK Fc 100 Hz Gain 1 dB Q 60", "line 1: Q 60.000"},
      {main, "Filter: ON LS Fc 5000 Hz Gain 1 dB",
       "line 1: a low shelf reaches up to 4000 Hz only"},
      {main, "Filter: ON HS Fc 800 Hz Gain 1 dB",
       "line 1: a high shelf reaches down to 1000 Hz only"},
      {main, "Filter: ON LSC 120 dB Fc 100 Hz Gain 12 dB",
       "line 1: a slope of 120.0 dB/oct is too steep for this gain"},
      {settings::Page(PageId::kMusicEqualizer), "Filter: ON HP Fc 100 Hz",
       "line 1: the Music Equalizer page has no high-pass filter"},
      {main, "Filter: ON LP Fc 100 Hz",
       "line 1: the Main Output page has no low-pass filter"},
      {settings::Page(PageId::kCenterOutput), "Filter: ON HP Fc 100 Hz\nFilter: ON HP Fc 50 Hz",
       "line 2: a second high-pass filter; the page has one"},
  };
  for (const Case& c : cases) {
    const FilterFit fit = Import(settings::FactoryDefaults(), c.page, c.text);
    EXPECT_FALSE(fit.ok()) << c.text;
    EXPECT_TRUE(fit.error.starts_with(c.error)) << fit.error;
    EXPECT_TRUE(fit.filters.empty()) << c.text;
    EXPECT_TRUE(fit.notes.empty()) << c.text;
  }
}

}  // namespace
}  // namespace kdsp::display
