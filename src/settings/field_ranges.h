// SPDX-License-Identifier: GPL-3.0-or-later
// The ranges of the values the user may give the block's fields, in the units the block stores
// them: the program's controls, the command line and the remote all read them here, so a value
// one of them accepts is one the others accept too.
#pragma once

#include <cstdint>

#include "settings/frequency_grid.h"
#include "settings/value_texts.h"

namespace kdsp::settings {

struct IntRange {
  int min = 0;
  int max = 0;
  constexpr bool contains(long long value) const { return value >= min && value <= max; }
};

namespace range {

// Main window.
inline constexpr IntRange kMixLevel{0, 50};
// Music and mic masters; the processor's maximum volumes hold them lower still.
inline constexpr IntRange kMasterLevel{0, 60};
inline constexpr IntRange kMasterEffect{0, 80};
inline constexpr IntRange kMaxVolume{0, 60};
inline constexpr IntRange kFeedbackLevel{0, 5};
inline constexpr IntRange kMusicInput{0, static_cast<int>(kMusicInputNames.size()) - 1};
// The delay knobs count hundredths of a millisecond; the block holds microseconds.
inline constexpr IntRange kOutputDelayKnob{0, 10000};
inline constexpr int kOutputDelayKnobToBlock = 10;

// EQ bands.
inline constexpr IntRange kEqGain{-240, 120};  // tenths of a dB
inline constexpr IntRange kFrequencyStep{0, kLastStep};
inline constexpr IntRange kBandwidth{0, 59};  // (bandwidth + 1) * 0.05 octave
inline constexpr IntRange kBandType{0, static_cast<int>(kBandTypeNames.size()) - 1};
// The highest step a low shelf may sit at (4000 Hz) and the lowest for a high shelf (1000 Hz).
inline constexpr int kLowShelfTopStep = 275;
inline constexpr int kHighShelfBottomStep = kStep1kHz;

// Compressors: the selectors are indices into the texts they show.
inline constexpr IntRange kThreshold{-20, 22};  // dB
inline constexpr IntRange kAttack{0, static_cast<int>(kAttackTexts.size()) - 1};
inline constexpr IntRange kRelease{0, static_cast<int>(kReleaseTexts.size()) - 1};
inline constexpr IntRange kRatio{0, static_cast<int>(kRatioTexts.size()) - 1};

// Crossover filters: the output pages' family and slope knobs (12, 18 and 24 dB per octave).
inline constexpr IntRange kFilterFamily{0, static_cast<int>(kFilterFamilyNames.size()) - 1};
inline constexpr IntRange kFilterOrder{0, 2};

// Effect pages.
inline constexpr IntRange kSubDecay{0, 50};
inline constexpr IntRange kEffectLevel{0, 80};  // echo level, repeat and direct, reverb level
inline constexpr IntRange kEchoDelay{0, 300};   // ms, either side
inline constexpr IntRange kEchoPreDelay{0, 100};
inline constexpr IntRange kEchoOffset{-99, 99};  // the left/right offsets
inline constexpr IntRange kRevPageTime{0, 80};
inline constexpr IntRange kRevPreDelay{0, 100};  // ms
inline constexpr IntRange kMicEqMode{0, 2};

// The reverb dialog's sliders, which reach past the page's faders.
inline constexpr IntRange kRevTime{0, 95};
inline constexpr IntRange kRevShape{0, 100};  // damp, wet, width
inline constexpr IntRange kRevLevel = kEffectLevel;

}  // namespace range

}  // namespace kdsp::settings
