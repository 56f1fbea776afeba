// SPDX-License-Identifier: GPL-3.0-or-later
// The processors a device command is run on: "--connect URL" (any number of times), "--hosts
// FILE" and "--jobs N", taken out of the arguments wherever they stand.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli_support.h"
#include "device_session.h"

namespace kdsp::tools {

// The options as given, not yet looked at.
struct TargetOptions {
  std::vector<std::string> connectUrls;
  std::optional<std::string> hostsFile;
  std::optional<std::string> jobs;
};

// Removes the options from args; throws UsageError for one without its value.
TargetOptions TakeTargetOptions(Args& args);

struct NamedTarget {
  std::string name;    // as the hosts file names it, or the --connect URL
  std::string folder;  // the name as a folder's: the URL's characters a folder cannot hold as '_'
  ConnectTarget connect;
};

inline constexpr int kDefaultJobs = 8;
inline constexpr int kMostJobs = 256;

// What the options ask for.
struct TargetChoice {
  std::vector<NamedTarget> targets;  // never empty: "usb" when nothing else is given
  int jobs = kDefaultJobs;           // how many processors are served at once
  // Several processors, or a hosts file: each processor's output comes under its name.
  bool venue = false;
};

// Reads the hosts file and the URLs; throws UsageError (a bad URL, a bad line of the hosts file,
// a processor given twice, --jobs out of 1..256).
TargetChoice ResolveTargets(const TargetOptions& options);

// "tcp://10.0.0.7:8899" as a folder's name: "10.0.0.7_8899".
std::string FolderNameOf(std::string_view url);

}  // namespace kdsp::tools
