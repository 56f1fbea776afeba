// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and checking setting files.
#include "settings/setting_file.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "core/composed_text.h"
#include "settings/file_messages.h"
#include "settings/file_read.h"

namespace kdsp::settings {
namespace fs = std::filesystem;
namespace {

constexpr char kHeaderName[] = "QM7_V1.0    ";
static_assert(sizeof(kHeaderName) > sizeof(SettingFileHeader::name));

SettingFileLoad Outcome(SettingFileStatus status, std::string message = {}) {
  return SettingFileLoad{status, std::move(message)};
}

SettingFileLoad CantRead(const fs::path& path) {
  return Outcome(SettingFileStatus::kCantRead, core::FillIn(message::kCantRead, {path.string()}));
}

}  // namespace

SettingFileHeader FreshSettingFileHeader() {
  SettingFileHeader header{};
  std::memcpy(header.name, kHeaderName, sizeof header.name);
  header.fileType = kSettingFileType;
  header.magic = kSettingFileMagic;
  return header;
}

std::array<std::uint8_t, kSettingFileSize> EncodeSettingFile(const ParameterBlock& block) {
  std::array<std::uint8_t, kSettingFileSize> image{};
  const SettingFileHeader header = FreshSettingFileHeader();
  std::memcpy(image.data(), &header, kSettingFileHeaderSize);
  std::ranges::copy(block.bytes(), image.begin() + kSettingFileHeaderSize);
  return image;
}

WriteResult WriteSettingFile(const fs::path& path, const ParameterBlock& block) {
  const auto image = EncodeSettingFile(block);
  return WriteFileSafely(path, std::span<const std::uint8_t>(image));
}

SettingFileLoad DecodeSettingFile(std::span<const std::uint8_t> image, const fs::path& path,
                                  ParameterBlock& target) {
  // Without a whole header there is nothing to check; the file is short.
  if (image.size() >= kSettingFileHeaderSize) {
    SettingFileHeader header;
    std::memcpy(&header, image.data(), kSettingFileHeaderSize);
    if (header.magic != kSettingFileMagic) {
      return Outcome(SettingFileStatus::kVersionError, "File Version error!");
    }
    if (header.fileType != kSettingFileType) return Outcome(SettingFileStatus::kWrongType);
  }
  // A short file would replace only the start of the block and leave a mixture of two presets.
  if (image.size() < kSettingFileSize) {
    return Outcome(
        SettingFileStatus::kTooShort,
        core::FillIn(message::kSettingFileTooShort, {path.string(), std::to_string(image.size()),
                                                     std::to_string(kSettingFileSize)}));
  }
  std::ranges::copy(image.subspan(kSettingFileHeaderSize, kBlockSize), target.bytes().begin());
  return Outcome(SettingFileStatus::kLoaded);
}

SettingFileLoad LoadSettingFile(const fs::path& path, ParameterBlock& target) {
  const std::optional<std::string> image = ReadFileHead(path, kSettingFileSize + 1);
  if (!image) return CantRead(path);
  const std::span bytes(reinterpret_cast<const std::uint8_t*>(image->data()), image->size());
  SettingFileLoad load = DecodeSettingFile(bytes, path, target);
  load.longerThanSettingFile = bytes.size() > kSettingFileSize;
  return load;
}

fs::path NumberedSettingFilePath(int d) {
  return fs::path("settings") / (std::to_string(d) + ".aex");
}

}  // namespace kdsp::settings
