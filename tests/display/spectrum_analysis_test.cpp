// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the analysis of one captured buffer: scaling, bins, levels and the silent buffer.
#include "display/spectrum_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

namespace kdsp::display {
namespace {

constexpr int kPoints = 1 << kFftLog;
const double kFullScaleLevel = 30.0 * std::log(1024.0);  // 207.94

using Samples = std::vector<std::int16_t>;

// A sine of the given amplitude that completes `cycles` periods in the transform's 2048 samples,
// running on through the whole buffer.
Samples Tone(double cycles, double amplitude) {
  Samples samples(kBufferSamples);
  for (int n = 0; n < kBufferSamples; ++n) {
    const double phi = 2.0 * std::numbers::pi * cycles * n / kPoints;
    samples[n] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(phi)));
  }
  return samples;
}

class SpectrumAnalysisTest : public testing::Test {
 protected:
  // Four 16 KB arrays: kept off the stack.
  std::unique_ptr<SpectrumAnalysis> analysis = std::make_unique<SpectrumAnalysis>();
};

TEST_F(SpectrumAnalysisTest, FullScaleSineOnABinReadsThirtyLnOf1024) {
  for (int bin : {1, 93, 500, 1023}) {
    SCOPED_TRACE(bin);
    analysis->analyse(Tone(bin, 32767).data());
    ASSERT_TRUE(analysis->spectrumReady());
    const auto& levels = analysis->spectrumLevels();
    // 32767 of 32768 and the rounding of the samples lower the peak by about 0.001.
    EXPECT_NEAR(levels[bin], kFullScaleLevel, 0.01);
    EXPECT_NEAR(analysis->magnitudes()[bin], 1024.0, 0.1);
    for (int i = 0; i < kSpectrumBins; ++i) {
      // Every other bin holds only the rounding noise of the samples, below 1/1000 of the peak.
      if (i == bin) continue;
      EXPECT_LT(levels[i], kFullScaleLevel - 30.0 * std::log(1000.0)) << i;
    }
  }
}

TEST_F(SpectrumAnalysisTest, SilenceGivesMinusInfinityAndNoNan) {
  analysis->analyse(Tone(93, 32767).data());
  analysis->analyse(Samples(kBufferSamples, 0).data());
  EXPECT_TRUE(analysis->spectrumReady());
  for (int i = 0; i < kSpectrumBins; ++i) {
    EXPECT_EQ(analysis->magnitudes()[i], 0.0f) << i;
    const float level = analysis->spectrumLevels()[i];
    EXPECT_FALSE(std::isnan(level)) << i;
    EXPECT_TRUE(std::isinf(level) && level < 0) << i;
  }
}

TEST_F(SpectrumAnalysisTest, DirectCurrentFallsInBinZeroWhateverItsSign) {
  for (std::int16_t value : {std::int16_t{16384}, std::int16_t{-16384}}) {
    SCOPED_TRACE(value);
    analysis->analyse(Samples(kBufferSamples, value).data());
    // 0.5 of full scale over 2048 samples.
    EXPECT_FLOAT_EQ(analysis->magnitudes()[0], 1024.0f);
    EXPECT_NEAR(analysis->spectrumLevels()[0], kFullScaleLevel, 1e-3);
    for (int i = 1; i < kSpectrumBins; ++i) EXPECT_LT(analysis->magnitudes()[i], 1e-3f) << i;
  }
}

TEST_F(SpectrumAnalysisTest, OnlyTheFirstHalfOfTheBufferIsAnalysed) {
  Samples samples = Tone(93, 20000);
  std::fill(samples.begin(), samples.begin() + kPoints, std::int16_t{0});
  analysis->analyse(samples.data());
  for (int i = 0; i < kSpectrumBins; ++i) EXPECT_EQ(analysis->magnitudes()[i], 0.0f) << i;
  // The sample buffer still holds all of it, as fractions of full scale.
  for (int n = 0; n < kBufferSamples; ++n)
    ASSERT_EQ(analysis->sampleBuffer()[n], samples[n] / 32768.0f) << n;
}

TEST_F(SpectrumAnalysisTest, SamplesAreFractionsOfFullScale) {
  Samples samples(kBufferSamples, 0);
  samples[0] = -32768;
  samples[1] = 32767;
  samples[2] = 1;
  analysis->analyse(samples.data());
  EXPECT_EQ(analysis->sampleBuffer()[0], -1.0f);
  EXPECT_EQ(analysis->sampleBuffer()[1], 32767.0f / 32768.0f);
  EXPECT_EQ(analysis->sampleBuffer()[2], 1.0f / 32768.0f);
  // Bin 0 is the sum of the samples, here zero.
  EXPECT_NEAR(analysis->magnitudes()[0], 0.0f, 1e-6f);
}

TEST_F(SpectrumAnalysisTest, SwitchingOffClearsReadyAndKeepsTheLevels) {
  EXPECT_FALSE(analysis->spectrumReady());
  analysis->analyse(Tone(200, 10000).data());
  const auto levels = analysis->spectrumLevels();
  analysis->clearReady();
  EXPECT_FALSE(analysis->spectrumReady());
  EXPECT_EQ(analysis->spectrumLevels(), levels);
  analysis->clearSamples();
  for (float sample : analysis->sampleBuffer()) ASSERT_EQ(sample, 0.0f);
  analysis->analyse(Tone(200, 10000).data());
  EXPECT_TRUE(analysis->spectrumReady());
  EXPECT_EQ(analysis->spectrumLevels(), levels);
}

}  // namespace
}  // namespace kdsp::display
