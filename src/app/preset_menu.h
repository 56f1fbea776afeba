// The popup menu of the Presets button: save and load (files and the processor's slots), the
// bulk store, the system control panel, and the items the menu keeps hidden (pink noise, the
// spectrum, WiFi control, recording mix, reverb).
#pragma once

#include <QMenu>
#include <functional>

#include "app/preset_commands.h"

namespace kdsp::app {

struct PresetMenuActions {
  std::function<void()> mAllSetClick;  // the system control panel
  std::function<void()> N7Click;       // pink-noise dialog
  std::function<void()> N8Click;       // recording-mix dialog
  std::function<void()> Rev1Click;     // reverb dialog
  std::function<void(bool)> pi1Click;  // spectrum analyser on or off
  std::function<void()> WiFi1Click;
};

class PresetMenu : public QMenu {
 public:
  // serviceMenu shows the items the menu otherwise keeps hidden.
  PresetMenu(app::PresetCommands& commands, PresetMenuActions actions, bool serviceMenu,
             QWidget* parent = nullptr);

  QMenu* saveToDeviceMenu() const { return saveToDevice_; }
  QMenu* loadFromDeviceMenu() const { return loadFromDevice_; }
  QAction* item(const char* name) const;

 private:
  QAction* addNamed(QMenu* menu, const char* name, const QString& caption, bool visible);

  app::PresetCommands& commands_;
  PresetMenuActions actions_;
  QMenu* saveToDevice_ = nullptr;
  QMenu* loadFromDevice_ = nullptr;
};

}  // namespace kdsp::app
