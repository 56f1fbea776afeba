// SPDX-License-Identifier: GPL-3.0-or-later
// The frequency grid: step to hertz, to angular frequency, back from hertz, and to its label.
#include "settings/frequency_grid.h"

#include <algorithm>
#include <cmath>

namespace kdsp::settings {
namespace {

// The formula would put the last step at 20158.7 Hz; the processor's top step sits higher.
constexpr float kLastStepHz = 22159.0f;

char digit(int value) {
  return static_cast<char>('0' + value % 10);
}

}  // namespace

float gridFrequency(int step) {
  if (step >= kLastStep) return kLastStepHz;
  step = std::max(step, 0);
  return static_cast<float>(15.625 * std::pow(2.0, (step + 13) / 36.0));
}

float stepOmega(int step) {
  return static_cast<float>(static_cast<double>(gridFrequency(step)) * kTwoPi *
                            (1.0 / kSampleRate));
}

int gridStepAtOrAbove(float hz) {
  // Written as "not yet at or above" so that a NaN finds no step and lands on the last one.
  int first = 0;
  int count = kGridSteps;
  while (count > 0) {
    const int half = count / 2;
    if (!(gridFrequency(first + half) >= hz)) {
      first += half + 1;
      count -= half + 1;
    } else {
      count = half;
    }
  }
  return std::min(first, kLastStep);
}

FrequencyLabel frequencyLabel(int step) {
  FrequencyLabel label;
  char* out = label.chars.data();
  const int b = static_cast<int>(gridFrequency(step) * 10.0f);
  if (std::max(step, 0) < kStep1kHz) {
    if (b < 1000) {  // below 100 Hz: "dd.d"
      out[0] = digit(b / 100);
      out[1] = digit(b / 10);
      out[2] = '.';
      out[3] = digit(b);
    } else {  // whole hertz, truncated
      out[0] = ' ';
      out[1] = digit(b / 1000);
      out[2] = digit(b / 100);
      out[3] = digit(b / 10);
    }
    return label;
  }
  int c = b / 10;
  if (c < 10000) {  // "dKdd", rounded to 10 Hz
    if (c % 10 > 4) c += 10;
    out[0] = digit(c / 1000);
    out[1] = 'K';
    out[2] = digit(c / 100);
    out[3] = digit(c / 10);
  } else {  // "ddKd", rounded to 100 Hz
    if ((c / 10) % 10 > 4) c += 100;
    out[0] = digit(c / 10000);
    out[1] = digit(c / 1000);
    out[2] = 'K';
    out[3] = digit(c / 100);
  }
  return label;
}

}  // namespace kdsp::settings
