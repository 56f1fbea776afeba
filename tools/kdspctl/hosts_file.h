// SPDX-License-Identifier: GPL-3.0-or-later
// The hosts file: the processors of a venue, one a line as "NAME tcp://HOST:PORT" or
// "NAME usb:PATH". "#" starts a comment; blank lines are skipped.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kdsp::tools {

struct HostsEntry {
  std::string name;
  std::string url;
  int line = 0;
};

// The entries of a hosts file's text; throws UsageError naming the line of the first fault
// (a line without an address or with more than one, a name that cannot be a folder's, a name
// given twice, an address kdspctl cannot connect to).
std::vector<HostsEntry> ParseHosts(std::string_view text);

// Reads and parses the file; throws UsageError headed by the file's name.
std::vector<HostsEntry> ReadHostsFile(const std::filesystem::path& path);

// Whether a name may name a processor and its folder: 1 to 64 letters, digits, '.', '_' or '-',
// not starting with '.'.
bool IsProcessorName(std::string_view name);
// Whether the character may stand in a processor's name.
bool IsNameCharacter(char c);

}  // namespace kdsp::tools
