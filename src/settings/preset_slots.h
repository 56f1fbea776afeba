// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's preset slots as the preset menu lists them: the entry's index is the slot
// number sent to the processor.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/translatable.h"

namespace kdsp::settings {

struct PresetSlot {
  std::uint8_t visible;
  std::string_view caption;
};

inline constexpr std::array<PresetSlot, 12> kPresetSlots{{
    {1, KDSP_TRANSLATE_NOOP("PresetMenu", "START UP")},
    {1, "1"},
    {1, "2"},
    {1, "3"},
    {1, "4"},
    {1, "5"},
    {1, "6"},
    {1, KDSP_TRANSLATE_NOOP("PresetMenu", "KARAOKE")},
    {1, KDSP_TRANSLATE_NOOP("PresetMenu", "DISCO")},
    {1, KDSP_TRANSLATE_NOOP("PresetMenu", "FACTORY")},
    {0, " "},
    {0, " "},
}};

// The store submenu has places for slots 0..10 and never shows the factory slot; the recall
// submenu has places for slots 0..11.
inline constexpr int kStoreMenuPlaces = 11;
inline constexpr int kRecallMenuPlaces = 12;
inline constexpr int kFactorySlot = 9;

}  // namespace kdsp::settings
