// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl push of one setting file to a venue of 50 simulated processors on 127.0.0.1, each
// upload read back to verify, as a user runs it: the whole process, start to exit. Beside it, the
// same push to one processor in the same run; and both again against processors that answer
// every record 20 ms late.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim_process.h"

namespace {

namespace fs = std::filesystem;
using kdsp::bench::SimProcess;

constexpr int kVenueSize = 50;

// The processors of a venue and its hosts file, for the whole run.
class Venue {
 public:
  explicit Venue(int ackDelayMs)
      : sims_({"--ack-delay-ms", std::to_string(ackDelayMs)}, kVenueSize) {
    std::string pattern = (fs::temp_directory_path() / "kdsp-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    folder_ = pattern;
    std::ofstream hosts(folder_ / "hosts");
    for (std::size_t i = 0; i < sims_.urls().size(); ++i)
      hosts << "room-" << i + 1 << ' ' << sims_.urls()[i] << '\n';
    if (kdsp::bench::RunDiscardingOutput({KDSPCTL_PATH, "new", preset()}) != 0) folder_.clear();
  }
  ~Venue() {
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
  }
  Venue(const Venue&) = delete;
  Venue& operator=(const Venue&) = delete;

  bool ok() const { return !folder_.empty() && !sims_.urls().empty(); }
  std::string hosts() const { return (folder_ / "hosts").string(); }
  std::string preset() const { return (folder_ / "tuned.aex").string(); }
  const std::string& first() const { return sims_.urls().front(); }

 private:
  SimProcess sims_;
  fs::path folder_;
};

Venue& VenueAnswering(int ackDelayMs) {
  static Venue prompt(0);
  static Venue late(20);
  return ackDelayMs == 0 ? prompt : late;
}

void Run(benchmark::State& state, const std::vector<std::string>& args) {
  for (auto _ : state) {
    if (kdsp::bench::RunDiscardingOutput(args) != 0) return state.SkipWithError("kdspctl failed");
  }
}

// Arguments: the processors' reply delay in ms, and --jobs.
void BM_PushToVenue(benchmark::State& state) {
  const Venue& venue = VenueAnswering(static_cast<int>(state.range(0)));
  if (!venue.ok()) return state.SkipWithError("the simulated venue did not start");
  Run(state, {KDSPCTL_PATH, "push", venue.preset(), "--slot", "3", "--hosts", venue.hosts(),
              "--jobs", std::to_string(state.range(1))});
  state.counters["processors"] = kVenueSize;
}
BENCHMARK(BM_PushToVenue)
    ->ArgNames({"ack_ms", "jobs"})
    ->Args({0, 50})
    ->Args({0, 8})
    ->Args({20, 50})
    ->Args({20, 8})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Argument: the processor's reply delay in ms.
void BM_PushToOne(benchmark::State& state) {
  const Venue& venue = VenueAnswering(static_cast<int>(state.range(0)));
  if (!venue.ok()) return state.SkipWithError("the simulated venue did not start");
  Run(state, {KDSPCTL_PATH, "--connect", venue.first(), "push", venue.preset(), "--slot", "3"});
}
BENCHMARK(BM_PushToOne)
    ->ArgNames({"ack_ms"})
    ->Arg(0)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
