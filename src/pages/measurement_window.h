// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement analyser window: the spectrum of a chosen sound input in dBFS with averaging,
// peak hold, 1/3-octave smoothing, freeze, a microphone calibration and CSV export. It records
// only while it is shown, and stays usable on what it shows when there is no sound input.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "core/translatable.h"
#include "display/measurement_spectrum.h"
#include "pages/capture_source.h"
#include "settings/user_dialogs.h"

class QCheckBox;
class QComboBox;
class QHideEvent;
class QLabel;
class QPushButton;
class QShowEvent;

namespace kdsp::pages {

class MeasurementChart;

// The file dialogs' filters of the window.
namespace measurement_filter {
inline constexpr std::string_view kCalibration = KDSP_TRANSLATE_NOOP(
    "Messages", "Microphone Calibration(*.txt *.cal *.frd)|*.txt|All Files(*.*)|*.*");
inline constexpr std::string_view kCsv = KDSP_TRANSLATE_NOOP("Messages", "CSV Text(*.csv)|*.csv");
inline constexpr std::string_view kCsvSuffix = "csv";
}  // namespace measurement_filter

class MeasurementWindow : public QDialog {
  Q_OBJECT

 public:
  // dialogs must outlive the window.
  MeasurementWindow(std::unique_ptr<CaptureSource> source, settings::UserDialogs& dialogs,
                    QWidget* parent = nullptr);
  ~MeasurementWindow() override;

  const display::MeasurementSpectrum& spectrum() const { return spectrum_; }
  MeasurementChart& chart() { return *chart_; }
  CaptureSource& source() { return *source_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void buildControls();
  void listInputs();
  void startCapture();
  void chooseInput(int index);
  void onBuffer(CaptureBuffer samples);
  void onFailure(CaptureFailure why);
  void exportCsv();
  void loadCalibration();
  void clearCalibration();
  // Hands the chart the current spectrum and updates the readout.
  void showSpectrum();

  std::unique_ptr<CaptureSource> source_;
  settings::UserDialogs& dialogs_;
  display::MeasurementSpectrum spectrum_;
  std::vector<float> samples_;  // the delivered buffer as fractions of full scale
  std::optional<CaptureFailure> failure_;
  QString calibrationName_;

  MeasurementChart* chart_ = nullptr;
  QComboBox* inputBox_ = nullptr;
  QComboBox* averagingBox_ = nullptr;
  QCheckBox* peakHoldBox_ = nullptr;
  QPushButton* peakResetButton_ = nullptr;
  QCheckBox* smoothingBox_ = nullptr;
  QCheckBox* freezeBox_ = nullptr;
  QPushButton* clearCalibrationButton_ = nullptr;
  QLabel* calibrationLabel_ = nullptr;
  QLabel* readoutLabel_ = nullptr;
  QLabel* statusLabel_ = nullptr;
};

}  // namespace kdsp::pages
