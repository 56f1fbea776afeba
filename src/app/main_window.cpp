// SPDX-License-Identifier: GPL-3.0-or-later
// The main window.
#include "app/main_window.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QToolTip>
#include <cmath>
#include <string>

#include "app/remote_line_view.h"
#include "app/settings_status_view.h"
#include "device/link_messages.h"
#include "settings/block_field.h"
#include "skin/commit_int_range.h"
#include "skin/main_control_names.h"
#include "skin/main_window_layout.h"
#include "skin/typed_text.h"
#include "skin/value_text.h"

namespace kdsp::app {
namespace {

using skin::SkinSlot;
using skin::ToRect;
using namespace skin::main_layout;

namespace flag = device::flag;

void FormatInt(std::int32_t value, skin::BoxText& text) {
  skin::SetBoxText(text, std::to_string(value));
}

// Hundredths of a millisecond as milliseconds with two decimals.
constexpr skin::ValueFormatter FormatDelay = skin::FormatHundredths;

QRect LinkIndicatorRect() {
  return QRect(kLinkIndicatorRect.x, kLinkIndicatorRect.y, kLinkIndicatorRect.w,
               kLinkIndicatorRect.h);
}

// A delay knob's delay line: microseconds.
settings::BlockField DelayField(const MainKnob& knob) {
  return {knob.target, settings::FieldKind::kUint32};
}

}  // namespace

MainWindowSkin::MainWindowSkin() : fonts(skin::MakeSkinFonts()) {
  skin::LoadSkinImages(images);
}

TForm1::TForm1(device::HidDeviceController& hid, settings::ParameterBlock& working,
               settings::UserDialogs& dialogs, QWidget* parent)
    : PanelWindow(&images[SkinSlot::kMainBackground], parent),
      working_(working),
      dialogs_(dialogs) {
  setWindowTitle(QApplication::translate("Program", "Karaoke DSP Control"));
  device::LinkObserver observer;
  observer.refreshAll = [this] { RefreshAll(); };
  observer.connectionChanged = [this] { update(); };
  observer.busy = [this](bool busy) { dialogs_.setBusy(busy); };
  observer.quit = [] { QApplication::quit(); };
  observer.maxVolumesChanged = [this](bool holdLevels) { maxVolumesChanged(holdLevels); };
  link_ = std::make_unique<device::DeviceLink>(hid, working_, dialogs_, observer);
  FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
  settings::ResetToFactory(working_);
  configureButtons();
  configureMaxVolumeBoxes();
  configureFaders();
  configureKnobs();
  controls()
      .addCloseButton(close_)
      .addCloseButton(minimize_)
      .add(presets_)
      .add(switches_)
      .add(pageButtons_)
      .add(mutes_)
      .add(faders_)
      .add(knobs_)
      .add(maxBoxes_);
  paintOrder()
      .add(close_)
      .add(minimize_)
      .add(presets_)
      .add(switches_)
      .add(maxBoxes_)
      .add(pageButtons_)
      .add(faders_)
      .add(knobs_)
      .add(mutes_);
  RefreshMain();
  link_->start();  // finds a processor already plugged in, then the 10 ms tick
}

void TForm1::configureButtons() {
  const auto push = [](skin::ImgButton& b, skin::LayoutRect r, const skin::SkinPicture& on,
                       const skin::SkinPicture& off) {
    b.rect = ToRect(r);
    b.imageOn = &on;
    b.imageOff = &off;
    b.state = 1;
  };
  push(close_, CloseButtonRect(), images[SkinSlot::kCloseButton], images[SkinSlot::kCloseButton]);
  close_.clickHandler = [](skin::ImgButton&, void*) { QApplication::quit(); };
  push(minimize_, MinimizeButtonRect(), images[SkinSlot::kMinimizeButton],
       images[SkinSlot::kMinimizeButton]);
  skin::OnClick<&TForm1::showMinimized>(minimize_, this);
  push(presets_, PresetsButtonRect(), images[SkinSlot::kPresetsOn], images[SkinSlot::kPresetsOff]);
  skin::OnClick<&TForm1::presetsClick>(presets_, this);

  for (int i = 0; i < 8; ++i) {
    skin::ImgButton& s = switches_[i];
    s.rect = ToRect(OutputSwitchRect(kOutputSwitches[i]));
    s.momentary = 0;
    s.imageOn = &images[SkinSlot::kSpeakerOn];
    s.imageOff = &images[SkinSlot::kSpeakerOff];
    s.changed = link_->changeFlag(flag::kOutputSwitches.at(i));
    skin::OnRowClick<&TForm1::outputSwitchClick>(s, rows_[i]);
  }
  for (int i = 0; i < 8; ++i) {
    push(pageButtons_[i], PageButtonRect(kPageButtons[i]), images[SkinSlot::kPageButtonOn],
         images[SkinSlot::kPageButtonOff]);
    skin::OnRowClick<&TForm1::pageButtonClick>(pageButtons_[i], rows_[i]);
  }
  for (int i = 0; i < kMuteButtonCount; ++i) {
    skin::ImgButton& m = mutes_[i];
    m.rect = ToRect(MuteButtonRect(kFaders[i]));
    m.momentary = 0;
    m.imageOn = &images[SkinSlot::kMuteOn];
    m.imageOff = &images[SkinSlot::kMuteOff];
    m.changed = link_->changeFlag(flag::kMuteButtons.at(i));
    skin::OnRowClick<&TForm1::muteClick>(m, rows_[i]);
  }
}

void TForm1::presetsClick() {
  if (presetsMenu_ != nullptr)
    presetsMenu_->popup(mapToGlobal(QPoint(kPresetsMenuAt.x, kPresetsMenuAt.y)));
}

void TForm1::outputSwitchClick(int which, skin::ImgButton& button) {
  working_.outputMutes ^= static_cast<std::uint8_t>(1 << kOutputSwitches[which].bit);
  *button.changed = 1;
}

void TForm1::pageButtonClick(int which, skin::ImgButton&) {
  const auto page = static_cast<int>(kPageButtons[which].page);
  if (QWidget* shown = pages_[page].window) {
    shown->show();
    shown->raise();
    shown->activateWindow();
  }
}

void TForm1::muteClick(int which, skin::ImgButton& button) {
  std::uint8_t& byte = working_.bytes()[kFaders[which].target];
  byte = button.state == 1 ? byte & ~settings::kMixMuted : byte | settings::kMixMuted;
  *button.changed = 1;
}

void TForm1::configureMaxVolumeBoxes() {
  for (int i = 0; i < 2; ++i) {
    skin::ImgEdit& box = maxBoxes_[i];
    box.rect = ToRect(MaxVolumeBoxRect(kMaxVolumeBoxes[i]));
    box.imageActive = &images[SkinSlot::kMainBoxActive];
    box.imageNormal = &images[SkinSlot::kMainBoxNormal];
    box.font = &fonts.fontValue;
    box.maxChars = kMaxVolumeMaxChars;
    skin::OnRowCommit<&TForm1::commitMaxVolume>(box, rows_[i]);
  }
}

bool TForm1::commitMaxVolume(int which, skin::BoxText& text) {
  const device::MaxVolume maximum =
      which == 0 ? device::MaxVolume::kMusic : device::MaxVolume::kMic;
  const auto typed = skin::ParseBoxInteger(skin::BoxTextView(text));
  if (!typed || *typed < kMaxVolumeMin || *typed > kMaxVolumeMax) {
    const device::LinkState& state = link_->state();
    skin::SetBoxText(text,
                     std::to_string(maximum == device::MaxVolume::kMusic ? state.musicMaxVolume
                                                                         : state.micMaxVolume));
    return false;
  }
  link_->setMaxVolume(maximum, static_cast<std::uint8_t>(*typed));
  return true;
}

void TForm1::maxVolumesChanged(bool holdLevels) {
  applyMaxVolumes();
  if (holdLevels) holdMasterLevels();
  if (isVisible()) update();
  for (const auto& listener : maxVolumesListeners_) listener();
}

void TForm1::holdMasterLevels() {
  for (skin::ImgRoller& fader : faders_) {
    if (fader.value <= fader.limit) continue;
    // As a drag to the limit would: the block's level changes and its flag sends it.
    fader.value = fader.limit;
    fader.refreshText();
    fader.fireChange();
  }
}

void TForm1::applyMaxVolumes() {
  const device::LinkState& state = link_->state();
  maxBoxes_[0].setText(std::to_string(state.musicMaxVolume));
  maxBoxes_[1].setText(std::to_string(state.micMaxVolume));
  for (int i = 0; i < static_cast<int>(kFaders.size()); ++i) {
    switch (kFaders[i].limit) {
      case FaderLimit::kMusicMaxVolume:
        faders_[i].limit = state.musicMaxVolume;
        break;
      case FaderLimit::kMicMaxVolume:
        faders_[i].limit = state.micMaxVolume;
        break;
      case FaderLimit::kScale:
        break;
    }
  }
}

void TForm1::configureFaders() {
  for (int i = 0; i < static_cast<int>(kFaders.size()); ++i) {
    const MainFader& row = kFaders[i];
    skin::ImgRoller& f = faders_[i];
    f.rect = ToRect(FaderRect(row));
    f.imageOn = &images[SkinSlot::kThumbActive];
    f.imageOff = &images[SkinSlot::kThumbNormal];
    f.setRange(row.min, row.max);
    f.formatter = FormatInt;
    f.changeHandler = skin::StoreLow7;
    f.target = &working_.bytes()[row.target];
    f.changed = link_->changeFlag(i < 14 ? flag::kMixFaders.at(i) : flag::kMasterFaders.at(i - 14));
    skin::ImgEdit& box = f.valueBox;
    box.rect = ToRect(FaderBoxRect(row));
    box.imageActive = &images[SkinSlot::kMainBoxActive];
    box.imageNormal = &images[SkinSlot::kMainBoxNormal];
    box.font = &fonts.fontValue;
    box.maxChars = kFaderBoxMaxChars;
    box.userDataB = &f;
    box.commitB = skin::CommitIntRange;
  }
}

void TForm1::configureKnobs() {
  for (int i = 0; i < static_cast<int>(kKnobs.size()); ++i) {
    const MainKnob& row = kKnobs[i];
    skin::ImgKnob& k = knobs_[i];
    k.rect = ToRect(KnobRect(row));
    k.imageNormal = &images[SkinSlot::kKnobNormal];
    k.imageActive = &images[SkinSlot::kKnobActive];
    k.min = row.min;
    k.max = row.max;
    k.step = row.step;
    k.dragStep = row.dragStep;
    if (row.scale == KnobScale::kDelay) {
      skin::OnRowChange<&TForm1::delayChanged>(k, rows_[i]);
      k.formatter = FormatDelay;
      k.changed = link_->changeFlag(flag::kDelayKnobs.at(i));
      k.showValueBox = 1;
      skin::ImgEdit& box = k.valueBox;
      box.rect = ToRect(KnobBoxRect(row));
      box.imageActive = &images[SkinSlot::kMainBoxActive];
      box.imageNormal = &images[SkinSlot::kMainBoxNormal];
      box.font = &fonts.fontSmall;
      box.maxChars = row.maxChars;
      skin::OnRowCommit<&TForm1::commitDelay>(box, rows_[i]);
    } else {
      k.target = &working_.bytes()[row.target];
      k.changeHandler = skin::StoreByte;
      k.changed =
          link_->changeFlag(row.scale == KnobScale::kFeedback ? flag::kFeedbackKnob.first
                                                              : flag::kMusicInputKnob.first);
    }
  }
}

void TForm1::delayChanged(int knob, std::int32_t value) {
  DelayField(kKnobs[knob]).write(working_, std::int64_t{value} * kDelayToTarget);
}

bool TForm1::commitDelay(int index, skin::BoxText& text) {
  skin::ImgKnob& k = knobs_[index];
  const auto typed = skin::ParseDecimal(skin::BoxTextView(text));
  // Whole milliseconds: 12.345 becomes 12.00.
  const double ms = typed ? std::trunc(*typed) : -1.0;
  const bool taken = typed && ms * 100.0 >= k.min && ms * 100.0 <= k.max;
  if (taken) {
    k.value = static_cast<std::int32_t>(ms) * 100;
    k.fireChange();
  }
  FormatDelay(k.value, text);
  return taken;
}

void TForm1::RefreshMain() {
  applyMaxVolumes();
  for (int i = 0; i < static_cast<int>(kKnobs.size()); ++i) {
    skin::ImgKnob& k = knobs_[i];
    if (kKnobs[i].scale == KnobScale::kDelay) {
      k.value = static_cast<std::int32_t>(DelayField(kKnobs[i]).read(working_) / kDelayToTarget);
    } else {
      k.value = working_.bytes()[kKnobs[i].target];
    }
    k.refreshText();
  }
  for (int i = 0; i < static_cast<int>(kFaders.size()); ++i) {
    const std::uint8_t byte = working_.bytes()[kFaders[i].target];
    faders_[i].value = byte & 0x7F;
    faders_[i].refreshText();
    if (i < kMuteButtonCount) mutes_[i].state = (byte & settings::kMixMuted) ? 0 : 1;
  }
  for (int i = 0; i < 8; ++i)
    switches_[i].state = (working_.outputMutes >> kOutputSwitches[i].bit) & 1 ? 0 : 1;
  if (isVisible()) update();
}

void TForm1::RefreshAll() {
  RefreshMain();
  // A block from a slot or a file may hold master levels stored under higher maxima.
  holdMasterLevels();
  for (const Page& page : pages_)
    if (page.refresh) page.refresh();
}

void TForm1::setPage(settings::PageId page, QWidget* window, std::function<void()> refresh) {
  Page& p = pages_[static_cast<int>(page)];
  p.window = window;
  p.refresh = std::move(refresh);
}

void TForm1::FormPaintStatic(QPainter& painter) {
  skin::DrawTextAt(painter, QString::fromLatin1(kVersionText.data(), kVersionText.size()),
                   fonts.fontSmall, Qt::black, kVersionTextAt.x, kVersionTextAt.y);
  skin::DrawImageAt(painter, &images[SkinSlot::kLogo], kLogoAt.x, kLogoAt.y);
}

void TForm1::FormPaint(QPainter& painter) {
  skin::DrawImageInto(painter, &linkLamp(), LinkIndicatorRect());
  DrawSettingsStatus(painter, status_, fonts);
  DrawRemoteLine(painter, remote_, fonts);
  paintOrder().draw(painter);
}

void TForm1::showSettingsStatus(const SettingsStatus& status) {
  status_ = status;
  updateChanged();
}

void TForm1::showRemoteLine(const RemoteLine& line) {
  remote_ = line;
  updateChanged();
}

QRegion TForm1::FormTakeChangedRegion() {
  QRegion changed;
  if (status_ != shownStatus_) changed += SettingsStatusBounds();
  if (remote_ != shownRemote_) changed += RemoteLineBounds();
  shownStatus_ = status_;
  shownRemote_ = remote_;
  return changed;
}

bool TForm1::FormMouseDown(int x, int y, Qt::MouseButton button) {
  const bool hit = controls().mouseDown(x, y);
  pressedSide_ = button == Qt::LeftButton ? SettingsSideAt(x, y) : -1;
  return hit || pressedSide_ >= 0;
}

void TForm1::FormMouseUp(int x, int y) {
  controls().mouseUp();
  const int side = pressedSide_;
  pressedSide_ = -1;
  if (side >= 0 && SettingsSideAt(x, y) == side && sideClick_) sideClick_(side);
}

std::string TForm1::FormControlName(int x, int y) const {
  for (int i = 0; i < static_cast<int>(kFaders.size()); ++i)
    if (faders_[i].hits(x, y)) return skin::MainFaderName(i);
  for (int i = 0; i < kMuteButtonCount; ++i)
    if (mutes_[i].hits(x, y)) return skin::MainMuteName(i);
  for (int i = 0; i < static_cast<int>(kOutputSwitches.size()); ++i)
    if (switches_[i].hits(x, y)) return skin::MainOutputSwitchName(i);
  for (int i = 0; i < static_cast<int>(kKnobs.size()); ++i)
    if (knobs_[i].hits(x, y)) return skin::MainKnobName(i);
  for (int i = 0; i < static_cast<int>(kMaxVolumeBoxes.size()); ++i)
    if (maxBoxes_[i].hits(x, y)) return skin::MainMaxVolumeName(i);
  return {};
}

const skin::SkinPicture& TForm1::linkLamp() const {
  const device::LinkState& state = link_->state();
  if (state.connected && state.versionOk) return images[SkinSlot::kLinkOn];
  if (state.processorWithoutAccess()) return images[SkinSlot::kLinkWithoutAccess];
  return images[SkinSlot::kLinkOff];
}

QString TForm1::linkToolTip() const {
  const device::LinkState& state = link_->state();
  if (state.connected && state.versionOk)
    return state.wifiMode ? QApplication::translate("TForm1", "Connected to the processor by WiFi")
                          : QApplication::translate("TForm1", "Connected to the processor by USB");
  if (state.connected && link_->lastVersion())
    return QCoreApplication::translate("Messages", device::message::kVersionNoMatch.data());
  if (state.connected)
    return QApplication::translate("TForm1", "Waiting for the processor to answer");
  if (state.processorWithoutAccess()) return QString::fromStdString(state.accessProblem);
  return QApplication::translate("TForm1", "No processor connected");
}

bool TForm1::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return PanelWindow::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QRect lamp = LinkIndicatorRect();
  if (lamp.contains(help->pos()))
    QToolTip::showText(help->globalPos(), linkToolTip(), this, lamp);
  else
    QToolTip::hideText();
  return true;
}

void TForm1::FormShow() {
  link_->FormShow();
}

void TForm1::closeEvent(QCloseEvent* event) {
  PanelWindow::closeEvent(event);
  QApplication::quit();
}

}  // namespace kdsp::app
