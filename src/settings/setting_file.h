// SPDX-License-Identifier: GPL-3.0-or-later
// Setting files (".aex"): one parameter block on disk behind a 16-byte header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "settings/parameter_block.h"
#include "settings/safe_file_write.h"

namespace kdsp::settings {

struct SettingFileHeader {
  char name[9];  // "QM7_V1.0 ", no terminating zero; never compared on reading
  std::uint8_t fileType;
  std::uint8_t padding[2];
  std::uint32_t magic;  // little-endian, as the block's fields
};
static_assert(sizeof(SettingFileHeader) == 16);
static_assert(offsetof(SettingFileHeader, fileType) == 9);
static_assert(offsetof(SettingFileHeader, magic) == 12);

inline constexpr std::size_t kSettingFileHeaderSize = sizeof(SettingFileHeader);
inline constexpr std::size_t kSettingFileSize = kSettingFileHeaderSize + kBlockSize;
static_assert(kSettingFileSize == 724);
inline constexpr std::uint8_t kSettingFileType = 2;
inline constexpr std::uint32_t kSettingFileMagic = 0x11223357;

// The header every write puts in front of the block.
SettingFileHeader FreshSettingFileHeader();

// The 724 bytes of a setting file holding block; its checksum bytes are copied as they are.
std::array<std::uint8_t, kSettingFileSize> EncodeSettingFile(const ParameterBlock& block);

// Writes header and block to path through WriteFileSafely; on failure the old file is intact.
WriteResult WriteSettingFile(const std::filesystem::path& path, const ParameterBlock& block);

enum class SettingFileStatus {
  kLoaded,        // the block now holds the file's 708 bytes
  kCantRead,      // the file could not be opened or read
  kVersionError,  // the header's magic is wrong
  kWrongType,     // the header's file type is not 2; nothing is said to the user
  kTooShort,      // fewer than 724 bytes
};

struct SettingFileLoad {
  SettingFileStatus status = SettingFileStatus::kCantRead;
  std::string message;  // the text to show the user; empty when there is nothing to show
  // The file goes on past 724 bytes; only its first 724 were read.
  bool longerThanSettingFile = false;

  bool loaded() const { return status == SettingFileStatus::kLoaded; }
};

// Checks a file image and, only when it is a complete setting file, copies its block into
// target; in every other case target is left exactly as it was. Bytes beyond 724 are ignored,
// the checksum is neither checked nor recomputed. path only names the file in messages.
SettingFileLoad DecodeSettingFile(std::span<const std::uint8_t> image,
                                  const std::filesystem::path& path, ParameterBlock& target);

// Reads the setting file at path into target, as DecodeSettingFile, reading no more of it than
// a setting file holds (and one byte to tell a longer file). It only touches the block:
// refreshing the windows and offering the transfer to the processor belong to the caller.
SettingFileLoad LoadSettingFile(const std::filesystem::path& path, ParameterBlock& target);

// "settings/<d>.aex", relative to the current directory; the bulk store uses d = 1..8.
std::filesystem::path NumberedSettingFilePath(int d);

}  // namespace kdsp::settings
