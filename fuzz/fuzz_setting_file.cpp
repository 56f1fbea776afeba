// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the reading of setting files: any bytes either load completely or leave the block
// exactly as it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "settings/parameter_block.h"
#include "settings/setting_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kdsp::settings;
  ParameterBlock block{};
  const ParameterBlock before = block;
  const SettingFileLoad load =
      DecodeSettingFile(std::span<const std::uint8_t>(data, size), "fuzz.aex", block);
  if (load.loaded()) {
    // A loaded block is the file's block, and writing it again gives back the first 724 bytes
    // apart from the header's free bytes.
    if (size < kSettingFileSize) std::abort();
    const auto again = EncodeSettingFile(block);
    if (std::memcmp(again.data() + kSettingFileHeaderSize, data + kSettingFileHeaderSize,
                    kBlockSize) != 0)
      std::abort();
  } else if (!std::ranges::equal(block.bytes(), before.bytes())) {
    std::abort();
  }
  return 0;
}
