// SPDX-License-Identifier: GPL-3.0-or-later
// The recording-mix dialog TForm13: six boxes for the minimum and maximum music, microphone and
// effect levels and three sliders for the recording volumes. The two maximum volumes are the
// main window's and reach the processor through its flags; the rest stay in the dialog.
#pragma once

#include <QDialog>
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <string_view>

class QLabel;
class QLineEdit;
class QShowEvent;
class QSlider;

namespace kdsp::device {
class DeviceLink;
}

namespace kdsp::pages {

// The dialog's caption, also the menu item that opens it.
inline constexpr std::string_view kRecordingMixTitle =
    QT_TRANSLATE_NOOP("Dialogs", "Recording Mix");

// The box rows, by Tag: caption, and whether the row edits one of the main window's
// maximum volumes instead of a value of the dialog.
enum class RecordingTarget { kDialog, kMusicMaxVolume, kMicMaxVolume };
struct RecordingBoxRow {
  std::string_view caption;
  RecordingTarget target;
};
inline constexpr std::array<RecordingBoxRow, 6> kRecordingBoxRows = {{
    {QT_TRANSLATE_NOOP("Dialogs", "Music Min"), RecordingTarget::kDialog},
    {QT_TRANSLATE_NOOP("Dialogs", "Music Max"), RecordingTarget::kMusicMaxVolume},
    {QT_TRANSLATE_NOOP("Dialogs", "Mic Min"), RecordingTarget::kDialog},
    {QT_TRANSLATE_NOOP("Dialogs", "Mic Max"), RecordingTarget::kMicMaxVolume},
    {QT_TRANSLATE_NOOP("Dialogs", "Effect Min"), RecordingTarget::kDialog},
    {QT_TRANSLATE_NOOP("Dialogs", "Effect Max"), RecordingTarget::kDialog},
}};

// The recording volume sliders: caption, range top and the rows of label and slider.
struct RecordingSliderRow {
  std::string_view caption;
  int max;
  int labelY;
  int sliderY;
};
inline constexpr std::array<RecordingSliderRow, 3> kRecordingSliderRows = {{
    {QT_TRANSLATE_NOOP("Dialogs", "Rec Music"), 60, 32, 24},
    {QT_TRANSLATE_NOOP("Dialogs", "Rec Mic"), 60, 72, 64},
    {QT_TRANSLATE_NOOP("Dialogs", "Rec Effect"), 80, 120, 112},
}};

// What only the dialog keeps: it is shown again on the next opening, and no command carries it.
struct RecordingMixValues {
  // By box Tag; the entries of the two maximum-volume rows are unused.
  std::array<std::uint8_t, kRecordingBoxRows.size()> boxes{};
  std::array<std::uint8_t, kRecordingSliderRows.size()> volumes{};  // music, microphone, effect
};

class TForm13 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm13(device::DeviceLink& link, QWidget* parent = nullptr);

  const RecordingMixValues& values() const { return values_; }
  // The dialog's own changed flags: [0] any of its four boxes, [1..3] the sliders. Raised on
  // every change and cleared when the dialog is shown; nothing reads them yet.
  const std::array<std::uint8_t, 4>& changed() const { return changed_; }
  // While the dialog is open, its maximum-volume boxes follow a maximum changed elsewhere (the
  // main window, the processor's status); the maximum is in force already, so nothing is sent.
  void showMaxVolumes();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  // Shared by Edit1..Edit6, dispatched on the box's Tag.
  void Edit1Change(int tag);
  // TrackBar1Change .. TrackBar3Change.
  void TrackBarChange(int row);
  std::uint8_t valueOfBox(int tag) const;

  device::DeviceLink& link_;
  RecordingMixValues values_;
  std::array<std::uint8_t, 4> changed_{};
  std::array<QLineEdit*, kRecordingBoxRows.size()> boxes_{};
  std::array<QSlider*, kRecordingSliderRows.size()> sliders_{};
  std::array<QLineEdit*, kRecordingSliderRows.size()> volumeBoxes_{};
};

}  // namespace kdsp::pages
