// SPDX-License-Identifier: GPL-3.0-or-later
// HID devices that live inside the program (the simulated processor, test devices) and are
// listed, opened and read by the HID access layer exactly like plugged-in USB devices.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "device/hid_platform.h"

namespace kdsp::device {

// A device seen from the host: output reports come in through writeOutputReport, input reports
// go out through pushInputReport. Thread-safe.
class VirtualHidDevice {
 public:
  struct Identity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
  };
  // What an open gets: read/write, identification only (as when the device node refuses this
  // user), or nothing (the device cannot be identified and is not listed).
  enum class Access { kReadWrite, kIdentifyOnly, kNone };

  VirtualHidDevice(Identity identity, HidCaps caps);
  virtual ~VirtualHidDevice();
  VirtualHidDevice(const VirtualHidDevice&) = delete;
  VirtualHidDevice& operator=(const VirtualHidDevice&) = delete;

  const Identity& identity() const { return identity_; }
  const HidCaps& caps() const { return caps_; }

  // One output report as the host wrote it, report ID first (0 = none), at most the output
  // report length. Called on the writing (user-interface) thread; the device may answer with
  // pushInputReport from here or from any other thread.
  virtual void writeOutputReport(std::span<const std::uint8_t> report) = 0;

  // Queues an input report, report ID first (0 for a device without IDs); a read gets it cut to
  // its buffer. Like hidraw, a report is kept only while the device is open for reading; with
  // no reader it is dropped. An empty report reads as nothing arrived. Any thread.
  void pushInputReport(std::vector<std::uint8_t> report);
  // The next read fails with this errno value.
  void failNextRead(int errorCode);

  void setAccess(Access access);
  Access access() const;

  // Input reports waiting to be read.
  std::size_t pendingInputReports() const;

 private:
  friend class VirtualHidHandle;
  friend class VirtualHidPlatform;

  void addReader();
  void removeReader();
  // Waits up to timeoutMs for an input report or failure; stops early when stop() holds.
  int read(std::span<std::uint8_t> buffer, int timeoutMs, int& errorCode,
           const std::function<bool()>& stop);
  // Wakes every waiting read so it looks at its stop condition.
  void wakeReaders();

  const Identity identity_;
  const HidCaps caps_;
  mutable std::mutex mutex_;
  std::condition_variable inputArrived_;
  std::deque<std::vector<std::uint8_t>> input_;
  int readers_ = 0;
  int failNextRead_ = 0;
  Access access_ = Access::kReadWrite;
};

// The platform of virtual devices. Paths read "virtual:<DeviceID>".
class VirtualHidPlatform : public HidPlatform {
  Q_OBJECT

 public:
  explicit VirtualHidPlatform(QObject* parent = nullptr);
  ~VirtualHidPlatform() override;  // unplugs every device; open handles then fail

  // Plugs the device in and returns its new DeviceID; a device plugged in again gets a new one.
  // Both raise devicesChanged from the event loop, as a real arrival or removal does.
  std::uint32_t plug(std::shared_ptr<VirtualHidDevice> device);
  // False when no device has that ID. Its open handles fail from then on.
  bool unplug(std::uint32_t deviceId);

  std::vector<HidPnPInfo> list() override;
  bool attributes(const HidPnPInfo& info, HidAttributes& attributes) override;
  bool caps(const HidPnPInfo& info, HidCaps& caps) override;
  std::unique_ptr<HidPlatformHandle> open(const HidPnPInfo& info, bool readWrite,
                                          HidOpenError* error) override;

 private:
  struct Plug;

  std::shared_ptr<Plug> find(std::uint32_t deviceId) const;
  void announce();

  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Plug>> plugs_;
  std::uint32_t nextId_ = 1;
  bool announcing_ = false;
};

}  // namespace kdsp::device
