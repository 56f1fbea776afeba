// SPDX-License-Identifier: GPL-3.0-or-later
// The popup menu of the Presets button: save and load (files and the processor's slots), the
// bulk store, the system control panel, the items the menu keeps hidden (pink noise, the
// spectrum, WiFi control, recording mix, reverb) and, last, the About box.
#pragma once

#include <QMenu>
#include <functional>
#include <optional>
#include <string>

#include "app/preset_commands.h"

namespace kdsp::app {

struct PresetMenuActions {
  std::function<void()> mAllSetClick;  // the system control panel
  std::function<void()> measureClick;  // the measurement analyser window
  std::function<void()> N7Click;       // pink-noise dialog
  std::function<void()> N8Click;       // recording-mix dialog
  std::function<void()> Rev1Click;     // reverb dialog
  std::function<void(bool)> pi1Click;  // spectrum analyser on or off
  std::function<void()> WiFi1Click;
  // Undo and redo of the working settings, the A/B switch and the copies between the two sides.
  std::function<void()> undoClick;
  std::function<void()> redoClick;
  std::function<void()> switchSideClick;
  std::function<void()> copyAToBClick;
  std::function<void()> copyBToAClick;
  // A new pairing code for the phone remote; every paired phone pairs again.
  std::function<void()> newRemoteCodeClick;
  std::function<void()> aboutClick;  // the About box
};

// What the edit items say: the steps that undo and redo would take, and the live side.
struct EditMenuState {
  std::optional<std::string> undoName;
  std::optional<std::string> redoName;
  int liveSide = 0;  // 0 = A, 1 = B
};

class PresetMenu : public QMenu {
 public:
  // serviceMenu shows the items the menu otherwise keeps hidden.
  PresetMenu(app::PresetCommands& commands, PresetMenuActions actions, bool serviceMenu,
             QWidget* parent = nullptr);

  QMenu* saveToDeviceMenu() const { return saveToDevice_; }
  QMenu* loadFromDeviceMenu() const { return loadFromDevice_; }
  QAction* item(const char* name) const;
  // Puts the Processor submenu after the Load submenu.
  void addProcessorMenu(QMenu* processors);
  // The phone remote's items are shown once the remote serves.
  void showRemoteItems(bool shown);
  // Names the steps in the Undo and Redo items (disabled when there is none) and the side the
  // switch goes to.
  void showEditState(const EditMenuState& state);

 private:
  QAction* addNamed(QMenu* menu, const char* name, const QString& caption, bool visible);
  void addEditItems();

  app::PresetCommands& commands_;
  PresetMenuActions actions_;
  QMenu* saveToDevice_ = nullptr;
  QMenu* loadFromDevice_ = nullptr;
  QMenu* load_ = nullptr;
};

}  // namespace kdsp::app
