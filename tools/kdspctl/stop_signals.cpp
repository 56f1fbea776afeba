// SPDX-License-Identifier: GPL-3.0-or-later
// Signals turned into an event: the handler only writes a byte to a pipe the event loop watches,
// which is all a signal handler may safely do.
#include "stop_signals.h"

#include <QSocketNotifier>
#include <csignal>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kdsp::tools {
namespace {

volatile std::sig_atomic_t gStopRequested = 0;
#ifdef Q_OS_UNIX
int gWakeFds[2] = {-1, -1};
struct sigaction gPreviousInt {};
struct sigaction gPreviousTerm {};
#endif

extern "C" void OnStopSignal(int) {
  gStopRequested = 1;
#ifdef Q_OS_UNIX
  const char byte = 1;
  // A full pipe already holds a wake-up; the result does not matter.
  [[maybe_unused]] const auto written = ::write(gWakeFds[1], &byte, 1);
#endif
}

}  // namespace

StopSignals::StopSignals() {
  gStopRequested = 0;
#ifdef Q_OS_UNIX
  if (::pipe(gWakeFds) == 0) {
    for (int fd : gWakeFds) {
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
      ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    notifier_ = std::make_unique<QSocketNotifier>(gWakeFds[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [] {
      char drained[16];
      while (::read(gWakeFds[0], drained, sizeof drained) > 0) {
      }
    });
  }
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, &gPreviousInt);
  ::sigaction(SIGTERM, &action, &gPreviousTerm);
#else
  // Without a pipe the waiting loop sees the request at its next wake-up.
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
#endif
}

StopSignals::~StopSignals() {
#ifdef Q_OS_UNIX
  ::sigaction(SIGINT, &gPreviousInt, nullptr);
  ::sigaction(SIGTERM, &gPreviousTerm, nullptr);
  notifier_.reset();
  for (int& fd : gWakeFds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
#else
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
#endif
}

bool StopSignals::requested() const {
  return gStopRequested != 0;
}

}  // namespace kdsp::tools
