// SPDX-License-Identifier: GPL-3.0-or-later
// Virtual devices and helpers for the HID access layer's tests.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <numeric>
#include <vector>

#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"

namespace kdsp::device::testing {

using Bytes = std::vector<std::uint8_t>;

// A device without report IDs, 65-byte reports both ways, that sends every output report back
// as an input report and remembers what it was sent.
class EchoDevice : public VirtualHidDevice {
 public:
  explicit EchoDevice(std::uint16_t productId = 0x0157, std::uint16_t reportLength = 65)
      : VirtualHidDevice({0x0483, productId, 0x0200, "Test Maker", "Echo", "E1"},
                         {reportLength, reportLength, 0}) {}

  void writeOutputReport(std::span<const std::uint8_t> report) override {
    {
      std::lock_guard lock(mutex_);
      writes_.emplace_back(report.begin(), report.end());
    }
    if (echo) pushInputReport(Bytes(report.begin(), report.end()));
  }

  std::vector<Bytes> writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
  }

  bool echo = true;

 private:
  mutable std::mutex mutex_;
  std::vector<Bytes> writes_;
};

// A report of the given length: ID byte 0, then first, first + 1, ...
inline Bytes Report(std::size_t length, std::uint8_t first = 1) {
  Bytes report(length);
  std::iota(report.begin() + 1, report.end(), first);
  report[0] = 0;
  return report;
}

// Waits (with the event loop running) until done() holds; false after the limit, which only
// keeps a broken test from hanging. The conditions here are often another thread's or a
// device's, which no event announces: they are also looked at now and then.
inline bool Eventually(const std::function<bool()>& done) {
  return WaitUntilLooking(done, std::chrono::seconds(10), std::chrono::milliseconds(10));
}

// Delivers the notices already posted (device changes), and those their handlers post in
// turn. Nothing here depends on the clock, so a loaded machine sees the same as an idle one.
inline void Settle() {
  for (int round = 0; round < 8; ++round) QCoreApplication::sendPostedEvents();
}

inline bool OnUiThread() {
  return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// One input report as the data event saw it.
struct Delivery {
  HidDevice* device;
  std::uint8_t reportId;
  Bytes data;
  bool onUiThread;
};

}  // namespace kdsp::device::testing
