// SPDX-License-Identifier: GPL-3.0-or-later
// Where the processor's WiFi module is found on the network it opens itself.
#pragma once

namespace kdsp::device {

// The module's own address on its access-point network: the factory default of the common
// serial-to-WiFi bridge modules, which serve their access point from this address.
inline constexpr const char* kDefaultModuleAddress = "10.10.100.254";

// The TCP port on which the module bridges to the processor's record stream.
inline constexpr int kModulePort = 8899;

}  // namespace kdsp::device
