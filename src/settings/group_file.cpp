// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing group files and the program's remembered group.
#include "settings/group_file.h"

#include "core/composed_text.h"
#include "settings/file_messages.h"
#include "settings/ini_file.h"

namespace kdsp::settings {
namespace fs = std::filesystem;

std::string GroupFileKey(int slot) {
  return "file" + std::to_string(slot);
}

GroupFiles ParseGroupFile(std::string_view text) {
  std::array<std::string, kGroupSlotCount> keys;
  for (int slot = 0; slot < kGroupSlotCount; ++slot) keys[slot] = GroupFileKey(slot);
  const auto values = IniDocument::Parse(text).FindEach(kGroupSection, keys);
  GroupFiles files;
  for (int slot = 0; slot < kGroupSlotCount; ++slot) files[slot] = values[slot].value_or("");
  return files;
}

GroupFiles ReadGroupFile(const fs::path& path) {
  if (path.empty()) return {};
  return ParseGroupFile(ReadIniText(path));
}

GroupFileText ComposeGroupFile(const fs::path& path, const GroupFiles& files) {
  IniDocument document = IniDocument::Read(path);
  for (int slot = 0; slot < kGroupSlotCount; ++slot) {
    if (!document.Set(kGroupSection, GroupFileKey(slot), files[slot])) {
      return {std::nullopt,
              WriteResult{false, core::FillIn(message::kCantWrite,
                                              {path.string(), message::kLineBreakNotStored})}};
    }
  }
  return {document.Serialize(), {}};
}

WriteResult WriteGroupFile(const fs::path& path, const GroupFiles& files) {
  const GroupFileText group = ComposeGroupFile(path, files);
  return group.text ? WriteFileSafely(path, *group.text) : group.problem;
}

fs::path ProgramIniPath(const fs::path& executable) {
  return fs::path(executable).replace_extension(".ini");
}

std::string ReadRememberedGroup(const fs::path& iniPath) {
  return IniDocument::Read(iniPath).Get(kConfigSection, kRememberedGroupKey);
}

WriteResult WriteRememberedGroup(const fs::path& iniPath, std::string_view groupPath) {
  IniDocument document = IniDocument::Read(iniPath);
  if (!document.Set(kConfigSection, kRememberedGroupKey, groupPath)) {
    return WriteResult{false, core::FillIn(message::kCantWrite,
                                           {iniPath.string(), message::kLineBreakNotRemembered})};
  }
  return document.Write(iniPath);
}

fs::path UploadSettingFilePath(const fs::path& folder, int slot) {
  return folder / (std::string(kSlotNames.at(static_cast<std::size_t>(slot)).name) + ".aex");
}

fs::path UploadGroupFilePath(const fs::path& folder) {
  return folder / "Upload.set";
}

}  // namespace kdsp::settings
