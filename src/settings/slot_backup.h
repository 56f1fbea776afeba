// SPDX-License-Identifier: GPL-3.0-or-later
// The backup of the processor's nine preset slots in a folder: a setting file per slot, named
// after the slot, and the group file "Upload.set" that lists them.
#pragma once

#include <array>
#include <filesystem>

#include "settings/group_file.h"
#include "settings/parameter_block.h"
#include "settings/safe_file_write.h"

namespace kdsp::settings {

using SlotBlocks = std::array<ParameterBlock, kGroupSlotCount>;

struct SlotBackupResult {
  WriteResult written;
  GroupFiles files;                 // the setting file of each slot, when written
  std::filesystem::path groupFile;  // the group file, when written
};

// Writes the ten files as one set (FileSetWriter): when any of them cannot be written, none
// replaces a file of an earlier backup in the folder, and no new file is left behind.
SlotBackupResult WriteSlotBackup(const std::filesystem::path& folder, const SlotBlocks& blocks);

}  // namespace kdsp::settings
