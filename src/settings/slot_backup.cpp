// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the nine slots' backup as one set of files.
#include "settings/slot_backup.h"

#include "settings/setting_file.h"

namespace kdsp::settings {
namespace fs = std::filesystem;

SlotBackupResult WriteSlotBackup(const fs::path& folder, const SlotBlocks& blocks) {
  SlotBackupResult result;
  FileSetWriter writer;
  GroupFiles files;
  for (int slot = 0; slot < kGroupSlotCount; ++slot) {
    const fs::path path = UploadSettingFilePath(folder, slot);
    const auto image = EncodeSettingFile(blocks[static_cast<std::size_t>(slot)]);
    result.written = writer.stage(path, std::span<const std::uint8_t>(image));
    if (!result.written) return result;
    files[static_cast<std::size_t>(slot)] = fs::absolute(path).string();
  }
  const fs::path groupPath = UploadGroupFilePath(folder);
  const GroupFileText group = ComposeGroupFile(groupPath, files);
  result.written = group.text ? writer.stage(groupPath, *group.text) : group.problem;
  if (!result.written) return result;
  result.written = writer.commit();
  if (!result.written) return result;
  result.files = files;
  result.groupFile = groupPath;
  return result;
}

}  // namespace kdsp::settings
