// SPDX-License-Identifier: GPL-3.0-or-later
// Analysis of one captured sound buffer for the live spectrum line: the transform of its first
// 2048 samples turned into the levels the response charts draw.
#pragma once

#include <array>
#include <cstdint>

namespace kdsp::display {

inline constexpr int kCaptureRate = 44100;
inline constexpr int kBufferSamples = 4096;  // one delivered buffer, 92.9 ms
inline constexpr int kFftLog = 11;           // the transform covers the first 2^11 samples
inline constexpr int kFftPoints = 1 << kFftLog;
inline constexpr int kSpectrumBins = kFftPoints / 2;  // bins 0..1023

// Bin k of the transform holds the frequency k x 44100 / 2048 Hz, about 21.53 Hz apart.
constexpr double binFrequency(int bin) {
  return static_cast<double>(bin) * kCaptureRate / kFftPoints;
}

class SpectrumAnalysis {
 public:
  using Buffer = std::array<float, kBufferSamples>;

  // Analyses one buffer of kBufferSamples 16-bit samples: spectrumLevels()[i] becomes
  // 30 ln |X(i)| for the bins i < kSpectrumBins of the unwindowed, unscaled transform of the
  // samples as fractions of full scale, and spectrumReady() becomes true. A bin with no energy
  // reads minus infinity.
  void analyse(const std::int16_t* samples);

  // Switching the analyser off: the charts stop drawing the line; the levels stay.
  void clearReady() { spectrumReady_ = false; }
  // Switching it on: the samples of an earlier run are forgotten.
  void clearSamples() { sampleBuffer_.fill(0.0f); }

  bool spectrumReady() const { return spectrumReady_; }
  const Buffer& spectrumLevels() const { return spectrumLevels_; }
  const Buffer& magnitudes() const { return magnitude_; }
  const Buffer& sampleBuffer() const { return sampleBuffer_; }

 private:
  // Kept in the object, so every buffer and every new run reuses the same storage.
  Buffer sampleBuffer_{};
  Buffer work_{};
  Buffer magnitude_{};
  Buffer spectrumLevels_{};
  bool spectrumReady_ = false;
};

}  // namespace kdsp::display
