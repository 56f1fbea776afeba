// SPDX-License-Identifier: GPL-3.0-or-later
// The working settings as one value that can be kept, compared and restored: the parameter block
// and the values the controls hold beside it.
#pragma once

#include <cstddef>

#include "settings/control_values.h"
#include "settings/parameter_block.h"

namespace kdsp::settings {

struct EditState {
  ParameterBlock block;
  ControlValues values;

  friend bool operator==(const EditState&, const EditState&) = default;
};

// The number of bytes in which two blocks differ.
std::size_t DifferingBytes(const ParameterBlock& a, const ParameterBlock& b);

// More than half of the block differs: one whole block moves faster than a record per change.
bool MostOfBlockDiffers(const ParameterBlock& a, const ParameterBlock& b);

}  // namespace kdsp::settings
