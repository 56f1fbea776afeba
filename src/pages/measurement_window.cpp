// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement analyser window.
#include "pages/measurement_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <utility>

#include "display/spectrum_csv.h"
#include "pages/measurement_chart.h"
#include "settings/calibration_file.h"
#include "settings/safe_file_write.h"

namespace kdsp::pages {
namespace {

// The averaging box's entries, in its order.
constexpr display::Averaging kAveragingModes[] = {
    display::Averaging::kOff, display::Averaging::kSlow, display::Averaging::kFast};

QString InputMessage(CaptureFailure why) {
  switch (why) {
    case CaptureFailure::kNoInputDevice:
      return MeasurementWindow::tr("No sound input was found.");
    case CaptureFailure::kFormatRefused:
      return MeasurementWindow::tr("The sound input cannot record 16-bit mono at 44100 Hz.");
    case CaptureFailure::kCannotOpen:
      return MeasurementWindow::tr("The sound input could not be opened.");
    case CaptureFailure::kInputLost:
      return MeasurementWindow::tr("The sound input stopped working.");
  }
  return {};
}

}  // namespace

MeasurementWindow::MeasurementWindow(std::unique_ptr<CaptureSource> source,
                                     settings::UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      source_(std::move(source)),
      dialogs_(dialogs),
      spectrum_(display::kCaptureRate),
      samples_(display::kBufferSamples) {
  setObjectName("MeasurementWindow");
  setWindowTitle(tr("Measurement Analyser"));
  buildControls();
  source_->setHandlers([this](CaptureBuffer samples) { onBuffer(samples); },
                       [this](CaptureFailure why) { onFailure(why); });
  showSpectrum();
}

MeasurementWindow::~MeasurementWindow() {
  source_->stop();
  source_->setHandlers({}, {});
}

void MeasurementWindow::buildControls() {
  chart_ = new MeasurementChart(this);

  inputBox_ = new QComboBox(this);
  inputBox_->setObjectName("inputBox");
  inputBox_->setMinimumContentsLength(24);
  averagingBox_ = new QComboBox(this);
  averagingBox_->setObjectName("averagingBox");
  averagingBox_->addItems({tr("Off"), tr("Slow (1 s)"), tr("Fast (125 ms)")});
  peakHoldBox_ = new QCheckBox(tr("Peak hold"), this);
  peakHoldBox_->setObjectName("peakHoldBox");
  peakResetButton_ = new QPushButton(tr("Reset"), this);
  peakResetButton_->setObjectName("peakResetButton");
  peakResetButton_->setEnabled(false);
  smoothingBox_ = new QCheckBox(tr("1/3-octave smoothing"), this);
  smoothingBox_->setObjectName("smoothingBox");
  freezeBox_ = new QCheckBox(tr("Freeze"), this);
  freezeBox_->setObjectName("freezeBox");
  auto* exportButton = new QPushButton(tr("Export CSV…"), this);
  exportButton->setObjectName("exportButton");
  auto* calibrationButton = new QPushButton(tr("Load Calibration…"), this);
  calibrationButton->setObjectName("calibrationButton");
  clearCalibrationButton_ = new QPushButton(tr("Clear"), this);
  clearCalibrationButton_->setObjectName("clearCalibrationButton");
  clearCalibrationButton_->setEnabled(false);
  calibrationLabel_ = new QLabel(this);
  calibrationLabel_->setObjectName("calibrationLabel");
  readoutLabel_ = new QLabel(this);
  readoutLabel_->setObjectName("readoutLabel");
  readoutLabel_->setMinimumWidth(readoutLabel_->fontMetrics().horizontalAdvance(
      tr("Strongest: %1 Hz, %2 dBFS").arg("20000.0", "-200.0")));
  statusLabel_ = new QLabel(this);
  statusLabel_->setObjectName("statusLabel");

  // No button is the window's default: Enter resets nothing and opens no file dialog.
  for (QPushButton* button : {peakResetButton_, exportButton, calibrationButton,
                              clearCalibrationButton_})
    button->setAutoDefault(false);

  auto* inputRow = new QHBoxLayout;
  inputRow->addWidget(new QLabel(tr("Input:"), this));
  inputRow->addWidget(inputBox_);
  inputRow->addWidget(statusLabel_, 1);
  inputRow->addWidget(readoutLabel_);

  auto* viewRow = new QHBoxLayout;
  viewRow->addWidget(new QLabel(tr("Averaging:"), this));
  viewRow->addWidget(averagingBox_);
  viewRow->addSpacing(12);
  viewRow->addWidget(peakHoldBox_);
  viewRow->addWidget(peakResetButton_);
  viewRow->addSpacing(12);
  viewRow->addWidget(smoothingBox_);
  viewRow->addSpacing(12);
  viewRow->addWidget(freezeBox_);
  viewRow->addStretch(1);
  viewRow->addWidget(exportButton);

  auto* calibrationRow = new QHBoxLayout;
  calibrationRow->addWidget(new QLabel(tr("Microphone calibration:"), this));
  calibrationRow->addWidget(calibrationLabel_, 1);
  calibrationRow->addWidget(calibrationButton);
  calibrationRow->addWidget(clearCalibrationButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chart_, 1);
  layout->addLayout(inputRow);
  layout->addLayout(viewRow);
  layout->addLayout(calibrationRow);
  calibrationLabel_->setText(tr("none"));

  connect(inputBox_, &QComboBox::activated, this, &MeasurementWindow::chooseInput);
  connect(averagingBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) spectrum_.setAveraging(kAveragingModes[index]);
  });
  connect(peakHoldBox_, &QCheckBox::toggled, this, [this](bool on) {
    spectrum_.setPeakHold(on);
    peakResetButton_->setEnabled(on);
    showSpectrum();
  });
  connect(peakResetButton_, &QPushButton::clicked, this, [this] {
    spectrum_.resetPeakHold();
    showSpectrum();
  });
  connect(smoothingBox_, &QCheckBox::toggled, this, [this](bool on) {
    spectrum_.setSmoothing(on);
    showSpectrum();
  });
  connect(freezeBox_, &QCheckBox::toggled, this, [this](bool on) {
    spectrum_.setFrozen(on);
    showSpectrum();
  });
  connect(exportButton, &QPushButton::clicked, this, &MeasurementWindow::exportCsv);
  connect(calibrationButton, &QPushButton::clicked, this, &MeasurementWindow::loadCalibration);
  connect(clearCalibrationButton_, &QPushButton::clicked, this,
          &MeasurementWindow::clearCalibration);
}

void MeasurementWindow::listInputs() {
  const QString chosen = inputBox_->currentData().toString();
  inputBox_->clear();
  inputBox_->addItem(tr("Default input"), QString());
  for (const CaptureInput& input : source_->inputs()) {
    inputBox_->addItem(QString::fromStdString(input.name), QString::fromStdString(input.id));
  }
  // An input chosen before and still there stays chosen; one that has gone leaves the default.
  const int again = inputBox_->findData(chosen);
  inputBox_->setCurrentIndex(std::max(0, again));
  source_->chooseInput(inputBox_->currentData().toString().toStdString());
}

void MeasurementWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // the window coming back from being minimised
  listInputs();
  startCapture();
}

void MeasurementWindow::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;
  source_->stop();
}

void MeasurementWindow::startCapture() {
  spectrum_.restart();
  failure_ = source_->start();
  showSpectrum();
}

void MeasurementWindow::chooseInput(int index) {
  source_->stop();
  source_->chooseInput(inputBox_->itemData(index).toString().toStdString());
  if (isVisible()) startCapture();
}

void MeasurementWindow::onBuffer(CaptureBuffer samples) {
  constexpr float kFullScale = 1.0f / 32768.0f;
  for (std::size_t i = 0; i < samples.size(); ++i) samples_[i] = samples[i] * kFullScale;
  spectrum_.addBuffer(samples_);
  showSpectrum();
}

void MeasurementWindow::onFailure(CaptureFailure why) {
  failure_ = why;
  showSpectrum();
}

void MeasurementWindow::showSpectrum() {
  MeasurementPicture picture;
  picture.levels = spectrum_.levels();
  picture.peaks = spectrum_.peakLevels();
  picture.binSpacing = spectrum_.binSpacing();
  QString status;
  if (failure_) {
    status = InputMessage(*failure_);
  } else if (!source_->running()) {
    status = tr("Not recording.");
  } else if (!spectrum_.hasSpectrum()) {
    status = tr("Listening…");
  } else {
    status = tr("Recording.");
  }
  if (spectrum_.frozen()) status += ' ' + tr("Frozen.");
  statusLabel_->setText(status);
  if (!spectrum_.hasSpectrum()) picture.notice = failure_ ? status : QString();

  if (const std::optional<display::ToneReading> tone = spectrum_.strongestTone()) {
    readoutLabel_->setText(
        tr("Strongest: %1 Hz, %2 dBFS")
            .arg(QString::number(tone->frequency, 'f', 1), QString::number(tone->levelDb, 'f', 1)));
  } else {
    readoutLabel_->clear();
  }
  chart_->showPicture(picture);
}

void MeasurementWindow::exportCsv() {
  if (!spectrum_.hasSpectrum()) {
    dialogs_.showMessage(tr("There is no spectrum to export yet.").toStdString());
    return;
  }
  // What is shown now, even if a buffer arrives while the file dialog is open.
  const std::string text =
      display::SpectrumCsv(spectrum_.levels(), spectrum_.binSpacing(),
                           display::MeasurementScale::kLowHz, display::MeasurementScale::kHighHz);
  const std::optional<std::string> path =
      dialogs_.saveFile(measurement_filter::kCsv, measurement_filter::kCsvSuffix);
  if (!path) return;
  const settings::WriteResult written = settings::WriteFileSafely(*path, text);
  if (!written) dialogs_.showMessage(written.message);
}

void MeasurementWindow::loadCalibration() {
  const std::optional<std::string> path = dialogs_.openFile(measurement_filter::kCalibration);
  if (!path) return;
  const settings::CalibrationRead read = settings::ReadCalibrationFile(*path);
  if (!read.calibration) {
    dialogs_.showMessage(read.error);
    return;
  }
  const settings::MicCalibration& mic = *read.calibration;
  spectrum_.setMicResponse([&mic](double hz) { return mic.responseDb(hz); });
  calibrationName_ = QFileInfo(QString::fromStdString(*path)).fileName();
  calibrationLabel_->setText(tr("%1 (%2 points)").arg(calibrationName_).arg(mic.points().size()));
  clearCalibrationButton_->setEnabled(true);
  showSpectrum();
}

void MeasurementWindow::clearCalibration() {
  spectrum_.setMicResponse({});
  calibrationName_.clear();
  calibrationLabel_->setText(tr("none"));
  clearCalibrationButton_->setEnabled(false);
  showSpectrum();
}

}  // namespace kdsp::pages
