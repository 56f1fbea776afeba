// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the head of a plain file without ever blocking on a pipe or a device.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace kdsp::settings {

// The first maxBytes bytes of the regular file at path (all of it when shorter); nullopt when
// it cannot be opened or read, or is not a regular file (a folder, a pipe, a device).
std::optional<std::string> ReadFileHead(const std::filesystem::path& path, std::size_t maxBytes);

}  // namespace kdsp::settings
