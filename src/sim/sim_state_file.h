// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's state file: its slots, working settings, maximum volumes, mic EQ mode and
// panel lock, kept across runs as readable text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "sim/sim_device_state.h"

namespace kdsp::sim {

// The text of a state file. Blocks are written as 1416 uppercase hex digits, one line each.
std::string EncodeStateFile(const DeviceState& state);

// Reads the text of a state file. Every key must be present exactly once; on any fault the
// error names the line and out is left untouched. The Echo page's offsets are not kept: they
// are taken from the working block again.
bool DecodeStateFile(std::string_view text, DeviceState& out, std::string* error);

// Reads and writes the file itself; the write goes aside and is renamed into place.
bool ReadStateFile(const std::filesystem::path& path, DeviceState& out, std::string* error);
bool WriteStateFile(const std::filesystem::path& path, const DeviceState& state,
                    std::string* error);

}  // namespace kdsp::sim
