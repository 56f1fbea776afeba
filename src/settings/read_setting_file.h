// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a setting file into the working block as the program does it: the user is told why a
// file cannot be used, every window is refreshed from the new block, and on request the block
// is offered for transfer into the processor's working settings.
#pragma once

#include <filesystem>
#include <functional>

#include "core/user_prompts.h"
#include "settings/parameter_block.h"
#include "settings/setting_file.h"

namespace kdsp::settings {

struct SettingFileReader {
  ParameterBlock& working;
  core::UserPrompts& prompts;
  std::function<void()> refreshAll;  // reloads the main window and all eight pages
  // Stores the working block into the processor's working settings.
  std::function<void()> transferToDevice;

  // Loads the file; with askTransfer, asks "Transfer data to device?" and on Yes stores the
  // block into the processor's working settings.
  SettingFileStatus ReadSettingFile(const std::filesystem::path& path, bool askTransfer);
};

}  // namespace kdsp::settings
