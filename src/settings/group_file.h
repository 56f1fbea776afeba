// SPDX-License-Identifier: GPL-3.0-or-later
// Group files: the setting file of each preset slot; and the group the program remembers.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "settings/safe_file_write.h"

namespace kdsp::settings {

inline constexpr int kGroupSlotCount = 9;

// Names of the processor's preset slots 0..8. The system panel lists a slot only while its
// flag is non-zero.
struct SlotName {
  std::string_view name;
  std::uint8_t flag;
};
inline constexpr std::array<SlotName, kGroupSlotCount> kSlotNames = {{
    {"START UP", 1},
    {"1", 1},
    {"2", 1},
    {"3", 1},
    {"4", 1},
    {"5", 1},
    {"6", 1},
    {"KARAOKE", 1},
    {"DISCO", 1},
}};

// The setting file path of each slot 0..8; empty when the slot has none.
using GroupFiles = std::array<std::string, kGroupSlotCount>;

inline constexpr std::string_view kGroupSection = "GroupSet";
inline constexpr std::string_view kConfigSection = "Config";
inline constexpr std::string_view kRememberedGroupKey = "groupini";

// "file0" .. "file8".
std::string GroupFileKey(int slot);

// The nine paths a group file's text names; each one missing from it is empty.
GroupFiles ParseGroupFile(std::string_view text);
// ParseGroupFile of the file's text; all empty for an empty path or a file that IniDocument
// reads as empty (missing, unreadable, oversized).
GroupFiles ReadGroupFile(const std::filesystem::path& path);
// The text of the group file at path with the nine keys set, keeping whatever else it holds;
// nothing, and the reason in problem, when a path cannot be stored.
struct GroupFileText {
  std::optional<std::string> text;
  WriteResult problem;
};
GroupFileText ComposeGroupFile(const std::filesystem::path& path, const GroupFiles& files);
// Writes the nine keys into the group file in one safe write, keeping whatever else it holds.
WriteResult WriteGroupFile(const std::filesystem::path& path, const GroupFiles& files);

// The program's own INI file: the executable's path with the extension ".ini".
std::filesystem::path ProgramIniPath(const std::filesystem::path& executable);
// The group file last opened, saved or created; empty when none is remembered.
std::string ReadRememberedGroup(const std::filesystem::path& iniPath);
WriteResult WriteRememberedGroup(const std::filesystem::path& iniPath, std::string_view groupPath);

// Where Upload All puts the setting file of a slot 0..8 ("<folder>/KARAOKE.aex") and the group
// file that lists them ("<folder>/Upload.set").
std::filesystem::path UploadSettingFilePath(const std::filesystem::path& folder, int slot);
std::filesystem::path UploadGroupFilePath(const std::filesystem::path& folder);

}  // namespace kdsp::settings
