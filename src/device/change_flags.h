// SPDX-License-Identifier: GPL-3.0-or-later
// The changed flags: one byte per sendable parameter, set by the control or dialog that changed
// it and cleared only by the synchronisation tick when it sends the parameter.
#pragma once

#include <array>
#include <cstdint>

namespace kdsp::device {

struct FlagRange {
  std::uint16_t first;
  std::uint16_t count;
  constexpr std::uint16_t at(int i) const { return static_cast<std::uint16_t>(first + i); }
  constexpr FlagRange sub(int offset, int n) const {
    return {static_cast<std::uint16_t>(first + offset), static_cast<std::uint16_t>(n)};
  }
};

constexpr FlagRange After(FlagRange previous, int count) {
  return {static_cast<std::uint16_t>(previous.first + previous.count),
          static_cast<std::uint16_t>(count)};
}

// Where each control's flag lives. Controls keep a pointer to their byte.
namespace flag {
// Main window.
inline constexpr FlagRange kMixFaders{0, 14};                          // faders 0..13
inline constexpr FlagRange kMasterFaders = After(kMixFaders, 3);       // faders 14, 15, 16
inline constexpr FlagRange kDelayKnobs = After(kMasterFaders, 6);      // knobs 0..5
inline constexpr FlagRange kFeedbackKnob = After(kDelayKnobs, 1);      // knob 6
inline constexpr FlagRange kMusicInputKnob = After(kFeedbackKnob, 1);  // knob 7
inline constexpr FlagRange kMusicMaxVolume = After(kMusicInputKnob, 1);
inline constexpr FlagRange kMicMaxVolume = After(kMusicMaxVolume, 1);
inline constexpr FlagRange kMuteButtons = After(kMicMaxVolume, 14);
inline constexpr FlagRange kOutputSwitches = After(kMuteButtons, 8);
// EQ strips: the strip of band b for b = 15..47; on the Mic Equalizer, strip i = 0..14 whichever
// of the two sets it edits.
inline constexpr FlagRange kBands = After(kOutputSwitches, 48);
// Compressor k: Threshold, Attack, Release, Ratio at 4k .. 4k + 3.
inline constexpr FlagRange kCompressors = After(kBands, 6 * 4);
// Crossover filter k: frequency fader, family knob, order knob at 3k .. 3k + 2.
inline constexpr FlagRange kFilters = After(kCompressors, 11 * 3);
// Effect pages.
inline constexpr FlagRange kSubDecay = After(kFilters, 1);
inline constexpr FlagRange kEchoLevel = After(kSubDecay, 1);
inline constexpr FlagRange kEchoDelay = After(kEchoLevel, 1);
inline constexpr FlagRange kEchoRepeat = After(kEchoDelay, 1);
inline constexpr FlagRange kEchoPreDelay = After(kEchoRepeat, 1);
inline constexpr FlagRange kEchoDelayLr = After(kEchoPreDelay, 1);
inline constexpr FlagRange kEchoPreDelayLr = After(kEchoDelayLr, 1);
inline constexpr FlagRange kEchoDirect = After(kEchoPreDelayLr, 1);
inline constexpr FlagRange kRevLevel = After(kEchoDirect, 1);
inline constexpr FlagRange kRevTime = After(kRevLevel, 1);
inline constexpr FlagRange kRevPreDelay = After(kRevTime, 1);
// The reverb dialog's own flags.
inline constexpr FlagRange kDialogRevLevel = After(kRevPreDelay, 1);
inline constexpr FlagRange kDialogRevTime = After(kDialogRevLevel, 1);
inline constexpr FlagRange kDialogRevDamp = After(kDialogRevTime, 1);
inline constexpr FlagRange kDialogRevWet = After(kDialogRevDamp, 1);
inline constexpr FlagRange kDialogRevWidth = After(kDialogRevWet, 1);
inline constexpr FlagRange kDialogRevPreDelay = After(kDialogRevWidth, 1);
// Mic Equalizer.
inline constexpr FlagRange kMicPolarity = After(kDialogRevPreDelay, 2);
inline constexpr FlagRange kMicEqMode = After(kMicPolarity, 1);
// Pink-noise dialog.
inline constexpr FlagRange kPinkNoise = After(kMicEqMode, 1);

inline constexpr int kCount = kPinkNoise.first + kPinkNoise.count;

constexpr FlagRange Compressor(int k) {
  return kCompressors.sub(4 * k, 4);
}
constexpr FlagRange Filter(int k) {
  return kFilters.sub(3 * k, 3);
}
}  // namespace flag

class ChangeFlags {
 public:
  std::uint8_t& operator[](std::uint16_t id) { return bytes_[id]; }
  std::uint8_t operator[](std::uint16_t id) const { return bytes_[id]; }
  std::uint8_t* pointer(std::uint16_t id) { return &bytes_[id]; }

  void set(std::uint16_t id) { bytes_[id] = 1; }
  bool any(FlagRange r) const { return firstSet(r) >= 0; }
  bool anySet() const { return any(FlagRange{0, static_cast<std::uint16_t>(flag::kCount)}); }
  // Index within the range of the first set flag, or -1.
  int firstSet(FlagRange r) const {
    for (int i = 0; i < r.count; ++i)
      if (bytes_[r.at(i)] != 0) return i;
    return -1;
  }
  void clear(FlagRange r) {
    for (int i = 0; i < r.count; ++i) bytes_[r.at(i)] = 0;
  }

 private:
  std::array<std::uint8_t, flag::kCount> bytes_{};
};

}  // namespace kdsp::device
