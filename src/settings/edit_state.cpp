// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing two sets of working settings byte by byte.
#include "settings/edit_state.h"

namespace kdsp::settings {

std::size_t DifferingBytes(const ParameterBlock& a, const ParameterBlock& b) {
  const auto x = a.bytes();
  const auto y = b.bytes();
  std::size_t count = 0;
  for (std::size_t i = 0; i < kBlockSize; ++i) count += x[i] != y[i] ? 1 : 0;
  return count;
}

bool MostOfBlockDiffers(const ParameterBlock& a, const ParameterBlock& b) {
  return DifferingBytes(a, b) > kBlockSize / 2;
}

}  // namespace kdsp::settings
