// Waiting with the event loop running.
#include "device/event_loop_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace kdsp::device {
namespace {

// How often a wait looks at its condition when no event wakes it earlier.
constexpr int kPollMs = 5;

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  QElapsedTimer clock;
  clock.start();
  // A steady tick keeps the blocking processEvents call below from sleeping past the limit.
  QTimer tick;
  tick.start(kPollMs);
  while (!done()) {
    if (clock.elapsed() >= limit.count()) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, kPollMs);
  }
  return true;
}

long long WaitMs(int ms) {
  QElapsedTimer clock;
  clock.start();
  WaitUntil([&] { return clock.elapsed() >= ms; }, std::chrono::milliseconds(ms));
  return clock.elapsed();
}

}  // namespace kdsp::device
