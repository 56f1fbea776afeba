// SPDX-License-Identifier: GPL-3.0-or-later
// One device of the HID access layer's list: its identity, handles opened on demand, output
// report writes, and the read thread that brings its input reports to the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "device/hid_platform.h"

namespace kdsp::device {

class HidDeviceController;
class HidReadThread;

class HidDevice {
 public:
  // Events run on the user-interface thread. data is the report without its ID byte.
  using DataEvent = std::function<void(HidDevice& device, std::uint8_t reportId,
                                       std::span<const std::uint8_t> data)>;
  using DataErrorEvent = std::function<void(HidDevice& device, int code)>;
  using UnplugEvent = std::function<void(HidDevice& device)>;

  // Normally a device is given back with HidDeviceController::CheckIn. Deleting one directly
  // has the same effect on the list: a plugged-in device is replaced by a fresh one for the same
  // device, an unplugged one leaves the list. Once the controller is gone, its holder deletes it.
  ~HidDevice();
  HidDevice(const HidDevice&) = delete;
  HidDevice& operator=(const HidDevice&) = delete;

  const HidPnPInfo& PnPInfo() const { return info_; }
  const HidAttributes& Attributes() const { return attributes_; }
  bool pluggedIn() const { return pluggedIn_; }
  bool checkedOut() const { return checkedOut_; }
  // False when the last open could not get read/write access; accessError() then says why
  // (kPermissionDenied when the device node refuses this user).
  bool hasReadWriteAccess() const { return hasReadWriteAccess_; }
  const std::string& accessError() const { return accessError_; }
  HidDeviceController* controller() const { return controller_; }

  // Milliseconds of one wait of the read thread; taken when the thread starts.
  int ThreadSleepTime = 100;

  // Report lengths; read once and kept. All zero when the platform cannot tell.
  HidCaps GetCaps();
  // Writes the report exactly as given (report ID first) and waits for the write to finish.
  bool WriteFile(std::span<const std::uint8_t> report);

  // An empty data event stops the read thread; the thread runs whenever it may (StartThread).
  void SetDataEvent(DataEvent event);
  void SetDataErrorEvent(DataErrorEvent event) { dataErrorEvent_ = std::move(event); }
  void SetUnplugEvent(UnplugEvent event) { unplugEvent_ = std::move(event); }
  // Starts the read thread only for a plugged-in, checked-out device with a data event, read/
  // write access and input reports, that has none yet.
  void StartThread();
  // Waits for the read thread to end; a report handed over meanwhile is still delivered.
  void StopThread();
  bool hasReadThread() const { return readThread_ != nullptr; }

  // Plugged in, and held by a user or inside an event handler.
  bool IsAccessible() const;
  // Opens the write handle of an accessible device if it is closed; read/write, else for
  // identification only. True when a handle is open.
  bool OpenFile();
  void CloseFile();
  bool isOpen() const { return handle_ != nullptr; }

  // The device was found missing: stops the thread (a report still waiting is dropped), closes
  // the handles, marks it unplugged and calls its unplug event once.
  void DoUnplug();

 private:
  friend class HidDeviceController;
  friend class HidReadThread;

  HidDevice(HidDeviceController* controller, HidPlatform& platform, HidPnPInfo info);
  // Opens the device to identify it; null when it cannot be opened at all or not identified.
  static std::unique_ptr<HidDevice> Create(HidDeviceController* controller, HidPlatform& platform,
                                           HidPnPInfo info);

  // Opens read/write, else (when allowed) for identification only; notes the access.
  std::unique_ptr<HidPlatformHandle> Open(bool identificationFallback);
  // Takes the access a later probe of the same device found, unless a handle of this one is
  // open (which knows better). True when the access changed.
  bool TakeAccessFrom(const HidDevice& probe);
  // Ends the read thread. Returns false when an event it served freed this device.
  bool StopReadThread(bool serve);
  void DeliverData(std::uint8_t reportId, std::span<const std::uint8_t> data);
  void DeliverError(int code);

  HidDeviceController* controller_;
  HidPlatform& platform_;
  bool pluggedIn_ = true;
  bool checkedOut_ = false;
  bool inEvent_ = false;
  std::unique_ptr<HidPlatformHandle> handle_;
  HidAttributes attributes_;
  std::optional<HidCaps> caps_;
  bool hasReadWriteAccess_ = false;
  std::string accessError_;
  DataEvent dataEvent_;
  DataErrorEvent dataErrorEvent_;
  UnplugEvent unplugEvent_;
  std::unique_ptr<HidReadThread> readThread_;
  HidPnPInfo info_;
  // Expires when the device is deleted; lets a caller see that an event freed it.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace kdsp::device
