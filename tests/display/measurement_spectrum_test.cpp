// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the measurement analyser's spectrum with synthetic buffers: dBFS calibration of tones
// on and between bins, peak hold, the averaging modes, 1/3-octave smoothing, freezing, the
// microphone correction, the long transform under it and the CSV text.
#include "display/measurement_spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "display/long_real_fft.h"
#include "display/measurement_scale.h"
#include "display/spectrum_csv.h"
#include "settings/calibration_file.h"

namespace kdsp::display {
namespace {

constexpr double kRate = 44100.0;
constexpr double kSpacing = kRate / kMeasurementPoints;  // 5.383 Hz
constexpr int kCaptureBuffer = 4096;                     // what the sound input delivers

double Dbfs(double level) {
  return std::pow(10.0, level / 20.0);
}

// A sine of the given frequency and level; `start` continues the phase of earlier buffers.
std::vector<float> Sine(double hz, double dbfs, int count, long start = 0) {
  std::vector<float> samples(count);
  for (int n = 0; n < count; ++n) {
    samples[n] =
        static_cast<float>(Dbfs(dbfs) * std::sin(2 * std::numbers::pi * hz * (start + n) / kRate));
  }
  return samples;
}

// Feeds a steady sine in capture-sized buffers, `buffers` of them.
void FeedSine(MeasurementSpectrum& spectrum, double hz, double dbfs, int buffers, long& at) {
  for (int i = 0; i < buffers; ++i) {
    spectrum.addBuffer(Sine(hz, dbfs, kCaptureBuffer, at));
    at += kCaptureBuffer;
  }
}

int NearestBin(double hz) {
  return static_cast<int>(std::lround(hz / kSpacing));
}

TEST(MeasurementSpectrumTest, OneKilohertzAtMinus20DbfsReadsMinus20AtOneKilohertz) {
  MeasurementSpectrum spectrum(kRate);
  long at = 0;
  FeedSine(spectrum, 1000, -20, 1, at);
  EXPECT_FALSE(spectrum.hasSpectrum()) << "half a window is no spectrum yet";
  FeedSine(spectrum, 1000, -20, 1, at);
  ASSERT_TRUE(spectrum.hasSpectrum());
  ASSERT_EQ(spectrum.levels().size(), static_cast<std::size_t>(kMeasurementBins));

  // 1 kHz lies a quarter of a bin above bin 186's centre: the bin alone reads 0.3 dB low.
  const int bin = NearestBin(1000);
  EXPECT_EQ(bin, 186);
  EXPECT_NEAR(spectrum.levels()[bin], -20.0, 0.5);
  EXPECT_EQ(std::max_element(spectrum.levels().begin(), spectrum.levels().end()) -
                spectrum.levels().begin(),
            bin);
  const std::optional<ToneReading> tone = spectrum.strongestTone();
  ASSERT_TRUE(tone);
  EXPECT_NEAR(tone->levelDb, -20.0, 0.05);
  EXPECT_NEAR(tone->frequency, 1000.0, 0.1 * kSpacing);
  // Far from the tone the Hann window leaves nothing but rounding.
  EXPECT_LT(spectrum.levels()[NearestBin(3000)], -110.0);
}

TEST(MeasurementSpectrumTest, TonesOnAndBetweenBinsAreReadWithinABinAndATenthOfADb) {
  struct Case {
    double binOffset;  // how far the tone lies above bin 400's centre
    double dbfs;
  };
  for (const Case& c :
       {Case{0.0, 0.0}, Case{0.25, -6.0}, Case{0.5, -20.0}, Case{0.75, -40.0}, Case{-0.4, -60.0}}) {
    SCOPED_TRACE(c.binOffset);
    const double hz = (400 + c.binOffset) * kSpacing;
    MeasurementSpectrum spectrum(kRate);
    spectrum.addBuffer(Sine(hz, c.dbfs, kMeasurementPoints));
    const std::optional<ToneReading> tone = spectrum.strongestTone();
    ASSERT_TRUE(tone);
    EXPECT_NEAR(tone->frequency, hz, 0.05 * kSpacing);
    EXPECT_NEAR(tone->levelDb, c.dbfs, 0.1);
    // The nearest bin loses at most the window's scalloping, 1.42 dB halfway between bins.
    const int peak =
        static_cast<int>(std::max_element(spectrum.levels().begin(), spectrum.levels().end()) -
                         spectrum.levels().begin());
    EXPECT_LE(std::abs(peak - (400 + c.binOffset)), 1.0);
    EXPECT_LE(c.dbfs - spectrum.levels()[peak], 1.43);
    EXPECT_GE(c.dbfs - spectrum.levels()[peak], -0.01);
  }
}

TEST(MeasurementSpectrumTest, PeakHoldKeepsAVanishedToneUntilReset) {
  MeasurementSpectrum spectrum(kRate);
  spectrum.setPeakHold(true);
  long at = 0;
  FeedSine(spectrum, 1000, -20, 2, at);
  const std::vector<float> silence(kCaptureBuffer, 0.0f);
  for (int i = 0; i < 3; ++i) spectrum.addBuffer(silence);

  const int bin = NearestBin(1000);
  EXPECT_EQ(spectrum.levels()[bin], kMeasurementFloorDb);
  ASSERT_EQ(spectrum.peakLevels().size(), static_cast<std::size_t>(kMeasurementBins));
  EXPECT_NEAR(spectrum.peakLevels()[bin], -20.0, 0.5);

  spectrum.resetPeakHold();
  EXPECT_EQ(spectrum.peakLevels()[bin], kMeasurementFloorDb);
  FeedSine(spectrum, 5000, -30, 2, at);
  spectrum.addBuffer(silence);
  spectrum.addBuffer(silence);
  // Only the splatter of the tone's start in mid-window reached 1 kHz.
  EXPECT_LT(spectrum.peakLevels()[bin], -60.0);
  EXPECT_NEAR(spectrum.peakLevels()[NearestBin(5000)], -30.0, 1.5);

  spectrum.setPeakHold(false);
  EXPECT_TRUE(spectrum.peakLevels().empty());
}

TEST(MeasurementSpectrumTest, AveragingFollowsAStepWithTheMetersTimeConstants) {
  // Whole-window buffers (186 ms) keep every analysis free of the level before the step.
  struct Case {
    Averaging mode;
    double weight;  // 1 - exp(-0.18576 s / time constant)
  };
  for (const Case& c : {Case{Averaging::kOff, 1.0}, Case{Averaging::kSlow, 0.1695268},
                        Case{Averaging::kFast, 0.7737415}}) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    EXPECT_NEAR(AveragingWeight(c.mode, kMeasurementPoints / kRate), c.weight, 1e-6);
    MeasurementSpectrum spectrum(kRate);
    spectrum.setAveraging(c.mode);
    const double hz = 400 * kSpacing;
    spectrum.addBuffer(Sine(hz, -20, kMeasurementPoints));
    EXPECT_NEAR(spectrum.levels()[400], -20.0, 0.01) << "the first analysis is the average";

    spectrum.addBuffer(Sine(hz, -40, kMeasurementPoints));
    const double expected = c.weight * 1e-4 + (1 - c.weight) * 1e-2;
    EXPECT_NEAR(spectrum.levels()[400], 10 * std::log10(expected), 0.01);

    // A steady tone: the average converges on it.
    for (int i = 0; i < 60; ++i) spectrum.addBuffer(Sine(hz, -40, kMeasurementPoints));
    EXPECT_NEAR(spectrum.levels()[400], -40.0, 0.05);
  }
  // Capture-sized buffers come twice as often and weigh in half as much time each.
  EXPECT_NEAR(AveragingWeight(Averaging::kFast, kCaptureBuffer / kRate), 0.5243336, 1e-6);
  EXPECT_NEAR(AveragingWeight(Averaging::kSlow, kCaptureBuffer / kRate), 0.0886970, 1e-6);
}

// A click in the middle of the window has the same power in every bin.
std::vector<float> Click() {
  std::vector<float> samples(kMeasurementPoints, 0.0f);
  samples[kMeasurementPoints / 2] = 0.5f;
  return samples;
}

TEST(MeasurementSpectrumTest, ThirdOctaveSmoothingKeepsAFlatSpectrumFlatAndSpreadsATone) {
  MeasurementSpectrum spectrum(kRate);
  spectrum.addBuffer(Click());
  const float flat = spectrum.levels()[100];
  spectrum.setSmoothing(true);
  for (int k = 1; k < kMeasurementBins; ++k) {
    ASSERT_NEAR(spectrum.levels()[k], flat, 0.001) << k;
  }

  // A tone's power (1.5 bins' worth through the Hann window) spread over the 43 bins of the
  // third-octave around 1 kHz.
  spectrum.setSmoothing(false);
  spectrum.addBuffer(Sine(1000, -20, kMeasurementPoints));
  spectrum.setSmoothing(true);
  const int bin = NearestBin(1000);
  EXPECT_NEAR(spectrum.levels()[bin], -20.0 + 10 * std::log10(1.5 / 43), 0.1);
  // Beyond the band's half width (1/6 octave) nothing of it is left.
  EXPECT_LT(spectrum.levels()[NearestBin(1000 * std::exp2(0.5))], -100.0);
  EXPECT_LT(spectrum.levels()[NearestBin(1000 * std::exp2(-0.5))], -100.0);
}

TEST(MeasurementSpectrumTest, FreezeKeepsTheShownSpectrumUntilReleased) {
  MeasurementSpectrum spectrum(kRate);
  spectrum.setPeakHold(true);
  long at = 0;
  FeedSine(spectrum, 1000, -20, 2, at);
  const std::vector<float> shown(spectrum.levels().begin(), spectrum.levels().end());
  spectrum.setFrozen(true);
  FeedSine(spectrum, 5000, -10, 3, at);
  EXPECT_TRUE(std::equal(shown.begin(), shown.end(), spectrum.levels().begin()));
  EXPECT_EQ(spectrum.peakLevels()[NearestBin(5000)], shown[NearestBin(5000)]);

  // Released, the next buffer analyses what came in meanwhile.
  spectrum.setFrozen(false);
  FeedSine(spectrum, 5000, -10, 1, at);
  EXPECT_NEAR(spectrum.levels()[NearestBin(5000)], -10.0, 1.5);
  EXPECT_LT(spectrum.levels()[NearestBin(1000)], -100.0);
}

TEST(MeasurementSpectrumTest, ACalibrationFileShiftsTheLevelsByItsValues) {
  const settings::CalibrationRead read = settings::ParseCalibration(
      "\"Sens Factor =-1.2dB, SERNO: 7000000\"\n"
      "20\t-3.0\n"
      "1000\t+2.5\n"
      "20000\t-1.0\n");
  ASSERT_TRUE(read.calibration) << read.error;
  const settings::MicCalibration& mic = *read.calibration;

  MeasurementSpectrum spectrum(kRate);
  spectrum.addBuffer(Click());
  const std::vector<float> plain(spectrum.levels().begin(), spectrum.levels().end());
  spectrum.setMicResponse([&mic](double hz) { return mic.responseDb(hz); });
  EXPECT_TRUE(spectrum.corrected());
  for (int k : {1, 4, 100, 186, 1000, 3715, kMeasurementBins - 1}) {
    SCOPED_TRACE(k);
    EXPECT_NEAR(spectrum.levels()[k], plain[k] - mic.responseDb(k * kSpacing), 0.001);
  }
  // On the file's own points, by its own values.
  spectrum.addBuffer(Sine(1000, -20, kMeasurementPoints));
  EXPECT_NEAR(spectrum.strongestTone()->levelDb, -22.5, 0.05);

  spectrum.setMicResponse({});
  EXPECT_FALSE(spectrum.corrected());
  EXPECT_NEAR(spectrum.strongestTone()->levelDb, -20.0, 0.05);
}

TEST(MeasurementSpectrumTest, SilenceAndRestartGiveTheFloorAndNoSpectrum) {
  MeasurementSpectrum spectrum(kRate);
  EXPECT_TRUE(spectrum.levels().empty());
  EXPECT_FALSE(spectrum.strongestTone());
  spectrum.addBuffer(std::vector<float>(kMeasurementPoints, 0.0f));
  EXPECT_TRUE(std::all_of(spectrum.levels().begin(), spectrum.levels().end(),
                          [](float level) { return level == kMeasurementFloorDb; }));
  EXPECT_FALSE(spectrum.strongestTone());
  spectrum.restart();
  EXPECT_FALSE(spectrum.hasSpectrum());
  EXPECT_TRUE(spectrum.levels().empty());
}

TEST(LongRealFftTest, MatchesAPlainTransformAtEverySize) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  for (int logm : {1, 5, kFftMaxLogm, kFftMaxLogm + 1, kMeasurementLog}) {
    SCOPED_TRACE(logm);
    LongRealFft fft(logm);
    const int n = fft.points();
    std::vector<float> x(n);
    for (float& v : x) v = uniform(random);
    std::vector<std::complex<double>> out(fft.bins());
    fft.transform(x, out);
    // Every bin of the small sizes, a spread of them (both ends included) of the large ones.
    std::vector<int> checked;
    for (int k = 0; k < n / 2; k += std::max(1, n / 64)) checked.push_back(k);
    checked.push_back(n / 2);
    for (int k : checked) {
      std::complex<double> sum = 0;
      for (int t = 0; t < n; ++t) {
        sum += static_cast<double>(x[t]) *
               std::polar(1.0, -2 * std::numbers::pi * ((static_cast<long>(k) * t) % n) / n);
      }
      ASSERT_NEAR(std::abs(out[k] - sum), 0.0, 1e-4 * std::sqrt(n)) << k;
    }
  }
}

TEST(SpectrumCsvTest, WritesTheBinsOfTheRangeWithAPoint) {
  const std::vector<float> levels = {-3.0f, -1.0f, -2.345f, -0.004f, 0.126f, -120.0f};
  EXPECT_EQ(SpectrumCsv(levels, 10.5, 15.0, 42.0),
            "Frequency (Hz),Level (dBFS)\n"
            "21.000,-2.35\n"
            "31.500,0.00\n"
            "42.000,0.13\n");
  EXPECT_EQ(SpectrumCsv(levels, 10.5, 1000.0, 2000.0), "Frequency (Hz),Level (dBFS)\n");
}

TEST(SpectrumCsvTest, ExportsTheShownSpectrumFrom20HzTo20Kilohertz) {
  MeasurementSpectrum spectrum(kRate);
  spectrum.addBuffer(Sine(1000, -20, kMeasurementPoints));
  const std::string csv = SpectrumCsv(spectrum.levels(), spectrum.binSpacing(), 20.0, 20000.0);
  EXPECT_EQ(csv.compare(0, 35, "Frequency (Hz),Level (dBFS)\n21.533,"), 0) << csv.substr(0, 60);
  // Bins 4 (21.5 Hz) to 3715 (19999.0 Hz).
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 3715 - 4 + 1);
  char expected[64];
  std::snprintf(expected, sizeof expected, "\n1001.294,%.2f\n", spectrum.levels()[186]);
  EXPECT_NE(csv.find(expected), std::string::npos) << expected;
}

std::vector<std::string> Labels(const std::vector<ScaleMark>& marks) {
  std::vector<std::string> labels;
  for (const ScaleMark& mark : marks) {
    if (mark.major) labels.push_back(mark.label);
    EXPECT_EQ(mark.major, !mark.label.empty()) << mark.value;
  }
  return labels;
}

TEST(MeasurementScaleTest, MarksAndMappingOfBothAxes) {
  EXPECT_EQ(
      Labels(MeasurementScale::FrequencyMarks()),
      (std::vector<std::string>{"20", "50", "100", "200", "500", "1k", "2k", "5k", "10k", "20k"}));
  EXPECT_EQ(MeasurementScale::FrequencyMarks().size(), 28u);  // 20..90, 100..900, ..., 10k, 20k
  EXPECT_EQ(Labels(MeasurementScale::LevelMarks()),
            (std::vector<std::string>{"0", "-20", "-40", "-60", "-80", "-100", "-120", "-140"}));
  EXPECT_EQ(MeasurementScale::LevelMarks().size(), 15u);

  const MeasurementScale scale(40, 10, 600, 280);
  EXPECT_DOUBLE_EQ(scale.xOf(20), 40);
  EXPECT_DOUBLE_EQ(scale.xOf(20000), 640);
  EXPECT_NEAR(scale.xOf(std::sqrt(20.0 * 20000.0)), 340, 1e-9);
  EXPECT_NEAR(scale.frequencyAt(scale.xOf(1234.5)), 1234.5, 1e-9);
  EXPECT_DOUBLE_EQ(scale.yOf(0), 10);
  EXPECT_DOUBLE_EQ(scale.yOf(-70), 150);
  EXPECT_DOUBLE_EQ(scale.yOf(-140), 290);
  // Beyond the range, on the edge.
  EXPECT_DOUBLE_EQ(scale.yOf(6), 10);
  EXPECT_DOUBLE_EQ(scale.yOf(kMeasurementFloorDb), 290);
}

}  // namespace
}  // namespace kdsp::display
