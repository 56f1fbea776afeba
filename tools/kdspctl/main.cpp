// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl: the command-line tool for setting files and the device protocol.
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "commands.h"
#include "core/program_version.h"
#include "device_commands.h"
#include "live_commands.h"
#include "target_options.h"
#include "venue_run.h"

namespace {

constexpr const char* kUsage =
    "usage: kdspctl COMMAND [ARGS]\n"
    "\n"
    "Setting files:\n"
    "  new FILE                   write the factory-default setting file\n"
    "  dump FILE [--json]         print every field of the file's parameter block\n"
    "  diff A B                   print the fields that differ (exit 1 when some do)\n"
    "  curve FILE --page PAGE [--mic-set a|b]\n"
    "                             print a page's summed response, one HZ<TAB>DB line per\n"
    "                             chart point; PAGE: mic music echo reverb main center\n"
    "                             surround subwoofer\n"
    "  eq export FILE --page PAGE [--mic-set a|b] [-o OUT.txt]\n"
    "                             write a page's bands as a filter list in the format of\n"
    "                             room-measurement programs (stdout without -o)\n"
    "  eq import FILE --page PAGE [--mic-set a|b] FILTERS.txt [-o OUT.aex]\n"
    "                             set a page from a filter list (PK, LS, HS, HP, LP lines),\n"
    "                             fitted to the processor's steps; prints what each filter\n"
    "                             became and the largest deviation. Without -o FILE is\n"
    "                             replaced safely; a list that does not fit changes nothing\n"
    "Processor (--connect usb (default: the processor found), usb:PATH (one of those list\n"
    "shows), sim, or tcp://HOST:PORT):\n"
    "  list                       processors found on USB, and whether they may be opened\n"
    "  info                       version and status of the processor\n"
    "  pull --slot S -o FILE      save slot S (0..9 or working) to a setting file\n"
    "  push FILE --slot S [--no-verify]\n"
    "                             store a setting file into slot S (0..8 or working) and\n"
    "                             read it back to compare\n"
    "  pull-all DIR               save slots 0..8 into DIR, with the group file Upload.set\n"
    "  push-group FILE.set        store a group's setting files into their slots\n"
    "  lock|unlock --password P   lock or unlock the processor's front panel\n"
    "  password NEW --password OLD\n"
    "                             change the front panel's password (0..999)\n"
    "  get FIELD... [--json]      print fields of the working settings as dump names and\n"
    "                             shows them (outputMutes.main left, bands[28].gain, ...)\n"
    "  set FIELD=VALUE...         change fields of the working settings, in dump's units:\n"
    "                             bands[28].gain=-3.0, bands[28].frequency=800 (Hz, onto the\n"
    "                             nearest step), masterMusic=40, outputMutes.controlMusic=off,\n"
    "                             'mix[main][mic]=40 muted'. One record per changed command,\n"
    "                             each acknowledged; a field unknown or a value out of range\n"
    "                             sends nothing. Prints what changed\n"
    "  watch [--every MS] [--all-records]\n"
    "                             print every record the processor sends and, reading the\n"
    "                             working settings every MS (1000), each change as\n"
    "                             FIELD: OLD -> NEW, until interrupted (exit 0)\n"
    "  With a locked front panel, pull, push, pull-all, push-group, get, set and watch need\n"
    "  --password.\n"
    "Many processors (info, pull, push, pull-all, push-group, get, set):\n"
    "  --connect URL ...          given more than once: every processor named, each by its URL\n"
    "  --hosts FILE               the processors in FILE, one a line: NAME tcp://HOST:PORT or\n"
    "                             NAME usb:PATH ('#' starts a comment)\n"
    "  --jobs N                   serve N processors at once (default 8)\n"
    "  Each processor prints one line as it finishes (NAME ok|FAILED|STOPPED|NOT RUN and\n"
    "  what happened), its data under its name, then a summary. pull -o DIR/FILE writes\n"
    "  DIR/NAME/FILE, pull-all DIR writes DIR/NAME/. Exit status 0 only when every processor\n"
    "  succeeded; Ctrl+C lets running uploads end before their store (exit 130).\n"
    "Device records:\n"
    "  encode CODE [BYTE...]      print a record's text (numbers decimal or 0x-hex)\n"
    "  decode [FILE]              read the processor's byte stream (stdin without FILE)\n"
    "                             and print each record and each dropped one\n"
    "\n"
    "kdspctl --version prints the version; kdspctl --help this text.\n";

using kdsp::tools::Args;
using kdsp::tools::ConnectTarget;
using kdsp::tools::DeviceWork;

struct Command {
  std::string_view name;
  int (*run)(const Args&) = nullptr;
  // A command on one processor only.
  int (*runOnDevice)(const ConnectTarget&, const Args&) = nullptr;
  // A command one processor at a time can do for many.
  DeviceWork (*prepare)(const Args&) = nullptr;
};

constexpr Command kCommands[] = {
    {"new", kdsp::tools::RunNew},
    {"dump", kdsp::tools::RunDump},
    {"diff", kdsp::tools::RunDiff},
    {"curve", kdsp::tools::RunCurve},
    {"eq", kdsp::tools::RunEq},
    {"encode", kdsp::tools::RunEncode},
    {"decode", kdsp::tools::RunDecode},
    {"list", nullptr, kdsp::tools::RunList},
    {"info", nullptr, nullptr, kdsp::tools::PrepareInfo},
    {"pull", nullptr, nullptr, kdsp::tools::PreparePull},
    {"push", nullptr, nullptr, kdsp::tools::PreparePush},
    {"pull-all", nullptr, nullptr, kdsp::tools::PreparePullAll},
    {"push-group", nullptr, nullptr, kdsp::tools::PreparePushGroup},
    {"lock", nullptr, kdsp::tools::RunLock},
    {"unlock", nullptr, kdsp::tools::RunUnlock},
    {"password", nullptr, kdsp::tools::RunPassword},
    {"get", nullptr, nullptr, kdsp::tools::PrepareGet},
    {"set", nullptr, nullptr, kdsp::tools::PrepareSet},
    {"watch", nullptr, kdsp::tools::RunWatch},
};

int Run(const Command& command, Args args, int argc, char** argv) {
  const kdsp::tools::TargetOptions given = kdsp::tools::TakeTargetOptions(args);
  if (command.run != nullptr) return command.run(args);
  const kdsp::tools::TargetChoice choice = kdsp::tools::ResolveTargets(given);
  if (command.prepare == nullptr && choice.venue)
    throw kdsp::tools::UsageError(std::string(command.name) +
                                  " works on one processor at a time: give one --connect and no "
                                  "--hosts");
  QCoreApplication app(argc, argv);  // the link runs on the event loop
  if (command.prepare == nullptr) return command.runOnDevice(choice.targets.front().connect, args);
  const DeviceWork work = command.prepare(args);
  if (choice.venue) return kdsp::tools::RunVenue(choice, work);
  kdsp::tools::ConsoleOutput console;
  work({choice.targets.front().connect, {}, console, nullptr});
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h") {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  if (std::string_view(argv[1]) == "--version") {
    std::fputs(kdsp::core::VersionLine("kdspctl").c_str(), stdout);
    return 0;
  }
  // The command is the first argument that is not a choice of processors or its value.
  Args all(argv + 1, argv + argc);
  std::string_view name;
  try {
    Args rest = all;
    kdsp::tools::TakeTargetOptions(rest);
    if (!rest.empty()) name = rest.front();
  } catch (const kdsp::tools::UsageError& e) {
    std::fprintf(stderr, "kdspctl: %s\n", e.what());
    return 2;
  }
  for (const Command& command : kCommands) {
    if (command.name != name) continue;
    Args args = all;
    args.erase(std::find(args.begin(), args.end(), name));
    try {
      return Run(command, args, argc, argv);
    } catch (const kdsp::tools::UsageError& e) {
      std::fprintf(stderr, "kdspctl: %s\n", e.what());
      return 2;
    } catch (const kdsp::tools::CommandFailure& e) {
      std::fprintf(stderr, "kdspctl: %s\n", e.what());
      return 1;
    } catch (const std::exception& e) {
      // Anything else that stopped the command (out of memory, a file system error) is a
      // failure like any other: 2 is kept for wrong usage.
      std::fprintf(stderr, "kdspctl: %s\n", e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "kdspctl: unknown command '%.*s'\n\n%s", static_cast<int>(name.size()),
               name.data(), kUsage);
  return 2;
}
