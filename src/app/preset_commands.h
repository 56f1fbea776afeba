// SPDX-License-Identifier: GPL-3.0-or-later
// The preset menu's commands: save the working block to a file, store it into a slot, load a
// file, recall a slot, store the eight numbered setting files into slots 1..8.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

#include "core/translatable.h"
#include "device/device_link.h"
#include "device/link_timing.h"
#include "settings/parameter_block.h"
#include "settings/user_dialogs.h"

namespace kdsp::app {

class EditRecorder;

// What a recall tells the user when the slot's block does not come.
inline constexpr std::string_view kRecallNotAnswered = KDSP_TRANSLATE_NOOP(
    "Messages", "The processor did not send the slot's settings in time. Nothing was changed.");

// How a recall ended.
enum class RecallOutcome {
  kRecalled,      // the slot's settings arrived and the processor plays them
  kNotConnected,  // no processor to ask
  kNotAnswered,   // the processor did not send the slot in time; nothing changed
  // The slot came incomplete, empty or failing its checksum, which the link has told; nothing
  // changed.
  kNotInstalled,
};

class PresetCommands {
 public:
  PresetCommands(device::DeviceLink& link, settings::ParameterBlock& working,
                 settings::UserDialogs& dialogs, std::function<void()> refreshAll)
      : link_(link), working_(working), dialogs_(dialogs), refreshAll_(std::move(refreshAll)) {}

  void mSaveToFileClick();
  void N82Click(std::uint8_t slot);  // store into a slot
  void N2Click();                    // load from a file, offering the transfer
  // Recalls a slot: reads it into the working block and, once it has come, makes it the
  // processor's working settings, so the processor plays what the windows show.
  void N4Click(std::uint8_t slot);
  // The recall without its message: for callers that tell their own user (the phone remote).
  RecallOutcome recall(std::uint8_t slot);
  // Bulk store of settings/1.aex .. 8.aex, ending with one summary message.
  void N6Click();

  // Told of every change of the working settings a command makes, and of where they are kept.
  void setRecorder(EditRecorder* recorder) { recorder_ = recorder; }

  // How long a recall waits for the slot's block.
  void setReadLimit(std::chrono::milliseconds limit) { readLimit_ = limit; }

 private:
  device::DeviceLink& link_;
  settings::ParameterBlock& working_;
  settings::UserDialogs& dialogs_;
  std::function<void()> refreshAll_;
  std::chrono::milliseconds readLimit_ = device::kReadBackLimit;
  EditRecorder* recorder_ = nullptr;
};

}  // namespace kdsp::app
