// SPDX-License-Identifier: GPL-3.0-or-later
// How the simulated processor takes the single-parameter commands and the panel-lock commands
// into its state.
#pragma once

#include <cstdint>
#include <span>

#include "sim/sim_device_state.h"

namespace kdsp::sim {

enum class ApplyResult {
  kApplied,        // the state changed as the command says
  kIgnored,        // a known command whose payload has the wrong length or an index out of range
  kNotAParameter,  // not a single-parameter or panel-lock command
};

// Applies one received record. Every row of the program's outgoing command table is read back
// exactly as that table builds it (the table is the one source of the payload layouts), so the
// working block ends up byte for byte as the program holds it. The working block's checksum is
// kept current, so a read-back of the working settings always passes.
ApplyResult ApplyParameterCommand(DeviceState& state, std::uint8_t code,
                                  std::span<const std::uint8_t> payload);

}  // namespace kdsp::sim
