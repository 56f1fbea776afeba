// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the hosts file.
#include "hosts_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "cli_support.h"
#include "command_output.h"
#include "connect_url.h"

namespace kdsp::tools {
namespace {

constexpr std::size_t kLongestName = 64;
constexpr std::string_view kLineForm = "NAME tcp://HOST:PORT or NAME usb:PATH";

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  constexpr std::string_view kSpace = " \t\r";
  while (true) {
    const std::size_t start = line.find_first_not_of(kSpace);
    if (start == std::string_view::npos) break;
    line.remove_prefix(start);
    const std::size_t end = std::min(line.find_first_of(kSpace), line.size());
    words.push_back(line.substr(0, end));
    line.remove_prefix(end);
  }
  return words;
}

// The forms of address a hosts file takes; ParseConnectUrl then checks the port.
bool IsProcessorAddress(std::string_view url) {
  constexpr std::string_view kTcp = "tcp://", kUsb = "usb:";
  if (url.starts_with(kTcp)) {
    const std::size_t colon = url.rfind(':');
    return colon > kTcp.size() && colon + 1 < url.size();
  }
  return (url.starts_with(kUsb) && url.size() > kUsb.size()) || url == "usb" || url == "sim";
}

}  // namespace

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == '-';
}

bool IsProcessorName(std::string_view name) {
  if (name.empty() || name.size() > kLongestName || name.front() == '.') return false;
  return std::all_of(name.begin(), name.end(), IsNameCharacter);
}

std::vector<HostsEntry> ParseHosts(std::string_view text) {
  std::vector<HostsEntry> entries;
  std::map<std::string, int, std::less<>> firstLine;
  int number = 0;
  for (const std::string& whole : SplitLines(text)) {
    ++number;
    const std::string_view line = std::string_view(whole).substr(0, whole.find('#'));
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) continue;
    const auto fault = [number](const std::string& what) {
      return UsageError("line " + std::to_string(number) + ": " + what);
    };
    const std::string name(words[0]);
    if (words.size() == 1) throw fault(name + " has no address: " + std::string(kLineForm));
    if (words.size() > 2)
      throw fault("'" + std::string(words[2]) +
                  "' is one word too many: " + std::string(kLineForm));
    if (!IsProcessorName(name))
      throw fault("the name '" + name +
                  "' may hold only letters, digits, '.', '_' and '-' (not first), at most " +
                  std::to_string(kLongestName));
    if (const auto it = firstLine.find(name); it != firstLine.end())
      throw fault(name + " is named twice (first on line " + std::to_string(it->second) + ")");
    const std::string url(words[1]);
    if (!IsProcessorAddress(url))
      throw fault("'" + url + "' is no processor address: " + std::string(kLineForm));
    try {
      ParseConnectUrl(url);
    } catch (const UsageError& e) {
      throw fault(e.what());
    }
    firstLine.emplace(name, number);
    entries.push_back({name, url, number});
  }
  return entries;
}

std::vector<HostsEntry> ReadHostsFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError("cannot read the hosts file " + path.string());
  const std::string text(std::istreambuf_iterator<char>(in), {});
  try {
    std::vector<HostsEntry> entries = ParseHosts(text);
    if (entries.empty()) throw UsageError("it names no processor");
    return entries;
  } catch (const UsageError& e) {
    throw UsageError(path.string() + ": " + e.what());
  }
}

}  // namespace kdsp::tools
