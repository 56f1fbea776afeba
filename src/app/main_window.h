// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the processor's output mixer with its faders, mutes, delays and master
// levels, the page buttons, the connection indicator, the Presets button and the status of the
// working settings. It owns the skin pictures and fonts, the device link with its synchronisation
// timer, and the page-open flags.
#pragma once

#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "app/remote_line.h"
#include "app/settings_status.h"
#include "core/page_open_flags.h"
#include "device/device_link.h"
#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"
#include "settings/user_dialogs.h"
#include "skin/control_list.h"
#include "skin/panel_window.h"
#include "skin/skin_fonts.h"
#include "skin/skin_images.h"
#include "skin/typed_handlers.h"

class QMenu;

namespace kdsp::app {

// The pictures and fonts come first: the window takes its size from the background.
struct MainWindowSkin {
  MainWindowSkin();
  skin::SkinImages images;
  skin::SkinFonts fonts;
};

class TForm1 : private MainWindowSkin, public skin::PanelWindow {
 public:
  TForm1(device::HidDeviceController& hid, settings::ParameterBlock& working,
         settings::UserDialogs& dialogs, QWidget* parent = nullptr);
  ~TForm1() override;

  const skin::SkinImages& skinImages() const { return images; }
  const skin::SkinFonts& skinFonts() const { return fonts; }
  device::DeviceLink& link() { return *link_; }
  core::PageOpenFlags& pageOpenFlags() { return pageOpen_; }

  // Reloads every control from the working block and the maximum volumes.
  void RefreshMain();
  // RefreshMain, with master levels above the maxima brought down to them and sent, then every
  // page's refresh in page order.
  void RefreshAll();
  // A page's refresh, called by RefreshAll; and what its page button shows.
  void setPage(settings::PageId page, QWidget* window, std::function<void()> refresh);
  // The popup menu the Presets button opens.
  void setPresetsMenu(QMenu* menu) { presetsMenu_ = menu; }
  // Called once the main window shows maxima that changed, so other windows showing them follow.
  void addMaxVolumesListener(std::function<void()> listener) {
    maxVolumesListeners_.push_back(std::move(listener));
  }

  // The controls, for the program's tests.
  skin::ImgRoller& fader(int i) { return faders_[i]; }
  skin::ImgKnob& knob(int i) { return knobs_[i]; }
  skin::ImgButton& muteButton(int i) { return mutes_[i]; }
  skin::ImgButton& outputSwitch(int i) { return switches_[i]; }
  skin::ImgEdit& maxVolumeBox(int i) { return maxBoxes_[i]; }

  // What the SETTINGS section shows; it repaints what changed. At first: A live, no origin, not
  // modified.
  void showSettingsStatus(const SettingsStatus& status);
  const SettingsStatus& settingsStatus() const { return status_; }
  // What the phone remote's line shows; it repaints what changed. At first: nothing, the remote
  // being off.
  void showRemoteLine(const RemoteLine& line);
  const RemoteLine& remoteLine() const { return remote_; }
  // Called with the side (0 A, 1 B) whose tab the user clicked.
  void setSideClickHandler(std::function<void(int side)> handler) {
    sideClick_ = std::move(handler);
  }

  // The connection indicator's picture and tooltip: connected; a processor present that this
  // user may not open (the tooltip says why and how to allow it); or no processor.
  const skin::SkinPicture& linkLamp() const;
  QString linkToolTip() const;

 protected:
  void FormPaintStatic(QPainter& painter) override;
  void FormPaint(QPainter& painter) override;
  QRegion FormTakeChangedRegion() override;
  // A left click on a side's tab: pressed and released on the same tab.
  bool FormMouseDown(int x, int y, Qt::MouseButton button) override;
  void FormMouseUp(int x, int y) override;
  void FormShow() override;
  std::string FormControlName(int x, int y) const override;
  // Tooltips: the connection indicator's.
  bool event(QEvent* event) override;
  // The window system's close command ends the program, whatever else is open.
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void configureButtons();
  void configureFaders();
  void configureKnobs();
  void configureMaxVolumeBoxes();
  // The maxima into their boxes and into the master faders' upper limits.
  void applyMaxVolumes();
  // What the link asks when a maximum was set; see LinkObserver::maxVolumesChanged.
  void maxVolumesChanged(bool holdLevels);
  // Brings every master level above its fader's limit down to the limit, and sends it.
  void holdMasterLevels();
  bool commitMaxVolume(int which, skin::BoxText& text);
  bool commitDelay(int knob, skin::BoxText& text);
  void delayChanged(int knob, std::int32_t value);
  void presetsClick();
  void outputSwitchClick(int which, skin::ImgButton& button);
  void pageButtonClick(int which, skin::ImgButton& button);
  void muteClick(int which, skin::ImgButton& button);

  settings::ParameterBlock& working_;
  settings::UserDialogs& dialogs_;
  std::unique_ptr<device::DeviceLink> link_;
  core::PageOpenFlags pageOpen_;

  skin::ImgButton close_, minimize_, presets_;
  skin::ImgButton switches_[8];
  skin::ImgEdit maxBoxes_[2];
  skin::ImgButton pageButtons_[8];
  skin::ImgRoller faders_[17];
  skin::ImgKnob knobs_[8];
  skin::ImgButton mutes_[14];
  skin::RowMembers<TForm1, 14> rows_{this};

  struct Page {
    QPointer<QWidget> window;
    std::function<void()> refresh;
  };
  std::array<Page, 8> pages_;
  std::vector<std::function<void()>> maxVolumesListeners_;
  QMenu* presetsMenu_ = nullptr;
  SettingsStatus status_;
  SettingsStatus shownStatus_;  // what the last repaint of the section showed
  RemoteLine remote_;
  RemoteLine shownRemote_;  // what the last repaint of the remote's line showed
  std::function<void(int side)> sideClick_;
  int pressedSide_ = -1;
};

}  // namespace kdsp::app
