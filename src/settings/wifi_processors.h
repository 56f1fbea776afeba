// SPDX-License-Identifier: GPL-3.0-or-later
// The processors the user reaches through their WiFi modules, each under a name of the user's
// choosing, kept in the program's INI file as "[WiFi Processors]" lines "NAME=HOST:PORT".
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/translatable.h"
#include "settings/safe_file_write.h"

namespace kdsp::settings {

inline constexpr std::string_view kWifiProcessorsSection = "WiFi Processors";

struct HostPort {
  std::string host;
  int port = 0;
  bool operator==(const HostPort&) const = default;
};

struct WifiProcessor {
  std::string name;
  HostPort address;
};

// "HOST:PORT" or "tcp://HOST:PORT", blanks around it allowed, the port 1..65535; nothing for
// anything else.
std::optional<HostPort> ParseHostPort(std::string_view text);
// "HOST:PORT".
std::string HostPortText(const HostPort& address);

// The processors in the file's order; a line whose address does not read is left out.
std::vector<WifiProcessor> ReadWifiProcessors(const std::filesystem::path& ini);
// Adds the processor, or gives a processor of that name (in any letter case) the new address.
// Fails, writing nothing, for a name the file cannot hold (empty, with "=", a line break, or
// starting with "[" or ";").
WriteResult AddWifiProcessor(const std::filesystem::path& ini, const WifiProcessor& processor);
// Removes the processor of that name; a name not in the file changes nothing.
WriteResult ForgetWifiProcessor(const std::filesystem::path& ini, std::string_view name);

namespace message {
inline constexpr std::string_view kBadProcessorName = KDSP_TRANSLATE_NOOP(
    "Messages",
    "A processor's name cannot be empty, hold \"=\" or a line break, or start with \"[\" or "
    "\";\".");
}  // namespace message

}  // namespace kdsp::settings
