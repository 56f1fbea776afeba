// kdsp: Karaoke DSP Control. Starts the main window (one instance per user), then the pages and
// dialogs, and runs until the main window ends the program. Nothing is saved at exit.
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/command_line.h"
#include "app/program.h"
#include "app/qt_user_dialogs.h"
#include "app/single_instance.h"
#include "device/linux_hid_platform.h"
#include "device/virtual_hid_platform.h"
#include "pages/effect_page.h"
#include "sim/simulated_hid_device.h"

namespace {

using namespace kdsp;

std::unique_ptr<device::HidPlatform> MakePlatform(bool simulate) {
  if (!simulate) return std::make_unique<device::LinuxHidPlatform>();
  auto platform = std::make_unique<device::VirtualHidPlatform>();
  platform->plug(std::make_shared<sim::SimulatedHidDevice>());
  return platform;
}

void CentreOnScreen(QWidget& window) {
  if (const QScreen* screen = window.screen())
    window.move(screen->availableGeometry().center() - window.rect().center());
}

// The arguments as given, before Qt takes its own out of them.
QStringList ArgumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  // Help and version are answered before anything graphical starts, so they work without a
  // display.
  const app::CommandLine early = app::ParseCommandLine(ArgumentsOf(argc, argv));
  if (early.help) {
    std::fputs(app::CommandLineHelp(), stdout);
    return 0;
  }
  if (early.version) {
    std::printf("kdsp %s\n", KDSP_VERSION);
    return 0;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName("kdsp");
  QApplication::setApplicationDisplayName("Karaoke DSP Control");

  const app::CommandLine line = app::ParseCommandLine(QApplication::arguments());
  if (!line.error.empty()) {
    std::fprintf(stderr, "kdsp: %s\n\n%s", line.error.c_str(), app::CommandLineHelp());
    return 2;
  }

  app::SingleInstance instance(app::SingleInstance::DefaultName());
  if (instance.activateRunning()) return 0;

  const auto platform = MakePlatform(line.simulate);
  app::QtUserDialogs dialogs;
  app::Program program(*platform, dialogs, app::Program::DefaultProgramIni(), line.serviceMenu);
  app::TForm1& mainWindow = program.mainWindow();
  dialogs.setParent(&mainWindow);
  device::DeviceLink& link = mainWindow.link();

  instance.listen([&] {
    mainWindow.showNormal();
    mainWindow.raise();
    mainWindow.activateWindow();
  });

  CentreOnScreen(mainWindow);
  mainWindow.show();

  if (line.wifiHost) {
    link.setWifiAddress(*line.wifiHost, line.wifiPort);
    program.menu().item("WiFi1")->setChecked(true);
    link.WiFi1Click();
  }
  QWidget* shown = &mainWindow;
  if (line.page) {
    shown = &program.page(settings::FindPage(*line.page)->id);
    shown->show();
  }
  if (line.screenshot) {
    QTimer::singleShot(1500, &mainWindow, [&] {
      // The window as it paints itself, without whatever may stand in front of it.
      const QPixmap shot = shown->grab();
      const bool saved = shot.save(QString::fromStdString(*line.screenshot));
      std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "could not save",
                   line.screenshot->c_str());
      std::fflush(stdout);
      QApplication::exit(saved ? 0 : 1);
    });
  }
  return QApplication::exec();
}
