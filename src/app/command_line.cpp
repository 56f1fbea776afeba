// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing the program's command line.
#include "app/command_line.h"

#include <QCoreApplication>
#include <algorithm>

#include "core/whole_number.h"
#include "settings/page_catalogue.h"

namespace kdsp::app {

namespace {

// Texts marked QT_TRANSLATE_NOOP("CommandLine", …), in the installed language.
std::string Translated(const char* text) {
  return QCoreApplication::translate("CommandLine", text).toStdString();
}

std::string Translated(const char* text, const QString& value) {
  return QCoreApplication::translate("CommandLine", text).arg(value).toStdString();
}

}  // namespace

std::string CommandLineHelp() {
  return Translated(QT_TRANSLATE_NOOP(
      "CommandLine",
      "usage: kdsp [--simulate] [--connect tcp://HOST:PORT] [--service-menu]\n"
      "            [--remote [ADDR:]PORT] [--lang en|zh_CN]\n"
      "\n"
      "  --simulate                 start with the simulated processor plugged in on USB\n"
      "  --connect tcp://HOST:PORT  switch WiFi control on at start, toward HOST:PORT\n"
      "  --service-menu             show the Presets menu's service items\n"
      "  --remote [ADDR:]PORT       serve the phone remote on PORT (0: a free one), on every\n"
      "                             interface or on ADDR; prints the address and pairing code\n"
      "  --page PAGE                open an effect page at start: mic music echo reverb main\n"
      "                             center subwoofer surround\n"
      "  --screenshot FILE          save the main window (or the page) once shown, then quit\n"
      "  --instance NAME            run as a private instance NAME, apart from the user's\n"
      "                             kdsp (also KDSP_INSTANCE_NAME=NAME)\n"
      "  --lang en|zh_CN            speak English or Simplified Chinese, whatever the\n"
      "                             desktop's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)\n"
      "  --version                  print the program's version\n"
      "  --help                     this text\n"
      "\n"
      "When kdsp is already running, a new start brings it to the front and passes --connect,\n"
      "--page, --screenshot and --remote to it (the running kdsp saves the screenshot, starts\n"
      "the remote unless it serves one already, and goes on); --simulate, --service-menu and\n"
      "--lang take effect only at start, and the new start says so.\n"));
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
    } else if ((a == "--connect" || a == "--screenshot" || a == "--page" || a == "--instance" ||
                a == "--remote" || a == "--lang") &&
               i + 1 < arguments.size()) {
      const QString value = arguments[++i];
      if (a == "--remote") {
        QString error;
        line.remote = remote::ParseListenAddress(value, error);
        if (!line.remote) {
          line.error = error.toStdString();
          return line;
        }
        continue;
      }
      if (a == "--lang") {
        if (!LanguageNamed(value.toStdString())) {
          line.error = Translated(
              QT_TRANSLATE_NOOP("CommandLine", "--lang takes en or zh_CN, not '%1'"), value);
          return line;
        }
        line.language = LanguageNamed(value.toStdString());
        continue;
      }
      if (a == "--instance") {
        line.error = InstanceNameProblem(value.toStdString());
        if (!line.error.empty()) return line;
        line.instance = value.toStdString();
        continue;
      }
      if (a == "--screenshot") {
        line.screenshot = value.toStdString();
        continue;
      }
      if (a == "--page") {
        if (settings::FindPage(value.toStdString()) == nullptr) {
          line.error = Translated(QT_TRANSLATE_NOOP("CommandLine", "unknown page '%1'"), value);
          return line;
        }
        line.page = value.toStdString();
        continue;
      }
      const QString prefix = "tcp://";
      const qsizetype colon = value.lastIndexOf(':');
      const core::WholeNumber port =
          colon > 0 ? core::ReadWholeNumber(value.mid(colon + 1).toStdString(), 1, 65535)
                    : core::WholeNumber{};
      if (!value.startsWith(prefix) || colon <= prefix.size() || !port) {
        line.error = Translated(
            QT_TRANSLATE_NOOP("CommandLine", "--connect takes tcp://HOST:PORT, not '%1'"), value);
        return line;
      }
      line.wifiHost = value.mid(prefix.size(), colon - prefix.size()).toStdString();
      line.wifiPort = static_cast<int>(port.value);
    } else {
      line.error = Translated(QT_TRANSLATE_NOOP("CommandLine", "unknown argument '%1'"), a);
      return line;
    }
  }
  return line;
}

std::string InstanceNameProblem(std::string_view name) {
  const auto allowed = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
  };
  if (name.empty() || name.size() > 64 || name == "." || name == ".." ||
      !std::all_of(name.begin(), name.end(), allowed))
    return Translated(
        QT_TRANSLATE_NOOP(
            "CommandLine",
            "an instance name is 1 to 64 letters, digits, '.', '_' and '-', not '%1'"),
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  return {};
}

std::optional<std::string> PrivateInstanceName(const CommandLine& line, const char* environment,
                                               std::string& error) {
  if (line.instance) return line.instance;
  // Set but empty reads as unset, as shells make it easy to write.
  if (environment == nullptr || *environment == '\0') return std::nullopt;
  error = InstanceNameProblem(environment);
  if (!error.empty()) {
    error = std::string(kInstanceNameVariable) + ": " + error;
    return std::nullopt;
  }
  return std::string(environment);
}

}  // namespace kdsp::app
