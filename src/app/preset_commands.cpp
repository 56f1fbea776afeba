// The preset menu's commands.
#include "app/preset_commands.h"

#include "device/command_codes.h"
#include "device/event_loop_wait.h"
#include "settings/read_setting_file.h"
#include "settings/setting_file.h"

namespace kdsp::app {
namespace {

// The pause between two slots of the bulk store.
constexpr int kBulkStorePauseMs = 500;

}  // namespace

void PresetCommands::mSaveToFileClick() {
  const auto path =
      dialogs_.saveFile(settings::filter::kSaveSetting, settings::filter::kSettingSuffix);
  if (!path) return;
  if (const settings::WriteResult written = settings::WriteSettingFile(*path, working_); !written)
    dialogs_.showMessage(written.message);
}

void PresetCommands::N82Click(std::uint8_t slot) {
  link_.StoreBlockToDevice(slot);
}

void PresetCommands::N2Click() {
  const auto path = dialogs_.openFile(settings::filter::kOpenSetting);
  if (!path) return;
  settings::SettingFileReader reader{working_, dialogs_, refreshAll_, [this] {
                                       link_.StoreBlockToDevice(device::kWorkingSettingsSlot);
                                     }};
  reader.ReadSettingFile(*path, true);
}

void PresetCommands::N4Click(std::uint8_t slot) {
  link_.ReadBlockFromDevice(slot, 3);
}

void PresetCommands::N6Click() {
  if (!link_.state().connected) {
    dialogs_.showMessage(device::NotConnectedText(link_.state()));
    return;
  }
  dialogs_.setBusy(true);
  for (int i = 1; i <= 8; ++i) {
    // A file that cannot be used is skipped: its slot keeps what it has instead of receiving
    // whatever the working block held before.
    settings::SettingFileReader reader{working_, dialogs_, refreshAll_, {}};
    if (reader.ReadSettingFile(settings::NumberedSettingFilePath(i), false) !=
        settings::SettingFileStatus::kLoaded)
      continue;
    if (link_.StoreBlockToDevice(static_cast<std::uint8_t>(i)) != device::StoreResult::kStored)
      break;
    device::WaitMs(kBulkStorePauseMs);
  }
  dialogs_.setBusy(false);
}

}  // namespace kdsp::app
