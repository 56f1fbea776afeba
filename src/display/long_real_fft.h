// SPDX-License-Identifier: GPL-3.0-or-later
// Real transforms longer than the split-radix routines take: the measurement analyser's 8192-point
// transform, made of interleaved transforms of the largest size those routines handle.
#pragma once

#include <complex>
#include <span>
#include <vector>

#include "display/fft.h"

namespace kdsp::display {

// Up to 16 interleaved sub-transforms.
inline constexpr int kLongFftMaxLogm = kFftMaxLogm + 4;

class LongRealFft {
 public:
  // N = 2^logm points, 1 <= logm <= kLongFftMaxLogm.
  explicit LongRealFft(int logm);

  int points() const { return 1 << logm_; }
  int bins() const { return points() / 2 + 1; }

  // X(k) = sum x(n) e^(-2 pi i k n / N), unnormalised, for k = 0..N/2. input holds points()
  // samples, out bins() values. Nothing is allocated per call.
  void transform(std::span<const float> input, std::span<std::complex<double>> out);

 private:
  int logm_;
  int phaseLog_;  // the samples are dealt out to 2^phaseLog_ sub-transforms, phase r taking n = r
                  // mod P
  int subLogm_;
  std::vector<float> work_;                     // the sub-transforms one after the other
  std::vector<std::complex<double>> rotation_;  // e^(-2 pi i m / N), m = 0..N-1
};

}  // namespace kdsp::display
