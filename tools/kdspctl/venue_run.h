// SPDX-License-Identifier: GPL-3.0-or-later
// One device command on many processors at once: a pool of worker threads takes the processors
// in turn, each served by a connection of its own made and ended on its worker's thread, so one
// processor's waits never hold up another's. Each processor's lines are printed together as it
// finishes, then a summary.
#pragma once

#include <array>
#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "command_output.h"
#include "device_work.h"
#include "target_options.h"

namespace kdsp::tools {

enum class TargetOutcome { kOk, kFailed, kStopped, kNotRun };
inline constexpr std::size_t kTargetOutcomeCount = 4;

// Prints the processors' reports, whichever thread they come from, each whole.
class VenueReport {
 public:
  // names: every processor's, to align the columns. Reports go to `out`, the link's messages
  // to `err`.
  VenueReport(const std::vector<NamedTarget>& targets, std::FILE* out, std::FILE* err);

  // "room-3   ok       TEXT", then the data lines and the messages, each under the name.
  void print(const std::string& name, TargetOutcome outcome, const std::string& text,
             const CollectedOutput& output);
  // "12 processors: 11 ok, 1 failed"; the exit status the run ends with: 0 when every processor
  // succeeded, else 130 when the run was interrupted and 1 when it was not.
  int finish(bool interrupted);

 private:
  std::size_t nameWidth_ = 0;
  std::size_t total_ = 0;
  std::FILE* out_;
  std::FILE* err_;
  std::mutex mutex_;
  std::array<std::size_t, kTargetOutcomeCount> counts_{};
};

// Runs work on every target, at most `jobs` at a time, handling this thread's events meanwhile;
// `interrupted`, looked at whenever events have been handled, sets `stop`. Targets not started
// once `stop` is set are reported as not run. Returns when every target has been reported.
void RunOnTargets(const std::vector<NamedTarget>& targets, int jobs, const DeviceWork& work,
                  std::atomic<bool>& stop, VenueReport& report,
                  const std::function<bool()>& interrupted);

// The whole run as kdspctl does it: SIGINT and SIGTERM stop it; prints on stdout and stderr.
// Returns the exit status as VenueReport::finish does.
int RunVenue(const TargetChoice& choice, const DeviceWork& work);

}  // namespace kdsp::tools
