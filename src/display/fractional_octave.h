// SPDX-License-Identifier: GPL-3.0-or-later
// Fractional-octave smoothing of a spectrum given as power per transform bin.
#pragma once

#include <span>
#include <vector>

namespace kdsp::display {

class FractionalOctaveSmoother {
 public:
  // out[k] becomes the mean of power over the bins whose frequencies lie within 1/(2 fraction)
  // octave either side of bin k's: a band of 1/fraction octave centred on it, never narrower
  // than the bin itself. Bins are equally spaced from 0 Hz, so the band's edges are k times a
  // fixed ratio whatever the spacing. Bin 0 (no frequency to centre a band on) is copied.
  // power and out have the same size.
  void smooth(std::span<const double> power, double fraction, std::span<double> out);

 private:
  std::vector<double> runningSum_;  // kept, so repeated smoothing allocates nothing
};

}  // namespace kdsp::display
