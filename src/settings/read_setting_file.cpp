// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a setting file into the working block.
#include "settings/read_setting_file.h"

#include "core/translatable.h"

namespace kdsp::settings {

SettingFileStatus SettingFileReader::ReadSettingFile(const std::filesystem::path& path,
                                                     bool askTransfer) {
  const SettingFileLoad load = LoadSettingFile(path, working);
  if (!load.loaded()) {
    if (!load.message.empty()) prompts.showMessage(load.message);
    return load.status;
  }
  if (refreshAll) refreshAll();
  if (askTransfer &&
      prompts.askYesNo(KDSP_TRANSLATE_NOOP("Messages", "Sync"),
                       KDSP_TRANSLATE_NOOP("Messages", "Transfer data to device?")) &&
      transferToDevice)
    transferToDevice();
  return load.status;
}

}  // namespace kdsp::settings
