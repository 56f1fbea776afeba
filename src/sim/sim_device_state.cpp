// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor's initial state.
#include "sim/sim_device_state.h"

#include <cstring>

#include "device/block_transfer.h"
#include "device/page_rules.h"

namespace kdsp::sim {

const settings::ParameterBlock& ErasedBlock() {
  static const settings::ParameterBlock erased = [] {
    settings::ParameterBlock block;
    std::memset(&block, 0xFF, sizeof block);
    return block;
  }();
  return erased;
}

settings::ParameterBlock PreparedFactoryBlock() {
  settings::ParameterBlock block = settings::FactoryDefaults();
  device::PrepareBlockForUpload(block);
  return block;
}

DeviceState FreshDeviceState() {
  DeviceState state;
  const settings::ParameterBlock factory = PreparedFactoryBlock();
  for (int s = 0; s < kSlotCount; ++s)
    state.presetSlots[s] = s < kFilledSlotCount ? factory : ErasedBlock();
  state.working = factory;
  SeedEchoOffsets(state);
  return state;
}

void SeedEchoOffsets(DeviceState& state) {
  const device::EchoOffsets offsets = device::EchoOffsetsOf(state.working);
  state.echoDelayLr = offsets.delayLr;
  state.echoPreDelayLr = offsets.preDelayLr;
}

}  // namespace kdsp::sim
