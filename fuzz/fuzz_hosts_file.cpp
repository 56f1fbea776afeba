// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes kdspctl's hosts file: any text either is refused with a usage error or gives entries
// whose names may name a folder, each once, in line order, with addresses kdspctl can connect
// to; the entries written out again one a line read back as the same entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli_support.h"
#include "connect_url.h"
#include "hosts_file.h"

namespace {

using kdsp::tools::HostsEntry;

void Check(bool ok) {
  if (!ok) std::abort();
}

// The entries, or nothing when the text is refused.
std::optional<std::vector<HostsEntry>> Parse(std::string_view text) {
  try {
    return kdsp::tools::ParseHosts(text);
  } catch (const kdsp::tools::UsageError&) {
    return std::nullopt;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto entries = Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!entries) return 0;
  std::set<std::string> names;
  std::string written;
  int line = 0;
  for (const HostsEntry& e : *entries) {
    Check(kdsp::tools::IsProcessorName(e.name));
    Check(names.insert(e.name).second);
    Check(e.line > line);
    line = e.line;
    kdsp::tools::ParseConnectUrl(e.url);  // a UsageError here ends the run as a finding
    written += e.name + " " + e.url + "\n";
  }
  const auto again = Parse(written);
  Check(again.has_value() && again->size() == entries->size());
  for (std::size_t i = 0; i < entries->size(); ++i) {
    Check((*again)[i].name == (*entries)[i].name && (*again)[i].url == (*entries)[i].url);
    Check((*again)[i].line == static_cast<int>(i) + 1);
  }
  return 0;
}
