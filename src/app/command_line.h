// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line: by default it behaves as it always has; options add a simulated
// processor, a WiFi connection at start, the service menu, a private single-instance name, and
// the phone remote's server, the language.
#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <string_view>

#include "app/language.h"
#include "remote/remote_address.h"

namespace kdsp::app {

struct CommandLine {
  bool simulate = false;
  std::optional<std::string> wifiHost;  // --connect tcp://HOST:PORT
  int wifiPort = 0;
  bool serviceMenu = false;
  std::optional<std::string> screenshot;  // save the main window (or the page) as shown, then quit
  std::optional<std::string> page;        // open this effect page at start (mic, music, echo, ...)
  std::optional<std::string> instance;    // a private single-instance name (--instance NAME)
  std::optional<remote::ListenAddress> remote;  // serve the phone remote (--remote [ADDR:]PORT)
  std::optional<Language> language;             // --lang en|zh_CN, over the desktop's language
  bool help = false;
  bool version = false;
  std::string error;  // set when the arguments cannot be used
};

// The errors and the help are in the language installed when they are made.
CommandLine ParseCommandLine(const QStringList& arguments);
std::string CommandLineHelp();

// The environment variable that gives a program a private single-instance name, as --instance
// does; --instance wins.
inline constexpr char kInstanceNameVariable[] = "KDSP_INSTANCE_NAME";
// Why a private instance name cannot be used; empty when it can. A name is 1 to 64 letters,
// digits, '.', '_' and '-', so it makes a file name of its own in any folder.
std::string InstanceNameProblem(std::string_view name);
// The private instance name from the command line, else from the environment variable's value
// (null when unset); nothing for the user's own instance. Sets error when the name is unusable.
std::optional<std::string> PrivateInstanceName(const CommandLine& line, const char* environment,
                                               std::string& error);

}  // namespace kdsp::app
