// SPDX-License-Identifier: GPL-3.0-or-later
// kdsp: Karaoke DSP Control. Starts the main window (one instance per user: a later start hands
// its arguments to the running program), then the pages and dialogs, and runs until the main
// window ends the program. Nothing is saved at exit.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/argument_actions.h"
#include "app/command_line.h"
#include "app/language.h"
#include "app/program.h"
#include "app/qt_user_dialogs.h"
#include "app/single_instance.h"
#include "core/program_version.h"
#include "device/linux_hid_platform.h"
#include "device/virtual_hid_platform.h"
#include "sim/simulated_hid_device.h"
#include "skin/dark_theme.h"

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

void PrintVersion() {
  std::fputs(core::VersionLine("kdsp").c_str(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  // Help and version are answered before anything graphical starts, so they work without a
  // display.
  const app::CommandLine early = app::ParseCommandLine(ArgumentsOf(argc, argv));
  // The language is installed before any text is made: --lang over the desktop's locale.
  const app::Language language = early.language.value_or(app::LanguageFromEnvironment());
  if (early.help) {
    // Translations need an application object, not a display.
    QCoreApplication helpOnly(argc, argv);
    app::UseLanguage(language);
    std::fputs(app::CommandLineHelp().c_str(), stdout);
    return 0;
  }
  if (early.version) {
    PrintVersion();
    return 0;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName("kdsp");
  // The desktop matches the windows with the installed entry, kdsp.desktop, and its icon.
  QGuiApplication::setDesktopFileName("kdsp");
  QApplication::setWindowIcon(QIcon::fromTheme("kdsp"));
  if (!app::UseLanguage(language))
    std::fprintf(stderr, "kdsp: the %s translation cannot be loaded; the texts stay English\n",
                 std::string(app::LanguageCode(language)).c_str());
  QApplication::setApplicationDisplayName(
      QCoreApplication::translate("Program", "Karaoke DSP Control"));
  skin::ApplyDarkTheme();

  const app::CommandLine line = app::ParseCommandLine(QApplication::arguments());
  if (!line.error.empty()) {
    std::fprintf(stderr, "kdsp: %s\n\n%s", line.error.c_str(), app::CommandLineHelp().c_str());
    return 2;
  }
  // Help and version after an option of Qt's own ("-platform offscreen --version"), which the
  // first reading stopped at: answered now that Qt has taken its options.
  if (line.help) {
    std::fputs(app::CommandLineHelp().c_str(), stdout);
    return 0;
  }
  if (line.version) {
    PrintVersion();
    return 0;
  }

  std::string nameError;
  const auto privateName =
      app::PrivateInstanceName(line, std::getenv(app::kInstanceNameVariable), nameError);
  if (!nameError.empty()) {
    std::fprintf(stderr, "kdsp: %s\n", nameError.c_str());
    return 2;
  }
  app::SingleInstance instance(app::SingleInstance::NameFor(privateName));
  // A program already running takes this start's arguments and says what became of them.
  app::InstanceRequest request{QDir::currentPath().toStdString(), {}};
  for (const QString& argument : QApplication::arguments().mid(1))
    request.arguments.push_back(argument.toStdString());
  if (const auto reply = instance.handOver(request)) {
    std::fputs(reply->out.c_str(), stdout);
    std::fputs(reply->err.c_str(), stderr);
    return reply->status;
  }

  const auto platform = MakePlatform(line.simulate);
  app::QtUserDialogs dialogs;
  app::Program program(*platform, dialogs, app::Program::DefaultProgramIni(), line.serviceMenu);
  app::TForm1& mainWindow = program.mainWindow();
  dialogs.setParent(&mainWindow);

  instance.listen(
      [&](const app::InstanceRequest& later) { return app::ActOnLaterStart(program, later); });

  CentreOnScreen(mainWindow);
  mainWindow.show();
  if (!app::ActOnStartArguments(program, line)) return 2;
  return QApplication::exec();
}
