// Parsing the program's command line.
#include "app/command_line.h"

#include "settings/page_catalogue.h"

namespace kdsp::app {

const char* CommandLineHelp() {
  return "usage: kdsp [--simulate] [--connect tcp://HOST:PORT] [--service-menu]\n"
         "\n"
         "  --simulate                 start with the simulated processor plugged in on USB\n"
         "  --connect tcp://HOST:PORT  switch WiFi control on at start, toward HOST:PORT\n"
         "  --service-menu             show the Presets menu's service items\n"
         "  --page PAGE                open an effect page at start: mic music echo reverb main\n"
         "                             center subwoofer surround\n"
         "  --screenshot FILE          save the main window (or the page) once shown, then quit\n"
         "  --version                  print the program's version\n"
         "  --help                     this text\n";
}

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine line;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == "--simulate") {
      line.simulate = true;
    } else if (a == "--service-menu") {
      line.serviceMenu = true;
    } else if (a == "--help" || a == "-h") {
      line.help = true;
    } else if (a == "--version") {
      line.version = true;
    } else if ((a == "--connect" || a == "--screenshot" || a == "--page") &&
               i + 1 < arguments.size()) {
      const QString value = arguments[++i];
      if (a == "--screenshot") {
        line.screenshot = value.toStdString();
        continue;
      }
      if (a == "--page") {
        if (settings::FindPage(value.toStdString()) == nullptr) {
          line.error = "unknown page '" + value.toStdString() + "'";
          return line;
        }
        line.page = value.toStdString();
        continue;
      }
      const QString prefix = "tcp://";
      const qsizetype colon = value.lastIndexOf(':');
      bool ok = false;
      const int port = colon > 0 ? value.mid(colon + 1).toInt(&ok) : 0;
      if (!value.startsWith(prefix) || colon <= prefix.size() || !ok || port < 1 || port > 65535) {
        line.error = "--connect takes tcp://HOST:PORT, not '" + value.toStdString() + "'";
        return line;
      }
      line.wifiHost = value.mid(prefix.size(), colon - prefix.size()).toStdString();
      line.wifiPort = port;
    } else {
      line.error = "unknown argument '" + a.toStdString() + "'";
      return line;
    }
  }
  return line;
}

}  // namespace kdsp::app
