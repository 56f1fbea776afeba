// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes kdspctl decode on an arbitrary byte stream: every line it prints is one record or one
// drop, in printable characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "record_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text =
      kdsp::tools::DecodeRecordStream(std::span<const std::uint8_t>(data, size));
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) std::abort();
    const std::string_view line = rest.substr(0, end);
    if (!line.starts_with("record ") && !line.starts_with("dropped (")) std::abort();
    for (char c : line)
      if (c < 0x20 || c == 0x7F) std::abort();
    rest.remove_prefix(end + 1);
  }
  return 0;
}
