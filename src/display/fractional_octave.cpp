// SPDX-License-Identifier: GPL-3.0-or-later
// Fractional-octave smoothing: power, not decibels, is averaged, so a band holding one tone
// reads the tone's power spread over the band, as a band filter of that width would.
#include "display/fractional_octave.h"

#include <algorithm>
#include <cmath>

namespace kdsp::display {

void FractionalOctaveSmoother::smooth(std::span<const double> power, double fraction,
                                      std::span<double> out) {
  const int n = static_cast<int>(power.size());
  if (n == 0) return;
  // runningSum_[k] is the sum of bins 0..k-1, so a band's sum is one difference.
  runningSum_.resize(static_cast<std::size_t>(n) + 1);
  runningSum_[0] = 0;
  for (int k = 0; k < n; ++k) runningSum_[k + 1] = runningSum_[k] + power[k];

  const double halfBand = std::exp2(0.5 / fraction);
  out[0] = power[0];
  for (int k = 1; k < n; ++k) {
    const int low = std::clamp(static_cast<int>(std::ceil(k / halfBand)), 1, k);
    const int high = std::clamp(static_cast<int>(std::floor(k * halfBand)), k, n - 1);
    // The difference of two running sums carries the rounding of everything below the band,
    // about 1e-16 of the total power: below -150 dB under the loudest part of the spectrum, and
    // never allowed to turn negative.
    out[k] = std::max(0.0, (runningSum_[high + 1] - runningSum_[low]) / (high - low + 1));
  }
}

}  // namespace kdsp::display
