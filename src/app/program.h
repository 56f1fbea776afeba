// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a whole: the main window first, then the pages and the four dialogs, hidden
// until opened, and the Presets menu that reaches them. Nothing is saved at exit.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/chart_commands.h"
#include "app/edit_recorder.h"
#include "app/main_window.h"
#include "app/phone_remote.h"
#include "app/preset_commands.h"
#include "app/preset_menu.h"
#include "app/processor_choice.h"
#include "app/processor_menu.h"
#include "app/remote_control.h"
#include "device/hid_device_controller.h"
#include "device/hid_platform.h"
#include "settings/user_dialogs.h"

namespace kdsp::pages {
class EffectPage;
class MeasurementWindow;
class SpectrumAnalyser;
class TForm12;
class TForm13;
class TForm14;
}  // namespace kdsp::pages

namespace kdsp::app {

class TForm11;

class Program {
 public:
  Program(device::HidPlatform& platform, settings::UserDialogs& dialogs,
          std::filesystem::path programIni, bool serviceMenu);
  ~Program();

  TForm1& mainWindow() { return *main_; }
  PresetMenu& menu() { return *menu_; }
  TForm11& systemPanel() { return *panel_; }
  pages::TForm12& pinkNoise() { return *pinkNoise_; }
  pages::TForm13& recordingMix() { return *recordingMix_; }
  pages::TForm14& reverb() { return *reverb_; }
  pages::SpectrumAnalyser& analyser() { return *analyser_; }
  pages::MeasurementWindow& measurement() { return *measurement_; }
  EditRecorder& edits() { return *edits_; }
  ProcessorChoice& processorChoice() { return *processorChoice_; }
  ProcessorMenu& processorMenu() { return *processorMenu_; }
  // The effect pages in page-open slot order.
  pages::EffectPage& page(settings::PageId id) { return *pages_[static_cast<int>(id)]; }
  // The windows in the order they were created.
  const std::vector<QWidget*>& creationOrder() const { return created_; }

  // The program INI: Config/groupini, under the user's configuration folder.
  static std::filesystem::path DefaultProgramIni();

  // Serves the phone remote: prints its line and shows it on the main window. False, with error
  // set, when the address cannot be taken; the remote stays off.
  bool startRemote(const remote::ListenAddress& address, QString& error);
  // The phone remote while it serves; null while it is off.
  PhoneRemote* remote() { return remote_.get(); }
  RemoteControl* remoteControl() { return remoteControl_.get(); }

 private:
  // The edit items of the menu and the main window's settings status follow the session.
  void showEditState();

  device::HidDeviceController hid_;
  settings::UserDialogs& dialogs_;
  std::filesystem::path programIni_;
  std::unique_ptr<TForm1> main_;
  std::unique_ptr<app::PresetCommands> commands_;
  std::array<std::unique_ptr<pages::EffectPage>, settings::kPageCount> pages_;
  std::array<std::function<void()>, settings::kPageCount> repaintHooks_;
  std::unique_ptr<pages::SpectrumAnalyser> analyser_;
  std::unique_ptr<TForm11> panel_;
  std::unique_ptr<pages::TForm12> pinkNoise_;
  std::unique_ptr<pages::TForm13> recordingMix_;
  std::unique_ptr<pages::TForm14> reverb_;
  std::unique_ptr<pages::MeasurementWindow> measurement_;
  std::unique_ptr<PresetMenu> menu_;
  std::unique_ptr<ProcessorChoice> processorChoice_;
  std::unique_ptr<ProcessorMenu> processorMenu_;
  std::unique_ptr<EditRecorder> edits_;
  std::array<std::unique_ptr<ChartCommands>, settings::kPageCount> chartCommands_;
  std::vector<QWidget*> created_;
  std::unique_ptr<RemoteControl> remoteControl_;
  std::unique_ptr<PhoneRemote> remote_;
};

}  // namespace kdsp::app
