// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the compressor controls show for their table indices, and the names of the
// positions of the block's selectors.
#pragma once

#include <array>
#include <string_view>

namespace kdsp::settings {

inline constexpr std::array<std::string_view, 7> kAttackTexts = {"1ms",  "2ms",  "5ms",  "10ms",
                                                                 "20ms", "50ms", "100ms"};
inline constexpr std::array<std::string_view, 5> kReleaseTexts = {" 2X", " 4X", " 8X", "16X",
                                                                  "32X"};
inline constexpr std::array<std::string_view, 12> kRatioTexts = {
    "1:1  ", "1:1.5", "1:2  ", "1:3  ", "1:4  ", "1:5  ",
    "1:6  ", "1:8  ", "1:10 ", "1:13 ", "1:16 ", "1:INF"};

inline constexpr std::array<std::string_view, 5> kMusicInputNames = {"BGM", "VOD", "DVD", "COX",
                                                                     "OPT"};
inline constexpr std::array<std::string_view, 3> kBandTypeNames = {"peaking", "low shelf",
                                                                   "high shelf"};
inline constexpr std::array<std::string_view, 3> kFilterFamilyNames = {"Butterworth", "Bessel",
                                                                       "Linkwitz-Riley"};
inline constexpr std::array<int, 4> kFilterOrderSlopes = {12, 18, 24, 48};  // dB per octave
inline constexpr std::array<std::string_view, 4> kOutputNames = {"main", "center", "subwoofer",
                                                                 "surround"};
inline constexpr std::array<std::string_view, 4> kSourceNames = {"music", "mic", "echo", "rev"};
inline constexpr std::array<std::string_view, 6> kDelayLineNames = {
    "main left", "main right", "center", "subwoofer", "surround left", "surround right"};

}  // namespace kdsp::settings
