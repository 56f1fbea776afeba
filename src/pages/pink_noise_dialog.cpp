// SPDX-License-Identifier: GPL-3.0-or-later
// The pink-noise test TForm12.
#include "pages/pink_noise_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QShowEvent>
#include <QSlider>
#include <string>
#include <utility>

#include "device/device_link.h"
#include "pages/dialog_widgets.h"

namespace kdsp::pages {
namespace {

constexpr QSize kOuterSize{472, 595};
constexpr QPoint kHintAt{16, 16};
constexpr QPoint kLevelCaptionAt{16, 512};
constexpr QPoint kLevelAt{96, 512};
constexpr QRect kSliderRect{160, 504, 273, 41};
constexpr int kFormSliderMax = 60;
constexpr int kStartLevel = 10;

// A check box drawn as its output's box on the picture; the whole box takes the click.
class OutputBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintPinkNoiseBox(painter, QRectF(rect()), isChecked(), underMouse() || hasFocus());
  }
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
  void enterEvent(QEnterEvent* event) override {
    QCheckBox::enterEvent(event);
    update();
  }
  void leaveEvent(QEvent* event) override {
    QCheckBox::leaveEvent(event);
    update();
  }
};

}  // namespace

TForm12::TForm12(settings::ParameterBlock& working, device::DeviceLink& link,
                 std::function<void(int)> onMasterMusicChanged, QWidget* parent)
    : QDialog(parent),
      working_(working),
      link_(link),
      onMasterMusicChanged_(std::move(onMasterMusicChanged)) {
  setObjectName(QStringLiteral("Form12"));
  setWindowTitle(DialogText(kPinkNoiseTitle));
  auto* image = new QLabel(this);
  image->setObjectName(QStringLiteral("Image1"));
  image->setPixmap(QPixmap::fromImage(PinkNoisePicture()));
  image->setGeometry(0, 0, kPinkNoisePictureSize.w, kPinkNoisePictureSize.h);
  PlaceLabel(*this, "Label1", DialogText(kPinkNoiseHint), kHintAt);
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    const PinkNoiseOutput& output = kPinkNoiseOutputs[i];
    boxes_[i] = new OutputBox(this);
    boxes_[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
    boxes_[i]->setGeometry(output.box.x, output.box.y, kPinkNoiseBoxSize.w, kPinkNoiseBoxSize.h);
    boxes_[i]->setToolTip(DialogText(output.name));
    // Ticked from code as well as by the user, as the form's click event fires on both.
    connect(boxes_[i], &QCheckBox::toggled, this,
            [this, i] { CheckBox1Click(static_cast<int>(i)); });
  }
  PlaceLabel(*this, "Label2", DialogText(kPinkNoiseLevelCaption), kLevelCaptionAt);
  slider_ = PlaceTrackBar(*this, "TrackBar1", kSliderRect, kFormSliderMax);
  level_ = PlaceLabel(*this, "Label3", QString::number(slider_->value()), kLevelAt,
                      kSliderRect.left() - kLevelAt.x());
  connect(slider_, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
  KeepOuterSize(*this, kOuterSize);
  FormCreate();
}

void TForm12::FormCreate() {
  for (QCheckBox* box : boxes_) box->setChecked(false);
  link_.withdrawPinkNoise();
}

void TForm12::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm12::FormShow() {
  if (link_.state().pinkNoiseMask != 0) return;
  slider_->setMaximum(link_.state().musicMaxVolume);
  slider_->setValue(kStartLevel);
}

void TForm12::CheckBox1Click(int tag) {
  link_.setPinkNoiseOutput(tag, boxes_[static_cast<std::size_t>(tag)]->isChecked());
}

void TForm12::TrackBar1Change() {
  const int position = slider_->value();
  level_->setText(QString::number(position));
  working_.masterMusic = static_cast<std::uint8_t>(position);
  link_.markChanged(device::flag::kMasterFaders.at(0));
  if (onMasterMusicChanged_) onMasterMusicChanged_(position);
}

}  // namespace kdsp::pages
