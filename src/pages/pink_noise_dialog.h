// SPDX-License-Identifier: GPL-3.0-or-later
// The pink-noise test TForm12: a check box per output over a picture of the output layout, and
// the pink-noise level, which is the main window's Music level.
#pragma once

#include <QDialog>
#include <QtGlobal>
#include <array>
#include <functional>
#include <string_view>

#include "pages/pink_noise_picture.h"
#include "settings/parameter_block.h"

class QCheckBox;
class QLabel;
class QShowEvent;
class QSlider;

namespace kdsp::device {
class DeviceLink;
}

namespace kdsp::pages {

// The dialog's caption, also the menu item that opens it.
inline constexpr std::string_view kPinkNoiseTitle = QT_TRANSLATE_NOOP("Dialogs", "Pink Noise Test");
// Pink noise plays on every output whose box is ticked.
inline constexpr std::string_view kPinkNoiseHint =
    QT_TRANSLATE_NOOP("Dialogs", "Click a white box to start the test");
inline constexpr std::string_view kPinkNoiseLevelCaption =
    QT_TRANSLATE_NOOP("Dialogs", "Noise Level");

class TForm12 : public QDialog {
  Q_OBJECT

 public:
  // onMasterMusicChanged: the main window moves and redraws its Music fader to the new level;
  // the dialog itself stores the level in the block and raises the fader's changed flag.
  TForm12(settings::ParameterBlock& working, device::DeviceLink& link,
          std::function<void(int)> onMasterMusicChanged, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  // With no output playing the level starts over at 10 below the music maximum; with outputs
  // playing the slider keeps its range and position.
  void FormShow();
  // Shared by CheckBox1..CheckBox8, dispatched on the box's Tag (its output).
  void CheckBox1Click(int tag);
  void TrackBar1Change();

  settings::ParameterBlock& working_;
  device::DeviceLink& link_;
  std::function<void(int)> onMasterMusicChanged_;
  std::array<QCheckBox*, kPinkNoiseOutputs.size()> boxes_{};
  QLabel* level_ = nullptr;
  QSlider* slider_ = nullptr;
};

}  // namespace kdsp::pages
