// SPDX-License-Identifier: GPL-3.0-or-later
// The system control panel: the group of nine setting files, their transfer to and from the
// processor's preset slots in one go, the two maximum volumes and the front-panel lock.
#pragma once

#include <QDialog>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/translatable.h"
#include "device/device_link.h"
#include "device/link_timing.h"
#include "settings/group_file.h"
#include "settings/user_dialogs.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QShowEvent;
class QTableWidget;

namespace kdsp::app {

// The panel's fixed message texts.
namespace panel_message {
inline constexpr std::string_view kSelectOneItem =
    KDSP_TRANSLATE_NOOP("Messages", "Please select one item to modify!");
inline constexpr std::string_view kNoDeviceConnecting =
    KDSP_TRANSLATE_NOOP("Messages", "No device connecting!");
inline constexpr std::string_view kDownloadDone = KDSP_TRANSLATE_NOOP("Messages", "Download Done!");
inline constexpr std::string_view kFinish = KDSP_TRANSLATE_NOOP("Messages", "Finish!");
inline constexpr std::string_view kPasswordError =
    KDSP_TRANSLATE_NOOP("Messages", "Password Error!");
inline constexpr std::string_view kPasswordTooLarge =
    KDSP_TRANSLATE_NOOP("Messages", "Password can't large than 999");
inline constexpr std::string_view kChooseUploadFolder =
    KDSP_TRANSLATE_NOOP("Messages", "Please select a folder to save all setting");
}  // namespace panel_message

class TForm11 : public QDialog {
  Q_OBJECT

 public:
  // setMainMaxVolumeText writes a maximum volume as "%d" into the main window's music (true)
  // or microphone (false) box. The remembered group is loaded here.
  // The transfers leave the working block alone: a setting file goes into its slot through a
  // block of its own, and a slot read for the backup is read aside.
  TForm11(device::DeviceLink& link, settings::UserDialogs& dialogs,
          std::filesystem::path programIni,
          std::function<void(bool music, int value)> setMainMaxVolumeText,
          QWidget* parent = nullptr);

  // Opened from the main window's menu: the current maxima go into Edit1 and Edit2, then the
  // panel runs modally until it is closed.
  int showFromMainWindow();

  // Fills the group from a group file (all empty for an empty path) and rebuilds the list.
  void loadGroup(const std::string& path);
  void refreshList();
  const settings::GroupFiles& groupFiles() const { return groupFiles_; }

  void Button1Click();  // Open Config
  void Button2Click();  // Save Config
  void Button3Click();  // Modify
  void Button4Click();  // Delete
  void Button5Click();  // Download All To Device
  void Button6Click();  // Upload All From Device
  void Button7Click();  // Lock / unlock the front panel
  void Button8Click();  // Change Password
  void Edit1Change();   // music maximum volume
  void Edit2Change();   // microphone maximum volume

  // How long Upload All waits for each slot's block before it gives up.
  void setReadLimit(std::chrono::milliseconds limit) { readLimit_ = limit; }

  // The components, named as on the designed form; the handlers above act on them.
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button6 = nullptr;
  QPushButton* Button7 = nullptr;
  QPushButton* Button8 = nullptr;
  QTableWidget* ListView1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void createComponents();
  void refreshLockCaption();
  // The selected row; tells the user and returns -1 when no row is selected.
  int selectedRow();
  // Sets the setting file of the slot a row shows.
  void setRowFile(int row, std::string path);
  void maxVolumeChanged(const QLineEdit& edit, bool music);
  // Asks for the lock password: nothing when the box is cancelled, else whether the answer is
  // the password.
  std::optional<bool> passwordMatches(std::string_view prompt);
  // Reads slots 0..8 into setting files in folder and makes them the group; what went wrong
  // when it could not finish.
  std::optional<std::string> uploadSlots(const std::filesystem::path& folder);
  // Reads one slot into the link's kept block; why not, when it could not.
  std::optional<std::string> readSlot(int slot);

  device::DeviceLink& link_;
  settings::UserDialogs& dialogs_;
  std::filesystem::path programIni_;
  std::function<void(bool, int)> setMainMaxVolumeText_;
  settings::GroupFiles groupFiles_;
  std::chrono::milliseconds readLimit_ = device::kReadBackLimit;
};

}  // namespace kdsp::app
