// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's connection, page and screenshot in the program.
#include "app/argument_actions.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "app/program.h"
#include "app/window_placement.h"
#include "pages/effect_page.h"

namespace kdsp::app {
namespace {

// How long the windows settle at start before the screenshot: the link's first replies and
// the repaints they cause come in meanwhile.
constexpr int kStartScreenshotDelayMs = 1500;

// WiFi control toward host:port; one already on is switched off first, so the connection goes
// where the command line says.
void ConnectWifi(Program& program, const std::string& host, int port) {
  program.processorChoice().chooseWifi({host, port});
}

QWidget& OpenPage(Program& program, const std::string& name) {
  QWidget& page = program.page(settings::FindPage(name)->id);
  ShowInFront(page);
  return page;
}

// The window as it paints itself, without whatever may stand in front of it.
bool SaveScreenshot(QWidget& window, const QString& path) {
  return window.grab().save(path);
}

std::string ScreenshotReport(bool saved, const std::string& path) {
  return (saved ? "saved " : "could not save ") + path + "\n";
}

// The arguments a running program cannot take on: it chose its processor and its menu when it
// started.
struct StartOnlyFlag {
  bool CommandLine::*given;
  const char* flag;
};
constexpr StartOnlyFlag kStartOnlyFlags[] = {
    {&CommandLine::simulate, "--simulate"},
    {&CommandLine::serviceMenu, "--service-menu"},
};

// Starts the phone remote unless it serves already; its line, or why it cannot listen.
bool StartRemote(Program& program, const remote::ListenAddress& address, std::string& out,
                 std::string& err) {
  QString error;
  if (program.remote() == nullptr && !program.startRemote(address, error)) {
    err += "kdsp: " + error.toStdString() + "\n";
    return false;
  }
  out += program.remote()->text().toStdString() + "\n";
  return true;
}

}  // namespace

bool ActOnStartArguments(Program& program, const CommandLine& line) {
  if (line.remote) {
    // The line is printed as the remote starts.
    QString error;
    if (!program.startRemote(*line.remote, error)) {
      std::fprintf(stderr, "kdsp: %s\n", error.toLocal8Bit().constData());
      return false;
    }
  }
  if (line.wifiHost) ConnectWifi(program, *line.wifiHost, line.wifiPort);
  QWidget* shown = &program.mainWindow();
  if (line.page) shown = &OpenPage(program, *line.page);
  if (!line.screenshot) return true;
  QTimer::singleShot(kStartScreenshotDelayMs, &program.mainWindow(),
                     [shown, path = *line.screenshot] {
                       const bool saved = SaveScreenshot(*shown, QString::fromStdString(path));
                       std::fputs(ScreenshotReport(saved, path).c_str(), saved ? stdout : stderr);
                       std::fflush(stdout);
                       QApplication::exit(saved ? 0 : 1);
                     });
  return true;
}

InstanceReply ActOnLaterStart(Program& program, const InstanceRequest& request) {
  TForm1& mainWindow = program.mainWindow();
  mainWindow.showNormal();
  mainWindow.raise();
  mainWindow.activateWindow();

  QStringList arguments{QStringLiteral("kdsp")};
  for (const std::string& argument : request.arguments)
    arguments << QString::fromStdString(argument);
  const CommandLine line = ParseCommandLine(arguments);
  InstanceReply reply;
  if (!line.error.empty()) {
    // Only a start of another version of the program reads its arguments otherwise.
    reply.err = "kdsp: the running kdsp cannot use these arguments: " + line.error + "\n";
    reply.status = 2;
    return reply;
  }
  for (const StartOnlyFlag& f : kStartOnlyFlags) {
    if (!(line.*f.given)) continue;
    reply.err += std::string("kdsp is already running; ") + f.flag +
                 " is not passed to it: it takes effect only when kdsp starts\n";
    reply.status = 1;
  }
  if (line.language) {
    reply.err +=
        "kdsp is already running; --lang is not passed to it: it takes effect only when "
        "kdsp starts\n";
    reply.status = 1;
  }

  if (line.remote && !StartRemote(program, *line.remote, reply.out, reply.err)) reply.status = 1;
  if (line.wifiHost) ConnectWifi(program, *line.wifiHost, line.wifiPort);
  QWidget* shown = &mainWindow;
  if (line.page) shown = &OpenPage(program, *line.page);
  if (line.screenshot) {
    // A relative path names a file in the later start's working folder.
    const QString path = QDir(QString::fromStdString(request.workingFolder))
                             .absoluteFilePath(QString::fromStdString(*line.screenshot));
    const bool saved = SaveScreenshot(*shown, path);
    (saved ? reply.out : reply.err) += ScreenshotReport(saved, path.toStdString());
    if (!saved) reply.status = 1;
  }
  return reply;
}

}  // namespace kdsp::app
