// SPDX-License-Identifier: GPL-3.0-or-later
// The Presets menu's Processor submenu: the processors on USB by path and serial number, the
// WiFi processors the user has named, each checked when it is the one the windows control, and
// the items that add and forget named WiFi processors. It is filled afresh each time it opens.
#pragma once

#include <QMenu>

#include "app/processor_choice.h"
#include "core/user_prompts.h"

namespace kdsp::app {

class ProcessorMenu : public QMenu {
 public:
  ProcessorMenu(ProcessorChoice& choice, core::UserPrompts& prompts, QWidget* parent = nullptr);

  // Brings the items up to date; opening the menu does it too.
  void refresh();

 private:
  void addUsbItems(const ProcessorChoice::Current& current);
  void addWifiItems(const ProcessorChoice::Current& current);
  // Asks for a name and an address, and keeps the processor under the name.
  void askForWifiProcessor();

  ProcessorChoice& choice_;
  core::UserPrompts& prompts_;
  QMenu* forget_ = nullptr;
};

}  // namespace kdsp::app
