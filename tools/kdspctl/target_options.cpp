// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the processors a device command runs on.
#include "target_options.h"

#include <set>

#include "hosts_file.h"

namespace kdsp::tools {

TargetOptions TakeTargetOptions(Args& args) {
  TargetOptions options;
  Args rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    if (a != "--connect" && a != "--hosts" && a != "--jobs") {
      rest.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) {
      if (a == "--connect") throw UsageError("--connect needs usb, usb:PATH, sim or tcp://HOST:PORT");
      throw UsageError(std::string(a) + (a == "--hosts" ? " needs a file" : " needs a number"));
    }
    const std::string value(args[++i]);
    if (a == "--connect") {
      options.connectUrls.push_back(value);
    } else if (a == "--hosts") {
      options.hostsFile = value;
    } else {
      options.jobs = value;
    }
  }
  args = std::move(rest);
  return options;
}

std::string FolderNameOf(std::string_view url) {
  constexpr std::string_view kTcp = "tcp://";
  if (url.starts_with(kTcp)) url.remove_prefix(kTcp.size());
  std::string folder;
  for (const char c : url) folder += IsNameCharacter(c) ? c : '_';
  if (folder.empty() || folder.front() == '.') folder.insert(folder.begin(), '_');
  return folder;
}

TargetChoice ResolveTargets(const TargetOptions& options) {
  TargetChoice choice;
  if (options.jobs)
    choice.jobs = static_cast<int>(ParseNumber(*options.jobs, 1, kMostJobs, "--jobs"));
  std::set<std::string, std::less<>> names;
  std::set<std::string, std::less<>> folders;
  const auto add = [&](std::string name, std::string folder, const std::string& url) {
    if (!names.insert(name).second) throw UsageError(name + " is given twice");
    if (!folders.insert(folder).second)
      throw UsageError(name + " would share its folder " + folder + " with another processor");
    choice.targets.push_back({std::move(name), std::move(folder), ParseConnectUrl(url)});
  };
  if (options.hostsFile) {
    for (const HostsEntry& entry : ReadHostsFile(*options.hostsFile))
      add(entry.name, entry.name, entry.url);
  }
  for (const std::string& url : options.connectUrls) add(url, FolderNameOf(url), url);
  choice.venue = options.hostsFile.has_value() || choice.targets.size() > 1;
  if (choice.targets.empty()) add("usb", "usb", "usb");
  return choice;
}

}  // namespace kdsp::tools
