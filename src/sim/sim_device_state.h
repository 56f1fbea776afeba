// SPDX-License-Identifier: GPL-3.0-or-later
// What the simulated processor keeps: its preset slots, its working settings and the few
// device-wide values the status reply reports.
#pragma once

#include <array>
#include <cstdint>

#include "settings/parameter_block.h"

namespace kdsp::sim {

inline constexpr int kSlotCount = 12;
// Slots 0..9 come filled with the factory preset; 10 and 11 start empty.
inline constexpr int kFilledSlotCount = 10;
inline constexpr std::uint8_t kInitialMaxVolume = 55;

struct DeviceState {
  std::array<settings::ParameterBlock, kSlotCount> presetSlots{};
  settings::ParameterBlock working{};
  std::uint8_t musicMaxVolume = kInitialMaxVolume;
  std::uint8_t micMaxVolume = kInitialMaxVolume;
  std::uint8_t micEqMode = 0;  // 0..2
  std::uint8_t pinkNoiseMask = 0;
  bool unlocked = true;
  std::uint16_t password = 0;
  // The Echo page's left/right offsets as last sent. The page derives the second echo side from
  // them whenever the first side changes but sends only the first side's value then, so the
  // processor has to remember them to keep its second side where the program has it.
  int echoDelayLr = 0;
  int echoPreDelayLr = 0;
};

// A slot that was never written: all bytes 0xFF, which fails the block checksum.
const settings::ParameterBlock& ErasedBlock();
// The factory defaults as an upload would carry them, checksum included.
settings::ParameterBlock PreparedFactoryBlock();
// Slots 0..9 and the working settings hold the prepared factory block, slots 10 and 11 are
// erased, both maximum volumes 55, mic EQ mode 0, panel unlocked, password 0.
DeviceState FreshDeviceState();

// Takes the Echo page's offsets from the working block, as the page reads them on a refresh.
void SeedEchoOffsets(DeviceState& state);

}  // namespace kdsp::sim
