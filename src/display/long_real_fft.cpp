// SPDX-License-Identifier: GPL-3.0-or-later
// Decimation in time on top of the split-radix real transform: with P phases of M = N/P samples,
// x_r(n) = x(nP + r), X(k) = sum over r of e^(-2 pi i r k / N) X_r(k mod M). The sub-transforms
// run in float like the live analyser's; the combining step runs in double so that it adds no
// rounding of its own worth mentioning.
#include "display/long_real_fft.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

namespace kdsp::display {
namespace {

// Bin j of a packed real transform of m points (RealFft's layout), for any j in 0..m-1.
std::complex<double> PackedBin(const float* x, int m, int j) {
  if (m == 1) return x[0];
  if (j == 0) return x[0];
  if (j == m / 2) return x[m / 2];
  if (j < m / 2) return {x[j], x[m - j]};
  return {x[m - j], -x[j]};  // X(m - j) is the conjugate of X(j) for real input
}

}  // namespace

LongRealFft::LongRealFft(int logm)
    : logm_(logm),
      phaseLog_(std::max(0, logm - kFftMaxLogm)),
      subLogm_(logm - phaseLog_),
      work_(static_cast<std::size_t>(1) << logm),
      rotation_(static_cast<std::size_t>(1) << logm) {
  assert(logm >= 1 && logm <= kLongFftMaxLogm);
  const int n = points();
  for (int m = 0; m < n; ++m) rotation_[m] = std::polar(1.0, -2.0 * std::numbers::pi * m / n);
}

void LongRealFft::transform(std::span<const float> input, std::span<std::complex<double>> out) {
  assert(static_cast<int>(input.size()) == points() && static_cast<int>(out.size()) == bins());
  const int n = points();
  const int phases = 1 << phaseLog_;
  const int m = 1 << subLogm_;
  for (int r = 0; r < phases; ++r) {
    float* sub = work_.data() + static_cast<std::size_t>(r) * m;
    for (int t = 0; t < m; ++t) sub[t] = input[static_cast<std::size_t>(t) * phases + r];
    RealFft(sub, subLogm_);
  }
  for (int k = 0; k <= n / 2; ++k) {
    const int j = k & (m - 1);
    std::complex<double> sum = PackedBin(work_.data(), m, j);
    for (int r = 1; r < phases; ++r) {
      const int turn = static_cast<int>((static_cast<long>(r) * k) & (n - 1));
      sum += rotation_[turn] * PackedBin(work_.data() + static_cast<std::size_t>(r) * m, m, j);
    }
    out[k] = sum;
  }
}

}  // namespace kdsp::display
