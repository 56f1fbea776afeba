// The program's command line: by default it behaves as it always has; options add a simulated
// processor, a WiFi connection at start, and the service menu.
#pragma once

#include <QStringList>
#include <optional>
#include <string>

namespace kdsp::app {

struct CommandLine {
  bool simulate = false;
  std::optional<std::string> wifiHost;  // --connect tcp://HOST:PORT
  int wifiPort = 0;
  bool serviceMenu = false;
  std::optional<std::string> screenshot;  // save the main window (or the page) as shown, then quit
  std::optional<std::string> page;        // open this effect page at start (mic, music, echo, ...)
  bool help = false;
  bool version = false;
  std::string error;  // set when the arguments cannot be used
};

CommandLine ParseCommandLine(const QStringList& arguments);
const char* CommandLineHelp();

}  // namespace kdsp::app
