// SPDX-License-Identifier: GPL-3.0-or-later
// The frequency grid every frequency of the program lives on: 360 steps, 36 per octave, step 203
// at 1 kHz, with the conversions to hertz, to the processor's angular frequency and to the
// four-character label of the value boxes.
#pragma once

#include <array>
#include <string_view>

namespace kdsp::settings {

inline constexpr int kGridSteps = 360;
inline constexpr int kLastStep = kGridSteps - 1;  // 22159 Hz; a low-pass filter here is off
inline constexpr int kStep1kHz = 203;             // exactly 1000 Hz
inline constexpr double kSampleRate = 48000.0;    // the processor's processing rate
inline constexpr double kTwoPi = 6.283185307179586;

// Hertz of a step. Steps past the last one read as the last one; negative steps as step 0.
float gridFrequency(int step);

// Angular frequency of a step at the processing rate, in radians per sample.
float stepOmega(int step);

// The first step whose frequency is at least hz; the last step when none is (also for NaN).
int gridStepAtOrAbove(float hz);

// Four characters and a terminating zero, built in place without allocating.
struct FrequencyLabel {
  std::array<char, 5> chars{};
  const char* c_str() const { return chars.data(); }
  std::string_view view() const { return std::string_view(chars.data(), 4); }
};

// "20.0", " 137", "1K00", "10K1": the label of a step as value boxes and band controls show it.
FrequencyLabel frequencyLabel(int step);

}  // namespace kdsp::settings
