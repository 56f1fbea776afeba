// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the benchmarks that need Qt: a QApplication on the offscreen platform (unless one
// is chosen), so windows paint and sockets and timers run without a display.
#pragma once

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <functional>

namespace kdsp::bench {

// Set by Fail: the program then exits with 1, so a benchmark that goes wrong fails its smoke test.
inline bool anyFailed = false;

// Ends the benchmark with the reason shown in its row.
inline void Fail(benchmark::State& state, const char* why) {
  anyFailed = true;
  state.SkipWithError(why);
}

// beforeExit runs while the application still exists, for whatever must go before it.
inline int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& beforeExit = {}) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // a platform chosen by the caller stays
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (beforeExit) beforeExit();
  return anyFailed ? 1 : 0;
}

}  // namespace kdsp::bench
