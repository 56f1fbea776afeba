// SPDX-License-Identifier: GPL-3.0-or-later
// The recording-mix dialog TForm13.
#include "pages/recording_mix_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <string>

#include "device/device_link.h"
#include "pages/dialog_widgets.h"

namespace kdsp::pages {
namespace {

constexpr QSize kOuterSize{711, 267};
constexpr int kBoxLabelX = 32;
constexpr int kBoxX = 120;
constexpr int kBoxWidth = 49;
constexpr int kFirstBoxY = 24;
constexpr int kBoxPitch = 24;
constexpr int kSliderLabelX = 208;
constexpr int kSliderX = 312;
constexpr QSize kSliderSize{321, 41};
constexpr int kVolumeBoxX = 640;
constexpr int kVolumeBoxWidth = 33;
// The volume boxes sit level with the slider captions.
constexpr int kVolumeBoxDy = 6;
constexpr std::size_t kBoxesChanged = 0;

std::string Numbered(const char* kind, std::size_t n) {
  return kind + std::to_string(n);
}

}  // namespace

TForm13::TForm13(device::DeviceLink& link, QWidget* parent) : QDialog(parent), link_(link) {
  setObjectName(QStringLiteral("Form13"));
  setWindowTitle(DialogText(kRecordingMixTitle));
  for (std::size_t t = 0; t < kRecordingBoxRows.size(); ++t) {
    const int y = kFirstBoxY + kBoxPitch * static_cast<int>(t);
    PlaceLabel(*this, Numbered("Label", t + 1), DialogText(kRecordingBoxRows[t].caption),
               {kBoxLabelX, y}, kBoxX - kBoxLabelX);
    boxes_[t] = PlaceEdit(*this, Numbered("Edit", t + 1), {kBoxX, y}, kBoxWidth);
    connect(boxes_[t], &QLineEdit::textChanged, this,
            [this, t] { Edit1Change(static_cast<int>(t)); });
  }
  for (std::size_t s = 0; s < kRecordingSliderRows.size(); ++s) {
    const RecordingSliderRow& row = kRecordingSliderRows[s];
    const std::size_t n = kRecordingBoxRows.size() + s + 1;  // Label7/Edit7 and on
    PlaceLabel(*this, Numbered("Label", n), DialogText(row.caption), {kSliderLabelX, row.labelY},
               kSliderX - kSliderLabelX);
    sliders_[s] = PlaceTrackBar(*this, Numbered("TrackBar", s + 1),
                                {{kSliderX, row.sliderY}, kSliderSize}, row.max);
    // The volume boxes only show the slider positions; typing into them changed nothing.
    volumeBoxes_[s] = PlaceEdit(*this, Numbered("Edit", n),
                                {kVolumeBoxX, row.sliderY + kVolumeBoxDy}, kVolumeBoxWidth);
    volumeBoxes_[s]->setReadOnly(true);
    volumeBoxes_[s]->setText(QString::number(sliders_[s]->value()));
    connect(sliders_[s], &QSlider::valueChanged, this,
            [this, s] { TrackBarChange(static_cast<int>(s)); });
  }
  KeepOuterSize(*this, kOuterSize);
}

void TForm13::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm13::FormShow() {
  // A box whose text changes runs Edit1Change as typing would: the maximum-volume rows raise
  // the main window's flags, which stay raised, so an opening after the volumes changed
  // elsewhere sends them.
  for (std::size_t t = 0; t < boxes_.size(); ++t)
    boxes_[t]->setText(QString::number(valueOfBox(static_cast<int>(t))));
  for (std::size_t s = 0; s < sliders_.size(); ++s) sliders_[s]->setValue(values_.volumes[s]);
  for (std::size_t s = 1; s < volumeBoxes_.size(); ++s)
    volumeBoxes_[s]->setText(QString::number(values_.volumes[s]));
  changed_.fill(0);
}

void TForm13::showMaxVolumes() {
  if (!isVisible()) return;
  for (std::size_t t = 0; t < boxes_.size(); ++t) {
    if (kRecordingBoxRows[t].target == RecordingTarget::kDialog) continue;
    const QString text = QString::number(valueOfBox(static_cast<int>(t)));
    if (boxes_[t]->text() == text) continue;  // the box itself made the change
    // The maximum is in force already: showing it sends nothing back.
    const QSignalBlocker quiet(boxes_[t]);
    boxes_[t]->setText(text);
  }
}

std::uint8_t TForm13::valueOfBox(int tag) const {
  switch (kRecordingBoxRows[static_cast<std::size_t>(tag)].target) {
    case RecordingTarget::kMusicMaxVolume:
      return link_.state().musicMaxVolume;
    case RecordingTarget::kMicMaxVolume:
      return link_.state().micMaxVolume;
    case RecordingTarget::kDialog:
      break;
  }
  return values_.boxes[static_cast<std::size_t>(tag)];
}

void TForm13::Edit1Change(int tag) {
  std::uint8_t value = valueOfBox(tag);
  bool isNumber = false;
  const int typed = boxes_[static_cast<std::size_t>(tag)]->text().trimmed().toInt(&isNumber);
  // Text that is no number, or a number no byte holds, leaves the value as it was rather than
  // wrapping it (256 would otherwise silence the music); a maximum volume is sent all the same.
  if (isNumber && typed >= 0 && typed <= 0xFF) value = static_cast<std::uint8_t>(typed);
  switch (kRecordingBoxRows[static_cast<std::size_t>(tag)].target) {
    case RecordingTarget::kMusicMaxVolume:
      link_.setMaxVolume(device::MaxVolume::kMusic, value);
      break;
    case RecordingTarget::kMicMaxVolume:
      link_.setMaxVolume(device::MaxVolume::kMic, value);
      break;
    case RecordingTarget::kDialog:
      values_.boxes[static_cast<std::size_t>(tag)] = value;
      changed_[kBoxesChanged] = 1;
      break;
  }
}

void TForm13::TrackBarChange(int row) {
  const auto s = static_cast<std::size_t>(row);
  const int position = sliders_[s]->value();
  volumeBoxes_[s]->setText(QString::number(position));
  values_.volumes[s] = static_cast<std::uint8_t>(position);
  changed_[s + 1] = 1;
}

}  // namespace kdsp::pages
