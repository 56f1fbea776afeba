// SPDX-License-Identifier: GPL-3.0-or-later
// The read thread of one device and its synchronous hand-over to the user-interface thread.
#include "device/hid_read_thread.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "device/hid_device.h"

namespace kdsp::device {

// One report or read error on its way to the user-interface thread. The read thread posts it
// and waits; the user-interface thread serves it from the event loop or from inside Stop.
struct HidReadThread::Mailbox : std::enable_shared_from_this<Mailbox> {
  enum class State { kEmpty, kPosted, kTaken, kDone };

  std::mutex mutex;
  std::condition_variable changed;
  State state = State::kEmpty;
  bool stop = false;
  bool abandoned = false;  // the stop came from inside the event being served: do not wait for it
  bool finished = false;   // the read thread has left its loop

  bool isError = false;
  int errorCode = 0;
  std::vector<std::uint8_t> report;  // report ID first; the thread leaves it alone while taken

  HidDevice* device = nullptr;  // used on the user-interface thread only

  // Read thread: posts the report (or error) and blocks until it has been handled. False once
  // a stop was requested; nothing is posted then.
  bool post(QObject* dispatcher, std::span<const std::uint8_t> bytes, bool error, int code);

  // Read thread: waits ms unless a stop comes first; false when stopping.
  bool pause(int ms);

  // User-interface thread: runs the device's event for a posted report, if one is posted.
  void serve();
};

bool HidReadThread::Mailbox::post(QObject* dispatcher, std::span<const std::uint8_t> bytes,
                                  bool error, int code) {
  std::unique_lock lock(mutex);
  if (stop) return false;
  isError = error;
  errorCode = code;
  report.assign(bytes.begin(), bytes.end());
  state = State::kPosted;
  changed.notify_all();  // a stop may be waiting for a post
  lock.unlock();

  // The call holds the mailbox, not the thread object: it stays valid whatever the event does,
  // and once the thread has stopped the mailbox is never posted again, so a late call does
  // nothing.
  QMetaObject::invokeMethod(
      dispatcher, [mailbox = shared_from_this()] { mailbox->serve(); }, Qt::QueuedConnection);

  lock.lock();
  changed.wait(lock, [this] { return state == State::kDone || abandoned; });
  state = State::kEmpty;
  return !stop;
}

bool HidReadThread::Mailbox::pause(int ms) {
  std::unique_lock lock(mutex);
  changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop; });
  return !stop;
}

void HidReadThread::Mailbox::serve() {
  {
    std::lock_guard lock(mutex);
    if (state != State::kPosted) return;
    state = State::kTaken;
  }
  // Hold the mailbox: the event may stop the thread and free the device with it.
  const auto self = shared_from_this();
  if (isError) {
    device->DeliverError(errorCode);
  } else {
    device->DeliverData(report[0], std::span<const std::uint8_t>(report).subspan(1));
  }
  std::lock_guard lock(mutex);
  state = State::kDone;
  changed.notify_all();
}

HidReadThread::HidReadThread(HidDevice& device, QObject& dispatcher,
                             std::unique_ptr<HidPlatformHandle> handle, int reportLength,
                             int sleepMs)
    : mailbox_(std::make_shared<Mailbox>()), handle_(std::move(handle)) {
  mailbox_->device = &device;
  thread_ = std::thread(&HidReadThread::Run, &dispatcher, mailbox_, handle_.get(), reportLength,
                        std::max(sleepMs, 1));
}

HidReadThread::~HidReadThread() {
  Stop(false);
}

void HidReadThread::Stop(bool serve) {
  if (!thread_.joinable()) return;
  const auto mailbox = mailbox_;
  {
    std::lock_guard lock(mailbox->mutex);
    mailbox->stop = true;
    if (mailbox->state == Mailbox::State::kTaken) mailbox->abandoned = true;
    mailbox->changed.notify_all();
  }
  handle_->cancel();
  for (;;) {
    std::unique_lock lock(mailbox->mutex);
    mailbox->changed.wait(
        lock, [&] { return mailbox->state == Mailbox::State::kPosted || mailbox->finished; });
    if (mailbox->state != Mailbox::State::kPosted) break;
    if (serve) {
      lock.unlock();
      mailbox->serve();
    } else {
      mailbox->state = Mailbox::State::kDone;
      mailbox->changed.notify_all();
    }
  }
  thread_.join();
}

void HidReadThread::Run(QObject* dispatcher, std::shared_ptr<Mailbox> mailbox,
                        HidPlatformHandle* handle, int reportLength, int sleepMs) {
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(reportLength));
  bool running = true;
  while (running) {
    {
      std::lock_guard lock(mailbox->mutex);
      if (mailbox->stop) break;
    }
    std::fill(buffer.begin(), buffer.end(), 0);
    const int n = handle->read(buffer, sleepMs);
    if (n < 0) {
      const int code = handle->errorCode() != 0 ? handle->errorCode() : EIO;
      // A device that keeps failing (pulled out, not yet noticed) is retried after one step
      // rather than at once, so the two threads do not spin on it.
      running = mailbox->post(dispatcher, {}, true, code) && mailbox->pause(sleepMs);
    } else if (n > 0) {
      running = mailbox->post(
          dispatcher,
          std::span<const std::uint8_t>(buffer).first(std::min<std::size_t>(n, buffer.size())),
          false, 0);
    }
  }
  std::lock_guard lock(mailbox->mutex);
  mailbox->finished = true;
  mailbox->changed.notify_all();
}

}  // namespace kdsp::device
