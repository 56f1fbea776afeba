// SPDX-License-Identifier: GPL-3.0-or-later
// The waits sleep between events: they end when what they wait for arrives, at their limit
// otherwise, and cost no processor time meanwhile.
#include "device/event_loop_wait.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QTimer>
#include <atomic>
#include <thread>

namespace kdsp::device {
namespace {

using namespace std::chrono_literals;

// Processor time this process has used, in milliseconds.
double CpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

TEST(EventLoopWait, AnEventThatBringsTheConditionEndsTheWait) {
  bool arrived = false;
  QTimer::singleShot(20, [&] { arrived = true; });
  EXPECT_TRUE(WaitUntil([&] { return arrived; }, 60s));
  // Events keep being handled after the condition held and the limit is not waited out.
  int ticks = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
  tick.start(5);
  EXPECT_TRUE(WaitUntil([&] { return ticks >= 3; }, 60s));
}

TEST(EventLoopWait, TheLimitEndsAWaitForWhatNeverComes) {
  bool never = false;
  EXPECT_FALSE(WaitUntil([&] { return never; }, 50ms));
  EXPECT_GE(WaitMs(30), 30);
}

TEST(EventLoopWait, WaitingSleeps) {
  const double before = CpuMs();
  WaitMs(300);
  EXPECT_FALSE(WaitUntil([] { return false; }, 300ms));
  // A wait that spun would have used about all of the 600 ms.
  EXPECT_LT(CpuMs() - before, 150.0);
}

TEST(EventLoopWait, AnotherThreadsFlagIsSeenByTheLookingWait) {
  std::atomic<bool> set{false};
  std::thread other([&] {
    std::this_thread::sleep_for(20ms);
    set = true;
  });
  EXPECT_TRUE(WaitUntilLooking([&] { return set.load(); }, 60s, 10ms));
  other.join();
}

TEST(EventLoopWait, AWaitInsideAnEventOfAnotherWaitEndsBoth) {
  bool inner = false, outer = false;
  QTimer::singleShot(10, [&] {
    QTimer::singleShot(10, [&] { inner = true; });
    EXPECT_TRUE(WaitUntil([&] { return inner; }, 60s));
    outer = true;
  });
  EXPECT_TRUE(WaitUntil([&] { return outer; }, 60s));
}

}  // namespace
}  // namespace kdsp::device
