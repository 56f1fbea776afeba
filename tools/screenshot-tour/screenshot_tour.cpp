// SPDX-License-Identifier: GPL-3.0-or-later
// kdsp-screenshot-tour: starts the program's windows with the simulated processor, opens each
// window, page, dialog, menu and standard box the user meets, and saves each as it paints itself
// into a folder (docs/screenshots through scripts/screenshots).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <numbers>
#include <optional>
#include <random>
#include <string>

#include "app/about_box.h"
#include "app/language.h"
#include "app/program.h"
#include "app/qt_user_dialogs.h"
#include "app/system_control_panel.h"
#include "device/virtual_hid_platform.h"
#include "pages/capture_source.h"
#include "pages/effect_page.h"
#include "pages/measurement_window.h"
#include "pages/pink_noise_dialog.h"
#include "pages/recording_mix_dialog.h"
#include "pages/reverb_dialog.h"
#include "settings/page_catalogue.h"
#include "settings/wifi_processors.h"
#include "sim/simulated_hid_device.h"
#include "skin/dark_theme.h"

namespace {

using namespace kdsp;

// Long enough for the link's replies and the repaints they cause.
constexpr int kStartSettleMs = 1500;
constexpr int kWindowSettleMs = 300;
constexpr int kMeasurementSettleMs = 3000;

void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// A sound input for the measurement analyser's picture: pink noise at about -30 dBFS with a
// 1 kHz tone at -12 dBFS, handed over at the pace a real input records it.
class TestSignalSource : public pages::CaptureSource {
 public:
  TestSignalSource() {
    timer_.setInterval(1000 * display::kBufferSamples / display::kCaptureRate);
    QObject::connect(&timer_, &QTimer::timeout, [this] { deliverOne(); });
  }
  std::optional<pages::CaptureFailure> start() override {
    timer_.start();
    return std::nullopt;
  }
  void stop() override { timer_.stop(); }
  bool running() const override { return timer_.isActive(); }

 private:
  void deliverOne() {
    constexpr double kToneAmplitude = 0.251;  // -12 dBFS
    constexpr double kNoiseScale = 0.012;
    std::normal_distribution<double> white;
    for (std::int16_t& sample : samples_) {
      // Paul Kellet's economy filter turns white noise into pink noise (-3 dB an octave).
      const double w = white(random_);
      pink_[0] = 0.99765 * pink_[0] + w * 0.0990460;
      pink_[1] = 0.96300 * pink_[1] + w * 0.2965164;
      pink_[2] = 0.57000 * pink_[2] + w * 1.0526913;
      const double pink = pink_[0] + pink_[1] + pink_[2] + w * 0.1848;
      const double tone =
          kToneAmplitude * std::sin(2 * std::numbers::pi * 1000.0 * at_++ / display::kCaptureRate);
      sample = static_cast<std::int16_t>(std::lround(32767 * (tone + kNoiseScale * pink)));
    }
    deliver(pages::CaptureBuffer(samples_));
  }

  QTimer timer_;
  std::mt19937 random_{7};
  std::array<double, 3> pink_{};
  long at_ = 0;
  std::array<std::int16_t, display::kBufferSamples> samples_{};
};

class Tour {
 public:
  // suffix follows each picture's name: "-zh_CN" for the tour in Chinese.
  Tour(QDir folder, QString suffix) : folder_(std::move(folder)), suffix_(std::move(suffix)) {}

  int saved() const { return saved_; }
  int failed() const { return failed_; }

  void save(QWidget* window, const QString& name) {
    if (window == nullptr) {
      std::fprintf(stderr, "no window to save as %s\n", qPrintable(name));
      ++failed_;
      return;
    }
    const QString path = folder_.filePath(name + suffix_ + ".png");
    if (window->grab().save(path)) {
      std::printf("%s\n", qPrintable(path));
      ++saved_;
    } else {
      std::fprintf(stderr, "could not save %s\n", qPrintable(path));
      ++failed_;
    }
  }

  // A window shown without a loop of its own: shown, saved, hidden again.
  void showAndSave(QWidget& window, const QString& name) {
    window.show();
    window.raise();
    Settle(kWindowSettleMs);
    save(&window, name);
    window.hide();
  }

  // A window with a loop of its own (open blocks until it closes): saved once it paints, then
  // closed, which answers it as Escape would.
  void saveModal(const QString& name, const std::function<void()>& open) {
    QTimer::singleShot(kWindowSettleMs, [this, name] {
      QWidget* modal = QApplication::activeModalWidget();
      save(modal, name);
      if (modal != nullptr) modal->close();
    });
    open();
  }

 private:
  QDir folder_;
  QString suffix_;
  int saved_ = 0;
  int failed_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("kdsp");
  // The tour speaks English, whatever the desktop's language, unless --lang asks otherwise; the
  // pictures of another language carry its name.
  QStringList arguments = QApplication::arguments().mid(1);
  std::optional<app::Language> language = app::Language::kEnglish;
  if (arguments.size() == 3 && arguments[0] == "--lang") {
    language = app::LanguageNamed(arguments[1].toStdString());
    arguments = arguments.mid(2);
  }
  if (arguments.size() != 1 || !language) {
    std::fputs("usage: kdsp-screenshot-tour [--lang en|zh_CN] FOLDER\n", stderr);
    return 2;
  }
  if (!app::UseLanguage(*language)) {
    std::fputs("the translation cannot be loaded\n", stderr);
    return 1;
  }
  QApplication::setApplicationDisplayName(
      QCoreApplication::translate("Program", "Karaoke DSP Control"));
  skin::ApplyDarkTheme();
  QDir folder(arguments[0]);
  if (!folder.mkpath(".")) {
    std::fprintf(stderr, "cannot create %s\n", qPrintable(arguments[0]));
    return 1;
  }
  const QString suffix = *language == app::Language::kEnglish
                             ? QString()
                             : "-" + QString::fromLatin1(app::LanguageCode(*language));

  // Two processors on USB and two named WiFi processors, as a venue's PC has them.
  device::VirtualHidPlatform platform;
  platform.plug(std::make_shared<sim::SimulatedHidDevice>());
  platform.plug(std::make_shared<sim::SimulatedHidDevice>());
  app::QtUserDialogs dialogs;
  // A program INI of its own: the user's remembered group file is neither shown nor changed.
  const QTemporaryDir iniFolder;
  for (const settings::WifiProcessor& room :
       {settings::WifiProcessor{"Room 7", {"192.168.1.27", 8899}},
        settings::WifiProcessor{"Stage", {"192.168.1.40", 8899}}})
    settings::AddWifiProcessor(iniFolder.filePath("kdsp.ini").toStdString(), room);
  app::Program program(platform, dialogs, iniFolder.filePath("kdsp.ini").toStdString(),
                       /*serviceMenu=*/true);
  app::TForm1& mainWindow = program.mainWindow();
  dialogs.setParent(&mainWindow);
  if (const QScreen* screen = mainWindow.screen())
    mainWindow.move(screen->availableGeometry().center() - mainWindow.rect().center());
  mainWindow.show();
  Tour tour(folder, suffix);

  // The processor greets the program and the program asks whether to read its settings.
  Settle(kStartSettleMs);
  auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  tour.save(question, "sync-question");
  if (question != nullptr) question->button(QMessageBox::Yes)->click();
  Settle(kStartSettleMs);
  tour.save(&mainWindow, "main-window");

  for (const settings::PageParameters& page : settings::kPages)
    tour.showAndSave(
        program.page(page.id),
        QString::fromUtf8(page.key.data(), static_cast<int>(page.key.size())) + "-page");
  tour.showAndSave(program.reverb(), "reverb-dialog");
  tour.showAndSave(program.recordingMix(), "recording-mix-dialog");
  tour.showAndSave(program.pinkNoise(), "pink-noise-dialog");

  // The response chart's menu, opened over the main page's chart.
  pages::EffectPage& mainPage = program.page(settings::PageId::kMainOutput);
  mainPage.show();
  Settle(kWindowSettleMs);
  mainPage.chartMenu()->popup(mainPage.mapToGlobal(QPoint(300, 120)));
  Settle(kWindowSettleMs);
  tour.save(QApplication::activePopupWidget(), "chart-menu");
  mainPage.chartMenu()->close();
  mainPage.hide();

  // The analyser as the program opens it (on a PC without a sound input it says so), then fed a
  // test signal long enough for the slow average to settle.
  tour.showAndSave(program.measurement(), "measurement-no-input");
  {
    pages::MeasurementWindow analyser(std::make_unique<TestSignalSource>(), dialogs, &mainWindow);
    // Set up as an installer checks a room: slow averaging, peak hold, 1/3-octave smoothing.
    analyser.findChild<QComboBox*>("averagingBox")->setCurrentIndex(1);
    analyser.findChild<QCheckBox*>("peakHoldBox")->setChecked(true);
    analyser.findChild<QCheckBox*>("smoothingBox")->setChecked(true);
    analyser.show();
    Settle(kMeasurementSettleMs);
    tour.save(&analyser, "measurement-analyser");
  }

  program.menu().popup(mainWindow.mapToGlobal(QPoint(40, 40)));
  Settle(kWindowSettleMs);
  tour.save(QApplication::activePopupWidget(), "presets-menu");
  program.menu().close();
  program.processorMenu().popup(mainWindow.mapToGlobal(QPoint(40, 40)));
  Settle(kWindowSettleMs);
  tour.save(QApplication::activePopupWidget(), "processor-menu");
  program.processorMenu().close();
  QMessageBox* about = app::ShowAboutBox(&mainWindow);
  Settle(kWindowSettleMs);
  tour.save(about, "about-box");
  about->close();

  tour.saveModal("system-control-panel", [&] { program.systemPanel().showFromMainWindow(); });
  tour.saveModal("message", [&] { dialogs.showMessage("No connecting device!"); });
  tour.saveModal("question", [&] { dialogs.askYesNo("Sync", "Sync with connecting device?"); });
  tour.saveModal("input-box", [&] { dialogs.askText("Processor", "Please Input Password", "0"); });
  tour.saveModal("open-file", [&] { dialogs.openFile(settings::filter::kOpenSetting); });

  std::printf("saved %d windows\n", tour.saved());
  return tour.failed() == 0 ? 0 : 1;
}
