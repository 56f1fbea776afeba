// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement analyser's spectrum.
//
// Levels are sine-calibrated: the Hann window is scaled by 2 / sum(w) (its coherent gain of 1/2
// corrected), so a full-scale sine centred on a bin reads 0 dBFS there. A tone between two bins
// reads up to 1.42 dB low on the bin nearest it (the window's scalloping; 0.3 dB for 1 kHz, which
// lies a quarter of a bin off), so the strongest-tone reading places the tone between the peak
// bin and its larger neighbour from their ratio, which for a Hann window gives the offset
// exactly, and adds back the window's loss at that offset.
#include "display/measurement_spectrum.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kdsp::display {
namespace {

// Levels of power relative to a full-scale sine.
float ToDb(double power) {
  return static_cast<float>(std::max(kMeasurementFloorDb, 10.0 * std::log10(power)));
}

// The Hann window's response to a tone `offset` bins from a bin's centre, 1 at the centre.
double HannResponse(double offset) {
  if (std::fabs(offset) < 1e-9) return 1.0;
  const double x = std::numbers::pi * offset;
  return std::sin(x) / x / (1.0 - offset * offset);
}

}  // namespace

double AveragingWeight(Averaging mode, double bufferSeconds) {
  switch (mode) {
    case Averaging::kOff:
      return 1.0;
    case Averaging::kSlow:
      return 1.0 - std::exp(-bufferSeconds / kSlowSeconds);
    case Averaging::kFast:
      return 1.0 - std::exp(-bufferSeconds / kFastSeconds);
  }
  return 1.0;
}

MeasurementSpectrum::MeasurementSpectrum(double sampleRate)
    : sampleRate_(sampleRate),
      window_(kMeasurementPoints),
      history_(kMeasurementPoints, 0.0f),
      windowed_(kMeasurementPoints),
      bins_(kMeasurementBins),
      power_(kMeasurementBins, 0.0),
      scratch_(kMeasurementBins),
      smoothed_(kMeasurementBins) {
  // The periodic Hann window, whose sum is exactly N/2.
  const double scale = 2.0 / (kMeasurementPoints / 2.0);
  for (int n = 0; n < kMeasurementPoints; ++n) {
    const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / kMeasurementPoints);
    window_[n] = static_cast<float>(hann * scale);
  }
}

void MeasurementSpectrum::addBuffer(std::span<const float> samples) {
  if (samples.empty()) return;
  const std::size_t keep = samples.size() >= history_.size() ? 0 : history_.size() - samples.size();
  std::copy(history_.end() - static_cast<long>(keep), history_.end(), history_.begin());
  const std::span<const float> newest = samples.last(history_.size() - keep);
  std::copy(newest.begin(), newest.end(), history_.begin() + static_cast<long>(keep));
  received_ = std::min<long>(received_ + static_cast<long>(samples.size()), kMeasurementPoints);
  if (frozen_ || received_ < kMeasurementPoints) return;
  analyse(static_cast<double>(samples.size()) / sampleRate_);
}

void MeasurementSpectrum::analyse(double bufferSeconds) {
  for (int n = 0; n < kMeasurementPoints; ++n) windowed_[n] = history_[n] * window_[n];
  fft_.transform(windowed_, bins_);
  // The first analysis is the average; later ones are weighed in.
  const double weight = analyses_ == 0 ? 1.0 : AveragingWeight(averaging_, bufferSeconds);
  for (int k = 0; k < kMeasurementBins; ++k) {
    double power = std::norm(bins_[k]);
    // A constant has no mirror image whose half of the power the scale adds back: full-scale
    // DC reads 0 dBFS too.
    if (k == 0) power *= 0.25;
    power_[k] += weight * (power - power_[k]);
  }
  if (peakHold_) {
    if (peak_.empty()) peak_ = power_;
    for (int k = 0; k < kMeasurementBins; ++k) peak_[k] = std::max(peak_[k], power_[k]);
  }
  ++analyses_;
  stale_ = true;
}

void MeasurementSpectrum::restart() {
  std::fill(history_.begin(), history_.end(), 0.0f);
  std::fill(power_.begin(), power_.end(), 0.0);
  received_ = 0;
  analyses_ = 0;
  peak_.clear();
  stale_ = true;
}

void MeasurementSpectrum::setPeakHold(bool on) {
  if (on == peakHold_) return;
  peakHold_ = on;
  peak_.clear();
  if (on && hasSpectrum()) peak_ = power_;
  stale_ = true;
}

void MeasurementSpectrum::resetPeakHold() {
  if (!peakHold_) return;
  peak_.clear();
  if (hasSpectrum()) peak_ = power_;
  stale_ = true;
}

void MeasurementSpectrum::setSmoothing(bool thirdOctave) {
  smoothing_ = thirdOctave;
  stale_ = true;
}

void MeasurementSpectrum::setMicResponse(const std::function<double(double hz)>& micResponseDb) {
  correctionDb_.clear();
  correctionGain_.clear();
  if (micResponseDb) {
    correctionDb_.resize(kMeasurementBins);
    correctionGain_.resize(kMeasurementBins);
    for (int k = 0; k < kMeasurementBins; ++k) {
      correctionDb_[k] = micResponseDb(binFrequency(k));
      correctionGain_[k] = std::pow(10.0, -correctionDb_[k] / 10);
    }
  }
  stale_ = true;
}

// Corrects, then smooths: the band average is one of what the microphone heard at each bin.
void MeasurementSpectrum::show(const std::vector<double>& power, std::vector<float>& levels) const {
  scratch_ = power;
  if (corrected()) {
    for (int k = 0; k < kMeasurementBins; ++k) scratch_[k] *= correctionGain_[k];
  }
  const std::vector<double>* shown = &scratch_;
  if (smoothing_) {
    smoother_.smooth(scratch_, 3.0, smoothed_);
    shown = &smoothed_;
  }
  levels.resize(kMeasurementBins);
  for (int k = 0; k < kMeasurementBins; ++k) levels[k] = ToDb((*shown)[k]);
}

void MeasurementSpectrum::refresh() const {
  if (!stale_) return;
  stale_ = false;
  levels_.clear();
  peakLevels_.clear();
  if (!hasSpectrum()) return;
  show(power_, levels_);
  if (peakHold_ && !peak_.empty()) show(peak_, peakLevels_);
}

std::span<const float> MeasurementSpectrum::levels() const {
  refresh();
  return levels_;
}

std::span<const float> MeasurementSpectrum::peakLevels() const {
  refresh();
  return peakLevels_;
}

std::optional<ToneReading> MeasurementSpectrum::strongestTone() const {
  if (!hasSpectrum()) return std::nullopt;
  const auto first = power_.begin() + 1;
  const auto last = power_.end() - 1;
  const int peak = static_cast<int>(std::max_element(first, last) - power_.begin());
  if (power_[peak] <= 0) return std::nullopt;
  // For a Hann window the two bins either side of a tone at peak + d hold amplitudes in the
  // ratio r = (1 + d) / (2 - d), so d = (2r - 1) / (1 + r).
  const double centre = std::sqrt(power_[peak]);
  const double below = std::sqrt(power_[peak - 1]);
  const double above = std::sqrt(power_[peak + 1]);
  const double side = std::max(below, above);
  const double offset = (2 * side - centre) / (centre + side) * (above >= below ? 1 : -1);
  ToneReading reading;
  reading.frequency = binFrequency(peak) + offset * binSpacing();
  reading.levelDb = 10.0 * std::log10(power_[peak]) - 20.0 * std::log10(HannResponse(offset));
  if (corrected()) {
    // The correction is smooth over a bin: the nearer bin's value serves.
    const int nearest =
        std::clamp(static_cast<int>(std::lround(peak + offset)), 0, kMeasurementBins - 1);
    reading.levelDb -= correctionDb_[nearest];
  }
  return reading;
}

}  // namespace kdsp::display
