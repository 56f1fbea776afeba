// SPDX-License-Identifier: GPL-3.0-or-later
// The HID access layer's controller: the list of present HID devices, kept current on every
// arrival and removal, walked by Enumerate, with check-out for exclusive use and check-in.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "device/hid_device.h"
#include "device/hid_platform.h"

namespace kdsp::device {

class HidDeviceController {
 public:
  using EnumerateEvent = std::function<bool(HidDevice& device, int index)>;
  using DeviceChangeEvent = std::function<void()>;
  using DeviceEvent = std::function<void(HidDevice& device)>;

  // Lists the present devices and follows the platform's arrival and removal notices. The
  // platform outlives the controller and every device it handed out.
  explicit HidDeviceController(HidPlatform& platform);
  // Unplugs the devices still checked out (their holders delete them) and frees the others.
  ~HidDeviceController();
  HidDeviceController(const HidDeviceController&) = delete;
  HidDeviceController& operator=(const HidDeviceController&) = delete;

  // Events, run on the user-interface thread. OnEnumerate returns false to stop the walk.
  EnumerateEvent OnEnumerate;
  DeviceEvent OnArrival;
  DeviceEvent OnRemoval;
  // Given to each device made from now on.
  HidDevice::DataEvent OnDeviceData;
  HidDevice::DataErrorEvent OnDeviceDataError;
  HidDevice::UnplugEvent OnDeviceUnplug;
  int DevThreadSleepTime = 100;

  // Raised when a device change altered the list (a device came or went, or a listed device may
  // now be opened where it could not, or the other way round), and on the first change with a
  // handler.
  // Setting it runs DeviceChange at once, so the first handler always hears of the list.
  void SetOnDeviceChange(DeviceChangeEvent handler);

  // Calls OnEnumerate for each plugged-in device in list order, closing afterwards the handles
  // of every device the handler did not check out. Returns the number of calls.
  int Enumerate();
  // The device at this list index for exclusive use (its read thread starts when it may);
  // none when the index is outside the list or the device is already checked out.
  HidDevice* CheckOutByIndex(int index);
  // Gives a checked-out device back: stops its thread and closes its handles; an unplugged one
  // is freed. The caller's pointer is cleared.
  void CheckIn(HidDevice*& device);

  // Brings the list up to date with the platform: gone devices are unplugged (and freed unless
  // checked out), new ones appended. Runs on every platform notice.
  void DeviceChange();

  // The list, including unplugged devices still checked out. A slot freed during an event is
  // empty (null) until the event ends.
  int count() const { return static_cast<int>(list_.size()); }
  const HidDevice* at(int index) const;
  int checkedInCount() const;
  int checkedOutCount() const;
  int unpluggedCount() const;

 private:
  friend class HidDevice;

  // Marks the list as in use by an event: freed devices leave empty slots (indices stay
  // valid) and platform notices wait. The outermost scope tidies up.
  class ListInUse {
   public:
    explicit ListInUse(HidDeviceController& controller);
    ~ListInUse();

   private:
    HidDeviceController& controller_;
  };

  std::vector<std::unique_ptr<HidDevice>> FillInList();
  std::unique_ptr<HidDevice> MakeDevice(const HidPnPInfo& info);
  // The plugged-in entry of that device, if listed.
  HidDevice* PluggedIn(std::uint32_t deviceId) const;
  // Called by a device being deleted by its holder.
  void DeviceFreed(HidDevice* device);
  // Deletes the device of a slot (leaving the slot empty while the list is in use).
  void Destroy(std::size_t index);
  void Vacate(std::size_t index);

  HidPlatform& platform_;
  std::vector<std::unique_ptr<HidDevice>> list_;
  DeviceChangeEvent onDeviceChange_;
  bool changeEventAssigned_ = false;
  int inUse_ = 0;
  bool changePending_ = false;
  // Receives platform notices, deferred changes and the read threads' reports; destroyed with
  // the controller, so none arrives afterwards.
  QObject receiver_;
};

}  // namespace kdsp::device
