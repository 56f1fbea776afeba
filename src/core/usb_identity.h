// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's identity on USB: the vendor and product numbers the program, the command-line
// tool, the simulated device and the udev rule all look for.
#pragma once

#include <cstdint>

namespace kdsp::core {

inline constexpr std::uint16_t kProcessorVendorId = 0x0483;
inline constexpr std::uint16_t kProcessorProductId = 0x0157;

// As the messages print it.
inline constexpr const char* kProcessorUsbIdText = "vendor 0x0483, product 0x0157";

}  // namespace kdsp::core
