// The preset menu's commands: save the working block to a file, store it into a slot, load a
// file, recall a slot, store the eight numbered setting files into slots 1..8.
#pragma once

#include <cstdint>
#include <functional>

#include "device/device_link.h"
#include "settings/parameter_block.h"
#include "settings/user_dialogs.h"

namespace kdsp::app {

class PresetCommands {
 public:
  PresetCommands(device::DeviceLink& link, settings::ParameterBlock& working,
                 settings::UserDialogs& dialogs, std::function<void()> refreshAll)
      : link_(link), working_(working), dialogs_(dialogs), refreshAll_(std::move(refreshAll)) {}

  void mSaveToFileClick();
  void N82Click(std::uint8_t slot);  // store into a slot
  void N2Click();                    // load from a file, offering the transfer
  void N4Click(std::uint8_t slot);   // recall a slot
  void N6Click();                    // bulk store of settings/1.aex .. 8.aex

 private:
  device::DeviceLink& link_;
  settings::ParameterBlock& working_;
  settings::UserDialogs& dialogs_;
  std::function<void()> refreshAll_;
};

}  // namespace kdsp::app
