// SPDX-License-Identifier: GPL-3.0-or-later
// The read thread of one checked-out device: it reads input reports and hands each report, and
// each read error, to the user-interface thread, blocking until the event has run there.
#pragma once

#include <QObject>
#include <memory>
#include <thread>

#include "device/hid_platform.h"

namespace kdsp::device {

class HidDevice;

class HidReadThread {
 public:
  // Made and stopped on the user-interface thread. Reports are handed over through the event
  // loop of dispatcher's thread, where the device's events then run; dispatcher outlives the
  // read thread and is not deleted from inside one of its events. reportLength is the input
  // report length (report ID byte included, above 0); sleepMs bounds each wait for a report,
  // and so how long a stop takes.
  HidReadThread(HidDevice& device, QObject& dispatcher, std::unique_ptr<HidPlatformHandle> handle,
                int reportLength, int sleepMs);
  ~HidReadThread();  // stops without delivering what waits
  HidReadThread(const HidReadThread&) = delete;
  HidReadThread& operator=(const HidReadThread&) = delete;

  // Ends the thread and waits for it. Meanwhile a report or error waiting to be handed over is
  // delivered when serve is set (and dropped otherwise), so a report that arrives during the
  // stop never leaves both threads waiting for each other. The event may free the device.
  // Called from inside one of this thread's events, that event's report is not waited for.
  void Stop(bool serve);

 private:
  struct Mailbox;

  std::shared_ptr<Mailbox> mailbox_;
  std::unique_ptr<HidPlatformHandle> handle_;
  std::thread thread_;

  // The thread's loop.
  static void Run(QObject* dispatcher, std::shared_ptr<Mailbox> mailbox, HidPlatformHandle* handle,
                  int reportLength, int sleepMs);
};

}  // namespace kdsp::device
