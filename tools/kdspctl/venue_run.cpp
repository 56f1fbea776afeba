// SPDX-License-Identifier: GPL-3.0-or-later
// Serving many processors with a pool of worker threads.
#include "venue_run.h"

#include <QObject>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <memory>

#include "device/event_loop_wait.h"
#include "stop_signals.h"

namespace kdsp::tools {
namespace {

struct OutcomeWords {
  TargetOutcome outcome;
  std::string_view status;   // on the processor's line
  std::string_view counted;  // in the summary
};

constexpr OutcomeWords kOutcomeWords[] = {
    {TargetOutcome::kOk, "ok", "ok"},
    {TargetOutcome::kFailed, "FAILED", "failed"},
    {TargetOutcome::kStopped, "STOPPED", "stopped"},
    {TargetOutcome::kNotRun, "NOT RUN", "not run"},
};

// The table is indexed by outcome.
constexpr bool InOutcomeOrder() {
  for (std::size_t i = 0; i < std::size(kOutcomeWords); ++i)
    if (static_cast<std::size_t>(kOutcomeWords[i].outcome) != i) return false;
  return true;
}
static_assert(InOutcomeOrder());
static_assert(std::size(kOutcomeWords) == kTargetOutcomeCount);

constexpr std::size_t kStatusWidth = 7;  // the longest status word

const OutcomeWords& WordsOf(TargetOutcome outcome) {
  return kOutcomeWords[static_cast<std::size_t>(outcome)];
}

std::string Padded(std::string_view text, std::size_t width) {
  std::string padded(text);
  if (padded.size() < width) padded.append(width - padded.size(), ' ');
  return padded;
}

// A command's failure may run over several lines, the later ones headed as kdspctl heads them.
std::vector<std::string> FailureLines(const std::string& text) {
  std::vector<std::string> lines = SplitLines(text);
  constexpr std::string_view kHead = "kdspctl: ";
  for (std::string& line : lines)
    if (line.starts_with(kHead)) line.erase(0, kHead.size());
  return lines;
}

struct Ending {
  TargetOutcome outcome;
  std::string text;
};

Ending Serve(const DeviceWork& work, const TargetContext& context, const CollectedOutput& output) {
  try {
    work(context);
    return {TargetOutcome::kOk, output.result()};
  } catch (const StoppedFailure& e) {
    return {TargetOutcome::kStopped, e.what()};
  } catch (const std::exception& e) {
    return {TargetOutcome::kFailed, e.what()};
  }
}

}  // namespace

VenueReport::VenueReport(const std::vector<NamedTarget>& targets, std::FILE* out, std::FILE* err)
    : total_(targets.size()), out_(out), err_(err) {
  for (const NamedTarget& t : targets) nameWidth_ = std::max(nameWidth_, t.name.size());
}

void VenueReport::print(const std::string& name, TargetOutcome outcome, const std::string& text,
                        const CollectedOutput& output) {
  const std::string head = Padded(name, nameWidth_) + "  ";
  std::string lines;
  std::vector<std::string> said = FailureLines(text);
  if (said.empty()) said.emplace_back();
  lines += head + Padded(WordsOf(outcome).status, kStatusWidth) + "  " + said.front();
  while (!lines.empty() && lines.back() == ' ') lines.pop_back();
  lines += '\n';
  for (std::size_t i = 1; i < said.size(); ++i) lines += head + said[i] + '\n';
  for (const std::string& line : output.dataLines()) lines += head + line + '\n';
  std::string messages;
  // A stopped processor's messages tell of the records held back, which its line already says.
  if (outcome != TargetOutcome::kStopped)
    for (const std::string& m : output.messages()) messages += head + m + '\n';

  const std::lock_guard lock(mutex_);
  ++counts_[static_cast<std::size_t>(outcome)];
  std::fwrite(lines.data(), 1, lines.size(), out_);
  std::fflush(out_);
  std::fwrite(messages.data(), 1, messages.size(), err_);
  std::fflush(err_);
}

int VenueReport::finish(bool interrupted) {
  const std::lock_guard lock(mutex_);
  std::string summary = std::to_string(total_) + (total_ == 1 ? " processor: " : " processors: ");
  summary += std::to_string(counts_[0]) + " ok";
  for (std::size_t i = 1; i < std::size(kOutcomeWords); ++i)
    if (counts_[i] > 0)
      summary += ", " + std::to_string(counts_[i]) + " " + std::string(kOutcomeWords[i].counted);
  summary += '\n';
  std::fwrite(summary.data(), 1, summary.size(), out_);
  std::fflush(out_);
  if (counts_[0] == total_) return 0;
  return interrupted ? 130 : 1;
}

void RunOnTargets(const std::vector<NamedTarget>& targets, int jobs, const DeviceWork& work,
                  std::atomic<bool>& stop, VenueReport& report,
                  const std::function<bool()>& interrupted) {
  std::atomic<std::size_t> next{0};
  const auto serveQueue = [&] {
    for (std::size_t i; (i = next++) < targets.size();) {
      const NamedTarget& target = targets[i];
      CollectedOutput output;
      if (stop.load()) {
        report.print(target.name, TargetOutcome::kNotRun, "stopped before it started", output);
        continue;
      }
      // The connection and everything it owns are made and ended on this thread.
      const TargetContext context{target.connect, target.folder, output, &stop};
      const Ending ending = Serve(work, context, output);
      report.print(target.name, ending.outcome, ending.text, output);
    }
  };
  const std::size_t workers = std::min(static_cast<std::size_t>(std::max(jobs, 1)), targets.size());
  std::size_t finished = 0;
  QObject counter;  // lives on this thread: the workers' ends are counted here, as events
  std::vector<std::unique_ptr<QThread>> threads;
  for (std::size_t w = 0; w < workers; ++w) {
    threads.emplace_back(QThread::create(serveQueue));
    QObject::connect(threads.back().get(), &QThread::finished, &counter, [&] { ++finished; });
    threads.back()->start();
  }
  while (finished < workers) {
    device::WaitUntil([&] { return finished == workers || (interrupted() && !stop.load()); },
                      std::chrono::hours(1));
    if (interrupted()) stop = true;
  }
  for (const auto& thread : threads) thread->wait();
}

int RunVenue(const TargetChoice& choice, const DeviceWork& work) {
  const StopSignals stopSignals;
  std::atomic<bool> stop{false};
  VenueReport report(choice.targets, stdout, stderr);
  RunOnTargets(choice.targets, choice.jobs, work, stop, report,
               [&] { return stopSignals.requested(); });
  return report.finish(stopSignals.requested());
}

}  // namespace kdsp::tools
