// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the measurement analyser window on the offscreen platform, fed synthetic buffers
// through a fake capture source: where the painted spectrum puts a tone, the painted scale, the
// controls, the sound input choice, calibration files and the exported CSV text.
#include "pages/measurement_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

#include "display/spectrum_csv.h"
#include "pages/measurement_chart.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace kdsp::pages {
namespace {

using Samples = std::array<std::int16_t, display::kBufferSamples>;

class FakeCapture : public CaptureSource {
 public:
  std::optional<CaptureFailure> start() override {
    ++starts;
    startedWith.push_back(chosen);
    if (refusal) return refusal;
    running_ = true;
    return std::nullopt;
  }
  void stop() override { running_ = false; }
  bool running() const override { return running_; }
  std::vector<CaptureInput> inputs() const override { return available; }
  void chooseInput(const std::string& id) override { chosen = id; }

  // A recording source hands over buffers only while it runs.
  void feed(const Samples& samples) {
    if (running_) deliver(CaptureBuffer(samples));
  }

  std::optional<CaptureFailure> refusal;
  std::vector<CaptureInput> available;
  std::string chosen;
  std::vector<std::string> startedWith;
  int starts = 0;

 private:
  bool running_ = false;
};

// `count` buffers of a sine at hz and dbfs, its phase running on from buffer to buffer.
void FeedSine(FakeCapture& capture, double hz, double dbfs, int count) {
  static long at = 0;
  for (int b = 0; b < count; ++b) {
    Samples samples;
    for (int n = 0; n < display::kBufferSamples; ++n, ++at) {
      const double value = 32768.0 * std::pow(10.0, dbfs / 20) *
                           std::sin(2 * std::numbers::pi * hz * at / display::kCaptureRate);
      samples[n] = static_cast<std::int16_t>(std::lround(value));
    }
    capture.feed(samples);
  }
}

// The topmost pixel of the chart painted in the colour picked out by `is`.
std::optional<QPoint> Topmost(const QImage& image, bool (*is)(QRgb)) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (is(image.pixel(x, y))) return QPoint(x, y);
    }
  }
  return std::nullopt;
}
bool LevelGreen(QRgb c) {
  return qGreen(c) > 170 && qRed(c) < 140 && qBlue(c) < 160;
}
bool PeakAmber(QRgb c) {
  return qRed(c) > 170 && qGreen(c) > 110 && qGreen(c) < 190 && qBlue(c) < 100;
}

class MeasurementWindowTest : public ::testing::Test {
 protected:
  MeasurementWindowTest() {
    auto source = std::make_unique<FakeCapture>();
    capture = source.get();
    window = std::make_unique<MeasurementWindow>(std::move(source), dialogs);
    window->resize(900, 560);
  }

  QImage Chart() {
    QImage image = window->chart().grab().toImage();
    if (qEnvironmentVariableIsSet("KDSP_SAVE_CHART")) image.save(qEnvironmentVariable("KDSP_SAVE_CHART"));
    return image;
  }
  display::MeasurementScale Plot() { return MeasurementPlot(window->chart().size()); }
  QString Label(const char* name) { return window->findChild<QLabel*>(name)->text(); }
  template <class W>
  W* Control(const char* name) {
    return window->findChild<W*>(name);
  }

  kdsp::testing::ScriptedDialogs dialogs;
  FakeCapture* capture = nullptr;
  std::unique_ptr<MeasurementWindow> window;
};

TEST_F(MeasurementWindowTest, ATonesPeakIsPaintedAtItsFrequencyAndLevel) {
  window->show();
  FeedSine(*capture, 1000, -20, 2);
  EXPECT_EQ(Label("readoutLabel"), "Strongest: 1000.0 Hz, -20.0 dBFS");
  EXPECT_EQ(Label("statusLabel"), "Recording.");

  const std::optional<QPoint> top = Topmost(Chart(), LevelGreen);
  ASSERT_TRUE(top);
  EXPECT_NEAR(top->x(), Plot().xOf(1000), 2.0);
  EXPECT_NEAR(top->y(), Plot().yOf(-20.3), 2.0);

  // Another tone moves the peak there.
  FeedSine(*capture, 5000, -40, 2);
  const std::optional<QPoint> moved = Topmost(Chart(), LevelGreen);
  ASSERT_TRUE(moved);
  EXPECT_NEAR(moved->x(), Plot().xOf(5000), 2.0);
  EXPECT_NEAR(moved->y(), Plot().yOf(-40.2), 2.0);
}

TEST_F(MeasurementWindowTest, TheDbfsScaleIsLabelledEveryTwentyDbBesideThePlot) {
  window->show();
  const QImage chart = Chart();
  const display::MeasurementScale plot = Plot();
  const QRgb text = window->palette().text().color().rgb();
  // Pixels of label text in a band of rows left of the plot.
  const auto inked = [&](double y) {
    int count = 0;
    for (int py = static_cast<int>(y) - 4; py <= static_cast<int>(y) + 4; ++py) {
      for (int px = 0; px < static_cast<int>(plot.left()) - 2; ++px) {
        const QRgb c = chart.pixel(px, py);
        count += std::abs(qGray(c) - qGray(text)) < 60 ? 1 : 0;
      }
    }
    return count;
  };
  for (const display::ScaleMark& mark : display::MeasurementScale::LevelMarks()) {
    SCOPED_TRACE(mark.value);
    if (mark.major) {
      EXPECT_GT(inked(plot.yOf(mark.value)), 8);
    } else {
      EXPECT_EQ(inked(plot.yOf(mark.value)), 0);
    }
  }
}

TEST_F(MeasurementWindowTest, PeakHoldKeepsAVanishedToneInThePictureUntilReset) {
  window->show();
  Control<QCheckBox>("peakHoldBox")->click();
  // A tone centred on bin 372 (2002.6 Hz), which reads its level there.
  const double hz = 372 * window->spectrum().binSpacing();
  FeedSine(*capture, hz, -10, 2);
  FeedSine(*capture, hz, -200, 3);  // silence
  const std::optional<QPoint> live = Topmost(Chart(), LevelGreen);
  EXPECT_TRUE(!live || live->y() > Plot().yOf(-100));
  const std::optional<QPoint> held = Topmost(Chart(), PeakAmber);
  ASSERT_TRUE(held);
  EXPECT_NEAR(held->x(), Plot().xOf(hz), 2.0);
  EXPECT_NEAR(held->y(), Plot().yOf(-10), 2.0);

  Control<QPushButton>("peakResetButton")->click();
  const std::optional<QPoint> reset = Topmost(Chart(), PeakAmber);
  EXPECT_TRUE(!reset || reset->y() > Plot().yOf(-100));
}

TEST_F(MeasurementWindowTest, TheControlsSetTheSpectrumsModes) {
  window->show();
  Control<QComboBox>("averagingBox")->setCurrentIndex(2);
  EXPECT_EQ(window->spectrum().averaging(), display::Averaging::kFast);
  Control<QComboBox>("averagingBox")->setCurrentIndex(1);
  EXPECT_EQ(window->spectrum().averaging(), display::Averaging::kSlow);
  Control<QCheckBox>("smoothingBox")->click();
  EXPECT_TRUE(window->spectrum().smoothing());

  FeedSine(*capture, 1000, -20, 2);
  Control<QCheckBox>("freezeBox")->click();
  EXPECT_EQ(Label("statusLabel"), "Recording. Frozen.");
  const std::vector<float> frozen(window->spectrum().levels().begin(),
                                  window->spectrum().levels().end());
  FeedSine(*capture, 3000, -6, 3);
  EXPECT_TRUE(std::equal(frozen.begin(), frozen.end(), window->spectrum().levels().begin()));
  Control<QCheckBox>("freezeBox")->click();
  FeedSine(*capture, 3000, -6, 1);
  EXPECT_FALSE(std::equal(frozen.begin(), frozen.end(), window->spectrum().levels().begin()));
}

TEST_F(MeasurementWindowTest, RecordsOnlyWhileShownFromTheChosenInput) {
  capture->available = {{"alsa:1", "Line In"}, {"usb:7", "USB Microphone"}};
  EXPECT_EQ(capture->starts, 0);
  window->show();
  EXPECT_TRUE(capture->running());
  QComboBox* inputs = Control<QComboBox>("inputBox");
  ASSERT_EQ(inputs->count(), 3);
  EXPECT_EQ(inputs->itemText(0), "Default input");
  EXPECT_EQ(inputs->itemText(2), "USB Microphone");

  FeedSine(*capture, 1000, -20, 2);
  inputs->setCurrentIndex(2);
  emit inputs->activated(2);
  EXPECT_EQ(capture->startedWith, (std::vector<std::string>{"", "usb:7"}));
  EXPECT_FALSE(window->spectrum().hasSpectrum()) << "another input starts afresh";

  window->hide();
  EXPECT_FALSE(capture->running());
  FeedSine(*capture, 1000, -20, 2);
  EXPECT_FALSE(window->spectrum().hasSpectrum());

  // Shown again, the choice holds while the input is there, and falls back when it has gone.
  window->show();
  EXPECT_EQ(capture->startedWith.back(), "usb:7");
  window->hide();
  capture->available.pop_back();
  window->show();
  EXPECT_EQ(capture->startedWith.back(), "");
  EXPECT_EQ(inputs->currentIndex(), 0);
}

TEST_F(MeasurementWindowTest, WithoutASoundInputTheWindowSaysSoAndStaysUsable) {
  capture->refusal = CaptureFailure::kNoInputDevice;
  window->show();
  EXPECT_EQ(Label("statusLabel"), "No sound input was found.");
  EXPECT_EQ(window->chart().picture().notice, "No sound input was found.");
  Control<QCheckBox>("freezeBox")->click();
  EXPECT_EQ(Label("statusLabel"), "No sound input was found. Frozen.");

  Control<QPushButton>("exportButton")->click();
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"There is no spectrum to export yet."});
  EXPECT_TRUE(dialogs.filters.empty());

  kdsp::testing::TempDir dir;
  std::ofstream(dir.path() / "mic.txt") << "20 1\n20000 1\n";
  dialogs.files.push_back((dir.path() / "mic.txt").string());
  Control<QPushButton>("calibrationButton")->click();
  EXPECT_EQ(Label("calibrationLabel"), "mic.txt (2 points)");
  EXPECT_TRUE(window->spectrum().corrected());
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(MeasurementWindowTest, ExportWritesTheShownSpectrumAsCsv) {
  window->show();
  FeedSine(*capture, 1000, -20, 2);
  Control<QCheckBox>("freezeBox")->click();
  kdsp::testing::TempDir dir;
  const std::filesystem::path path = dir.path() / "room.csv";
  dialogs.files.push_back(path.string());
  Control<QPushButton>("exportButton")->click();
  EXPECT_EQ(dialogs.filters, std::vector<std::string>{"CSV Text(*.csv)|*.csv"});
  EXPECT_EQ(dialogs.suffixes, std::vector<std::string>{"csv"});

  const std::string csv = FileText(path);
  EXPECT_EQ(csv, display::SpectrumCsv(window->spectrum().levels(), window->spectrum().binSpacing(),
                                      20.0, 20000.0));
  EXPECT_EQ(csv.compare(0, 35, "Frequency (Hz),Level (dBFS)\n21.533,"), 0);
  // 1 kHz lies in bin 186 and reads 0.3 dB under the tone there.
  EXPECT_NE(csv.find("\n1001.294,-20.3"), std::string::npos);
}

TEST_F(MeasurementWindowTest, ACalibrationFileShiftsTheShownLevelsAndABadOneIsNamed) {
  window->show();
  FeedSine(*capture, 1000, -20, 2);
  kdsp::testing::TempDir dir;
  std::ofstream(dir.path() / "good.txt") << "\"Sens Factor =-1.2dB\"\n10\t6.0\n24000\t6.0\n";
  std::ofstream(dir.path() / "bad.txt") << "* maker\n20 1\n30 one\n";

  dialogs.files.push_back((dir.path() / "bad.txt").string());
  Control<QPushButton>("calibrationButton")->click();
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{
                                  "Line 3 of the calibration file is not a frequency and a level "
                                  "in dB: \"30 one\""});
  EXPECT_EQ(Label("calibrationLabel"), "none");

  dialogs.files.push_back((dir.path() / "good.txt").string());
  Control<QPushButton>("calibrationButton")->click();
  EXPECT_EQ(Label("readoutLabel"), "Strongest: 1000.0 Hz, -26.0 dBFS");
  const std::optional<QPoint> top = Topmost(Chart(), LevelGreen);
  ASSERT_TRUE(top);
  EXPECT_NEAR(top->y(), Plot().yOf(-26.3), 2.0);

  Control<QPushButton>("clearCalibrationButton")->click();
  EXPECT_EQ(Label("readoutLabel"), "Strongest: 1000.0 Hz, -20.0 dBFS");
  EXPECT_EQ(Label("calibrationLabel"), "none");
}

}  // namespace
}  // namespace kdsp::pages
