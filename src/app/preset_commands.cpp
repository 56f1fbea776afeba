// SPDX-License-Identifier: GPL-3.0-or-later
// The preset menu's commands.
#include "app/preset_commands.h"

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "app/bulk_store.h"
#include "app/edit_recorder.h"
#include "core/composed_text.h"
#include "device/command_codes.h"
#include "device/event_loop_wait.h"
#include "device/link_timing.h"
#include "settings/read_setting_file.h"
#include "settings/setting_file.h"
#include "settings/step_names.h"

namespace kdsp::app {
namespace {

// The pause between two slots of the bulk store.
constexpr int kBulkStorePauseMs = 500;
constexpr int kFirstBulkSlot = 1;
constexpr int kLastBulkSlot = 8;
// A slot is read, not recalled, by the processor: its working settings stay its own.
constexpr std::uint8_t kSlotReadMode = 3;

// What a command does to the working settings, as one step of the edit history: named by the
// command, and with the place the settings came from once the command has brought them.
class CommandStep {
 public:
  CommandStep(EditRecorder* recorder, std::string name)
      : recorder_(recorder), name_(std::move(name)) {
    if (recorder_ != nullptr) recorder_->beginCommand();
  }
  ~CommandStep() {
    if (recorder_ != nullptr) recorder_->endCommand(std::move(name_), origin_);
  }
  CommandStep(const CommandStep&) = delete;
  CommandStep& operator=(const CommandStep&) = delete;

  void cameFrom(const settings::SettingsOrigin& origin) { origin_ = origin; }

 private:
  EditRecorder* recorder_;
  std::string name_;
  std::optional<settings::SettingsOrigin> origin_;
};

}  // namespace

void PresetCommands::mSaveToFileClick() {
  const auto path =
      dialogs_.saveFile(settings::filter::kSaveSetting, settings::filter::kSettingSuffix);
  if (!path) return;
  if (recorder_ != nullptr) recorder_->finishGesture();
  if (const settings::WriteResult written = settings::WriteSettingFile(*path, working_); !written)
    dialogs_.showMessage(written.message);
  else if (recorder_ != nullptr)
    recorder_->kept(settings::SettingsOrigin::File(*path));
}

void PresetCommands::N82Click(std::uint8_t slot) {
  if (recorder_ != nullptr) recorder_->finishGesture();
  const device::StoreResult stored = link_.StoreBlockToDevice(slot);
  if (recorder_ == nullptr) return;
  if (stored == device::StoreResult::kStored)
    recorder_->kept(settings::SettingsOrigin::Slot(slot));
  else  // the upload prepared the block all the same; that is no edit of the user's
    recorder_->adoptProgramChange();
}

void PresetCommands::N2Click() {
  const auto path = dialogs_.openFile(settings::filter::kOpenSetting);
  if (!path) return;
  CommandStep step(recorder_, core::FillIn(settings::step::kLoadFile,
                                           {std::filesystem::path(*path).filename().string()}));
  bool sent = false;
  const auto refresh = [this] {
    if (refreshAll_) refreshAll_();
    // Master levels held under the maxima travel with the block if it is sent, and not at all
    // if it is not: nothing goes to the processor behind the question.
    for (int i = 0; i < device::flag::kMasterFaders.count; ++i)
      link_.withdrawChange(device::flag::kMasterFaders.at(i));
  };
  settings::SettingFileReader reader{working_, dialogs_, refresh, [this, &sent] {
                                       sent = link_.StoreBlockToDevice(
                                                  device::kWorkingSettingsSlot) ==
                                              device::StoreResult::kStored;
                                     }};
  if (reader.ReadSettingFile(*path, true) != settings::SettingFileStatus::kLoaded) return;
  step.cameFrom(settings::SettingsOrigin::File(*path));
  if (recorder_ != nullptr) recorder_->setOnProcessor(sent);
}

void PresetCommands::N4Click(std::uint8_t slot) {
  if (recall(slot) == RecallOutcome::kNotAnswered) dialogs_.showMessage(kRecallNotAnswered);
}

RecallOutcome PresetCommands::recall(std::uint8_t slot) {
  CommandStep step(recorder_,
                   core::FillIn(settings::step::kRecallSlot, {settings::SlotStepName(slot)}));
  // The slot is read into a block of its own: one that is empty or fails its checksum (which
  // the link tells) leaves the windows and the processor as they are.
  if (!link_.ReadBlockFromDevice(slot, kSlotReadMode, device::ReadInto::kKeptBlock))
    return RecallOutcome::kNotConnected;  // the read said why in a message
  if (!link_.waitForReadComplete(readLimit_))
    return link_.state().connected ? RecallOutcome::kNotAnswered : RecallOutcome::kNotConnected;
  if (link_.lastReadResult() != device::BlockReadback::EndResult::kInstalled)
    return RecallOutcome::kNotInstalled;
  // Reading the slot only brings it into the windows; the processor plays it once it is its
  // working settings.
  working_ = link_.keptBlock();
  if (refreshAll_) refreshAll_();
  step.cameFrom(settings::SettingsOrigin::Slot(slot));
  const bool sent =
      link_.StoreBlockToDevice(device::kWorkingSettingsSlot) == device::StoreResult::kStored;
  if (recorder_ != nullptr) recorder_->setOnProcessor(sent);
  return RecallOutcome::kRecalled;
}

void PresetCommands::N6Click() {
  if (!link_.state().connected) {
    dialogs_.showMessage(device::NotConnectedText(link_.state()));
    return;
  }
  std::array<SlotFile, kLastBulkSlot - kFirstBulkSlot + 1> files;
  for (int slot = kFirstBulkSlot; slot <= kLastBulkSlot; ++slot)
    files[static_cast<std::size_t>(slot - kFirstBulkSlot)] = {
        slot, settings::NumberedSettingFilePath(slot)};
  dialogs_.setBusy(true);
  const BulkStoreReport report =
      StoreSettingFiles(link_, files, QT_TRANSLATE_NOOP("Messages", "Burn"),
                        [](int) { device::WaitMs(kBulkStorePauseMs); });
  dialogs_.setBusy(false);
  dialogs_.showMessage(report.text());
}

}  // namespace kdsp::app
