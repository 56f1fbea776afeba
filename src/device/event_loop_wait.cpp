// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting in the event loop: the loop sleeps until something arrives (a socket turning readable,
// a timer, a posted event) and the condition is looked at whenever the loop has handled what
// arrived and is about to sleep again. Nothing ticks and nothing spins.
#include "device/event_loop_wait.h"

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace kdsp::device {
namespace {

// Runs a local event loop until `finished` holds when the loop is about to sleep, or the
// deadline passes; `every`, when above zero, also wakes the loop that often for conditions
// no event announces.
void Sleep(const std::function<bool()>& finished, std::chrono::milliseconds limit,
           std::chrono::milliseconds every) {
  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
    // A timer may fire a little early; the wait is not cut short for that.
    const auto left = limit.count() - clock.elapsed();
    if (left > 0) {
      deadline.start(static_cast<int>(left));
    } else {
      loop.quit();
    }
  });
  QTimer look;
  if (every.count() > 0) {
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
      if (finished()) loop.quit();
    });
    look.start(every);
  }
  const auto check = QObject::connect(QAbstractEventDispatcher::instance(),
                                      &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
                                        if (finished()) loop.quit();
                                      });
  deadline.start(static_cast<int>(std::max<long long>(limit.count(), 0)));
  loop.exec();
  QObject::disconnect(check);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  if (done()) return true;
  Sleep(done, limit, std::chrono::milliseconds(0));
  return done();
}

bool WaitUntilLooking(const std::function<bool()>& done, std::chrono::milliseconds limit,
                      std::chrono::milliseconds every) {
  if (done()) return true;
  Sleep(done, limit, every);
  return done();
}

long long WaitMs(int ms) {
  QElapsedTimer clock;
  clock.start();
  Sleep([] { return false; }, std::chrono::milliseconds(ms), std::chrono::milliseconds(0));
  return clock.elapsed();
}

}  // namespace kdsp::device
