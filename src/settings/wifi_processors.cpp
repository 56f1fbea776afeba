// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/wifi_processors.h"

#include "core/whole_number.h"
#include "settings/ini_file.h"
#include "settings/text_pieces.h"

namespace kdsp::settings {

std::optional<HostPort> ParseHostPort(std::string_view text) {
  text = TrimBlanks(text);
  constexpr std::string_view kTcp = "tcp://";
  if (text.starts_with(kTcp)) text.remove_prefix(kTcp.size());
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  std::string_view host = text.substr(0, colon);
  // An IPv6 address stands in brackets, so that its colons are not taken for the port's.
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    return std::nullopt;
  }
  if (host.find_first_of(" \t/[]") != std::string_view::npos) return std::nullopt;
  const core::WholeNumber port = core::ReadWholeNumber(text.substr(colon + 1), 1, 65535);
  if (!port) return std::nullopt;
  return HostPort{std::string(host), static_cast<int>(port.value)};
}

std::string HostPortText(const HostPort& address) {
  const bool v6 = address.host.find(':') != std::string::npos;
  return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

std::vector<WifiProcessor> ReadWifiProcessors(const std::filesystem::path& ini) {
  std::vector<WifiProcessor> processors;
  for (auto& [name, value] : IniDocument::Read(ini).Entries(kWifiProcessorsSection)) {
    if (const std::optional<HostPort> address = ParseHostPort(value))
      processors.push_back({std::move(name), *address});
  }
  return processors;
}

WriteResult AddWifiProcessor(const std::filesystem::path& ini, const WifiProcessor& processor) {
  IniDocument document = IniDocument::Read(ini);
  if (!document.Set(kWifiProcessorsSection, processor.name, HostPortText(processor.address)))
    return {false, std::string(message::kBadProcessorName)};
  return document.Write(ini);
}

WriteResult ForgetWifiProcessor(const std::filesystem::path& ini, std::string_view name) {
  IniDocument document = IniDocument::Read(ini);
  if (!document.Remove(kWifiProcessorsSection, name)) return {true, {}};
  return document.Write(ini);
}

}  // namespace kdsp::settings
