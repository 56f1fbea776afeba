// SPDX-License-Identifier: GPL-3.0-or-later
// The pool that serves many processors: never more at once than asked, everything reported once,
// a stop leaves the rest unstarted, and the report's lines as a user reads them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>

#include "venue_run.h"

namespace kdsp::tools {
namespace {

using namespace std::chrono_literals;

std::vector<NamedTarget> Targets(int n) {
  std::vector<NamedTarget> targets;
  for (int i = 1; i <= n; ++i)
    targets.push_back({"room-" + std::to_string(i), "room-" + std::to_string(i), {}});
  return targets;
}

// A report printed into memory.
class PrintedReport {
 public:
  explicit PrintedReport(const std::vector<NamedTarget>& targets)
      : out_(std::tmpfile()), err_(std::tmpfile()), report(targets, out_, err_) {}
  ~PrintedReport() {
    std::fclose(out_);
    std::fclose(err_);
  }
  std::string out() const { return Read(out_); }
  std::string err() const { return Read(err_); }

 private:
  static std::string Read(std::FILE* file) {
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    return text;
  }
  std::FILE* out_;
  std::FILE* err_;

 public:
  VenueReport report;
};

const auto kNeverInterrupted = [] { return false; };

TEST(VenuePoolTest, NeverMoreProcessorsAtOnceThanJobs) {
  for (const int jobs : {1, 3, 12, 40}) {
    const auto targets = Targets(12);
    const int expectedPeak = std::min(jobs, 12);
    std::mutex mutex;
    std::condition_variable changed;
    int active = 0, peak = 0;
    bool peakReached = false;
    // Each waits until as many as may run at once have started, so the peak is reached
    // whatever the machine's speed, and shows whether more could start.
    const DeviceWork work = [&](const TargetContext& context) {
      std::unique_lock lock(mutex);
      peak = std::max(peak, ++active);
      if (active == expectedPeak) peakReached = true;
      changed.notify_all();
      changed.wait_for(lock, 10s, [&] { return peakReached; });
      // A pool that starts more than it may shows it within this while.
      changed.wait_for(lock, 100ms, [&] { return active > expectedPeak; });
      --active;
      context.out.done("served");
    };
    PrintedReport printed(targets);
    std::atomic<bool> stop{false};
    RunOnTargets(targets, jobs, work, stop, printed.report, kNeverInterrupted);
    EXPECT_EQ(peak, expectedPeak) << "--jobs " << jobs;
    EXPECT_EQ(printed.report.finish(false), 0);
    const std::string out = printed.out();
    for (const NamedTarget& t : targets) {
      const std::string line =
          t.name + std::string(7 - t.name.size() + 2, ' ') + "ok       served\n";
      EXPECT_EQ(out.find(line), out.rfind(line)) << "reported more than once: " << t.name;
      EXPECT_NE(out.find(line), std::string::npos) << out;
    }
    EXPECT_TRUE(out.ends_with("\n12 processors: 12 ok\n")) << out;
  }
}

TEST(VenuePoolTest, AStopLeavesTheTargetsNotStartedUnrun) {
  const auto targets = Targets(5);
  std::atomic<bool> asked{false};
  const DeviceWork work = [&](const TargetContext& context) {
    asked = true;
    // Wakes the waiting thread, as a signal's notifier would.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
    for (int i = 0; i < 1000 && !context.stopRequested(); ++i) std::this_thread::sleep_for(10ms);
    ThrowIfStopped(context, "slot 3 (3) was left unchanged");
  };
  PrintedReport printed(targets);
  std::atomic<bool> stop{false};
  RunOnTargets(targets, 1, work, stop, printed.report, [&] { return asked.load(); });
  EXPECT_EQ(printed.report.finish(true), 130);
  EXPECT_EQ(printed.out(),
            "room-1  STOPPED  stopped; slot 3 (3) was left unchanged\n"
            "room-2  NOT RUN  stopped before it started\n"
            "room-3  NOT RUN  stopped before it started\n"
            "room-4  NOT RUN  stopped before it started\n"
            "room-5  NOT RUN  stopped before it started\n"
            "5 processors: 0 ok, 1 stopped, 4 not run\n");
}

TEST(VenueReportTest, EachProcessorsLinesComeTogetherUnderItsName) {
  const std::vector<NamedTarget> targets = {{"bar", "bar", {}}, {"room-12", "room-12", {}}};
  struct Case {
    std::string name;
    TargetOutcome outcome;
    std::string text;
    std::vector<std::string> data;
    std::vector<std::string> messages;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {"bar",
       TargetOutcome::kOk,
       "",
       {"masterMusic = 30", "bands[28].gain = +0.0 dB"},
       {},
       "bar      ok\n"
       "bar      masterMusic = 30\n"
       "bar      bands[28].gain = +0.0 dB\n",
       ""},
      {"room-12",
       TargetOutcome::kFailed,
       "masterMusic: 58 is above the music maximum volume, 55\nkdspctl: nothing was sent",
       {},
       {"Upload Error"},
       "room-12  FAILED   masterMusic: 58 is above the music maximum volume, 55\n"
       "room-12  nothing was sent\n",
       "room-12  Upload Error\n"},
      // What a stopped processor's link said is about the records held back: not repeated.
      {"bar",
       TargetOutcome::kStopped,
       "stopped during the upload; slot 3 (3) was left unchanged",
       {},
       {"No connecting device!"},
       "bar      STOPPED  stopped during the upload; slot 3 (3) was left unchanged\n",
       ""},
  };
  for (const Case& c : cases) {
    PrintedReport printed(targets);
    CollectedOutput output;
    for (const std::string& line : c.data) output.data(line + "\n");
    for (const std::string& line : c.messages) output.message(line);
    printed.report.print(c.name, c.outcome, c.text, output);
    EXPECT_EQ(printed.out(), c.out);
    EXPECT_EQ(printed.err(), c.err);
  }
}

TEST(VenueReportTest, TheSummaryCountsAndTheExitStatusFollows) {
  struct Case {
    std::vector<TargetOutcome> outcomes;
    bool interrupted;
    std::string summary;
    int status;
  };
  using O = TargetOutcome;
  const Case cases[] = {
      {{O::kOk}, false, "1 processor: 1 ok\n", 0},
      {{O::kOk, O::kOk, O::kFailed}, false, "3 processors: 2 ok, 1 failed\n", 1},
      {{O::kFailed, O::kFailed}, false, "2 processors: 0 ok, 2 failed\n", 1},
      {{O::kOk, O::kStopped, O::kNotRun, O::kFailed},
       true,
       "4 processors: 1 ok, 1 failed, 1 stopped, 1 not run\n",
       130},
      // An interruption that came when every processor was done left nothing undone.
      {{O::kOk, O::kOk}, true, "2 processors: 2 ok\n", 0},
  };
  for (const Case& c : cases) {
    const auto targets = Targets(static_cast<int>(c.outcomes.size()));
    PrintedReport printed(targets);
    for (std::size_t i = 0; i < c.outcomes.size(); ++i)
      printed.report.print(targets[i].name, c.outcomes[i], "", CollectedOutput());
    EXPECT_EQ(printed.report.finish(c.interrupted), c.status) << c.summary;
    const std::string out = printed.out();
    EXPECT_EQ(out.substr(out.rfind('\n', out.size() - 2) + 1), c.summary);
  }
}

}  // namespace
}  // namespace kdsp::tools
