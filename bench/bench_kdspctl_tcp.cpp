// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl commands against the kdsp-sim server over 127.0.0.1, end to end as a user runs them:
// the process starts, connects, greets, does its work and exits. A command takes what its work
// takes: no fixed settle wait, no wait that spins.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>
#include <utility>
#include <vector>

#include "sim_process.h"

namespace {

using kdsp::bench::SimProcess;

SimProcess& Sim() {
  static SimProcess sim;
  return sim;
}

// Runs kdspctl with its output discarded; the exit status, or -1.
int RunKdspctl(std::vector<std::string> args) {
  args.insert(args.begin(), {KDSPCTL_PATH, "--connect", Sim().url()});
  return kdsp::bench::RunDiscardingOutput(std::move(args));
}

// Wall time per command, and the processor time the commands used (children's user + system),
// which a wait that spins would fill.
void Measure(benchmark::State& state, const std::vector<std::vector<std::string>>& commands) {
  if (Sim().url().empty()) return state.SkipWithError("kdsp-sim did not start");
  rusage before{};
  ::getrusage(RUSAGE_CHILDREN, &before);
  std::size_t i = 0;
  for (auto _ : state) {
    if (RunKdspctl(commands[i++ % commands.size()]) != 0)
      return state.SkipWithError("kdspctl failed");
  }
  rusage after{};
  ::getrusage(RUSAGE_CHILDREN, &after);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  const double cpu = seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) -
                     seconds(before.ru_stime);
  state.counters["cpu_ms"] =
      benchmark::Counter(cpu * 1000 / static_cast<double>(state.iterations()));
}

void BM_Info(benchmark::State& state) {
  Measure(state, {{"info"}});
}
BENCHMARK(BM_Info)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Get(benchmark::State& state) {
  Measure(state, {{"get", "masterMusic", "bands[28].gain"}});
}
BENCHMARK(BM_Get)->Unit(benchmark::kMillisecond)->UseRealTime();

// Two values in turn, so every run changes something and sends its records.
void BM_Set(benchmark::State& state) {
  Measure(state, {{"set", "masterMusic=40", "bands[28].gain=-3.0"},
                  {"set", "masterMusic=30", "bands[28].gain=+1.5"}});
}
BENCHMARK(BM_Set)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
