// SPDX-License-Identifier: GPL-3.0-or-later
// The reverb dialog TForm14.
#include "pages/reverb_dialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QShowEvent>
#include <QSlider>

#include "device/device_link.h"
#include "pages/dialog_widgets.h"

namespace kdsp::pages {
namespace {

constexpr QSize kOuterSize{493, 373};
constexpr int kLabelX = 24;
// The sliders stand a little right of the form's column, leaving the labels room for the longest
// name and value ("Rev Pre Delay: 100").
constexpr int kSliderX = 144;
constexpr QSize kSliderSize{321, 41};
// "Damp: 55": the parameter's name and the slider's position.
QString LabelText(std::string_view name, int position) {
  return DialogText(name) + QStringLiteral(": ") + QString::number(position);
}

}  // namespace

TForm14::TForm14(settings::ParameterBlock& working, device::DeviceLink& link, QWidget* parent)
    : QDialog(parent), working_(working), link_(link) {
  setObjectName(QStringLiteral("Form14"));
  setWindowTitle(QCoreApplication::translate("Dialogs", "Rev "));
  for (std::size_t i = 0; i < kReverbRows.size(); ++i) {
    const ReverbRow& row = kReverbRows[i];
    labels_[i] = PlaceLabel(*this, row.labelName, LabelText(row.name, 0), {kLabelX, row.labelY},
                            kSliderX - kLabelX);
    sliders_[i] =
        PlaceTrackBar(*this, row.sliderName, {{kSliderX, row.sliderY}, kSliderSize}, row.max);
    connect(sliders_[i], &QSlider::valueChanged, this,
            [this, i] { TrackBarChange(static_cast<int>(i)); });
  }
  KeepOuterSize(*this, kOuterSize);
}

void TForm14::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window restored from the task bar is not opened again.
  if (!event->spontaneous()) FormShow();
}

void TForm14::FormShow() {
  for (std::size_t i = 0; i < kReverbRows.size(); ++i)
    sliders_[i]->setValue(static_cast<int>(kReverbRows[i].field.read(working_)));
  for (const ReverbRow& row : kReverbRows) link_.withdrawChange(row.flag);
}

void TForm14::TrackBarChange(int row) {
  const ReverbRow& r = kReverbRows[static_cast<std::size_t>(row)];
  const int position = sliders_[static_cast<std::size_t>(row)]->value();
  labels_[static_cast<std::size_t>(row)]->setText(LabelText(r.name, position));
  r.field.write(working_, position);
  link_.markChanged(r.flag);
}

}  // namespace kdsp::pages
