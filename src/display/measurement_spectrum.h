// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement analyser's spectrum: Hann-windowed 8192-point transforms of the captured sound
// in dBFS, with exponential averaging, peak hold, 1/3-octave smoothing, freezing and a
// microphone correction.
#pragma once

#include <complex>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "display/fractional_octave.h"
#include "display/long_real_fft.h"

namespace kdsp::display {

// 8192 points at 44100 Hz put bins 5.38 Hz apart: five bins across the lowest third-octave of
// the chart (20 Hz), at the price of a 186 ms window.
inline constexpr int kMeasurementLog = 13;
inline constexpr int kMeasurementPoints = 1 << kMeasurementLog;
inline constexpr int kMeasurementBins = kMeasurementPoints / 2 + 1;  // 0 Hz .. half the rate
// Levels never read below this (a silent bin, the logarithm of zero).
inline constexpr double kMeasurementFloorDb = -200.0;

// Exponential averaging of the power per bin, with the time constants of a sound level meter.
enum class Averaging { kOff, kSlow, kFast };
inline constexpr double kSlowSeconds = 1.0;
inline constexpr double kFastSeconds = 0.125;

// The weight a new analysis gets in the average when analyses come every bufferSeconds:
// 1 - e^(-bufferSeconds / time constant), so the average follows a step with the meter's time
// constant whatever the buffer size; 1 with averaging off.
double AveragingWeight(Averaging mode, double bufferSeconds);

// The strongest tone: its frequency and level estimated from the peak bin and its neighbours.
struct ToneReading {
  double frequency = 0;
  double levelDb = 0;
};

class MeasurementSpectrum {
 public:
  explicit MeasurementSpectrum(double sampleRate);

  double sampleRate() const { return sampleRate_; }
  double binSpacing() const { return sampleRate_ / kMeasurementPoints; }
  double binFrequency(int bin) const { return bin * binSpacing(); }

  // Takes a buffer of samples as fractions of full scale. Once kMeasurementPoints samples have
  // come, every buffer analyses the latest kMeasurementPoints of them (buffers shorter than
  // that overlap) and enters the result into the average and the peak hold. While frozen the
  // samples are kept but nothing is analysed.
  void addBuffer(std::span<const float> samples);
  // Forgets the samples, the average and the peaks: a new recording starts afresh.
  void restart();
  bool hasSpectrum() const { return analyses_ > 0; }

  void setAveraging(Averaging mode) { averaging_ = mode; }
  Averaging averaging() const { return averaging_; }
  void setPeakHold(bool on);
  bool peakHold() const { return peakHold_; }
  // The held peaks start again from the current spectrum.
  void resetPeakHold();
  void setSmoothing(bool thirdOctave);
  bool smoothing() const { return smoothing_; }
  // The shown spectrum stops changing; settings of the view (smoothing, correction) still apply.
  void setFrozen(bool frozen) { frozen_ = frozen; }
  bool frozen() const { return frozen_; }
  // The microphone's own response in dB at a frequency, subtracted from every level; an empty
  // function removes the correction.
  void setMicResponse(const std::function<double(double hz)>& micResponseDb);
  bool corrected() const { return !correctionDb_.empty(); }

  // The shown spectrum: dBFS per bin 0..kMeasurementBins-1, a full-scale sine reading 0 dBFS at
  // its bin. Empty before the first analysis; the peaks are empty while peak hold is off.
  std::span<const float> levels() const;
  std::span<const float> peakLevels() const;
  // The strongest tone of the (unsmoothed) spectrum between the first and the last bin.
  std::optional<ToneReading> strongestTone() const;

 private:
  void analyse(double bufferSeconds);
  void show(const std::vector<double>& power, std::vector<float>& levels) const;
  void refresh() const;

  double sampleRate_;
  LongRealFft fft_{kMeasurementLog};
  std::vector<float> window_;   // Hann, scaled so that a full-scale sine gives power 1
  std::vector<float> history_;  // the latest kMeasurementPoints samples, oldest first
  long received_ = 0;           // samples taken since the restart, up to a full window
  std::vector<float> windowed_;
  std::vector<std::complex<double>> bins_;
  std::vector<double> power_;           // averaged power per bin, relative to a full-scale sine
  std::vector<double> peak_;            // the highest power per bin since the last reset
  std::vector<double> correctionDb_;    // the microphone's response per bin; empty: none
  std::vector<double> correctionGain_;  // the same as a factor on power
  long analyses_ = 0;
  Averaging averaging_ = Averaging::kOff;
  bool peakHold_ = false;
  bool smoothing_ = false;
  bool frozen_ = false;

  // The shown levels are worked out when asked for after a change.
  mutable bool stale_ = true;
  mutable std::vector<float> levels_;
  mutable std::vector<float> peakLevels_;
  mutable std::vector<double> scratch_;
  mutable std::vector<double> smoothed_;
  mutable FractionalOctaveSmoother smoother_;
};

}  // namespace kdsp::display
