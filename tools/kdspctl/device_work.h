// SPDX-License-Identifier: GPL-3.0-or-later
// A device command with its arguments checked and its input files read: what is left is its work
// on one processor, which may run for many processors at once, each on a thread of its own.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>

#include "cli_support.h"
#include "command_output.h"
#include "device_session.h"

namespace kdsp::tools {

// What the work on one processor is given.
struct TargetContext {
  ConnectTarget connect;
  // The name of this processor's own folder inside the folder a command writes into (pull,
  // pull-all) when several processors are served; empty exactly when one is.
  std::string folder;
  CommandOutput& out;
  // Set once the run is to stop: work that has not reached the processor yet does not start,
  // and an upload under way sends nothing more (see StopGate).
  const std::atomic<bool>* stop = nullptr;

  bool alone() const { return folder.empty(); }
  bool stopRequested() const { return stop != nullptr && stop->load(); }
  // Where a file named `path` goes for this processor: into its own folder beside the file's
  // name when several processors are served, else `path` itself.
  std::filesystem::path ownPath(const std::filesystem::path& path) const;
};

// The work ended because the run was told to stop.
class StoppedFailure : public CommandFailure {
 public:
  using CommandFailure::CommandFailure;
};

// Throws StoppedFailure, saying what was left undone, when the run is to stop.
void ThrowIfStopped(const TargetContext& context, const std::string& undone);

using DeviceWork = std::function<void(const TargetContext&)>;

}  // namespace kdsp::tools
