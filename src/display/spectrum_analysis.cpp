// SPDX-License-Identifier: GPL-3.0-or-later
// Analysis of one captured sound buffer for the live spectrum line.
#include "display/spectrum_analysis.h"

#include <cmath>

#include "display/fft.h"

namespace kdsp::display {

static_assert(kFftPoints <= kBufferSamples, "the transform reads the start of the buffer");

void SpectrumAnalysis::analyse(const std::int16_t* samples) {
  constexpr float kFullScale = 1.0f / 32768.0f;
  for (int i = 0; i < kBufferSamples; ++i) sampleBuffer_[i] = samples[i] * kFullScale;
  // The whole buffer goes into the work array; the transform reads and overwrites only the first
  // kFftPoints of it.
  work_ = sampleBuffer_;
  RealFft(work_.data(), kFftLog);

  magnitude_[0] = std::fabs(work_[0]);
  for (int i = 1; i < kSpectrumBins; ++i) {
    const float re = work_[i];
    const float im = work_[kFftPoints - i];
    magnitude_[i] = std::sqrt(re * re + im * im);
  }
  // A silent bin gives log 0 = minus infinity: a level below the bottom of every chart.
  for (int i = 0; i < kSpectrumBins; ++i) spectrumLevels_[i] = 30.0f * std::log(magnitude_[i]);
  spectrumReady_ = true;
}

}  // namespace kdsp::display
