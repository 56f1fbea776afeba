// SPDX-License-Identifier: GPL-3.0-or-later
// The HID access layer's controller: the device list, device changes, enumeration, check-out.
#include "device/hid_device_controller.h"

#include <algorithm>
#include <utility>

namespace kdsp::device {

HidDeviceController::ListInUse::ListInUse(HidDeviceController& controller)
    : controller_(controller) {
  ++controller_.inUse_;
}

HidDeviceController::ListInUse::~ListInUse() {
  if (--controller_.inUse_ > 0) return;
  auto& list = controller_.list_;
  list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
  if (std::exchange(controller_.changePending_, false)) {
    // A notice that came while an event ran is taken up from the event loop, not from inside
    // whatever called the event.
    QMetaObject::invokeMethod(
        &controller_.receiver_, [&c = controller_] { c.DeviceChange(); }, Qt::QueuedConnection);
  }
}

HidDeviceController::HidDeviceController(HidPlatform& platform) : platform_(platform) {
  list_ = FillInList();
  QObject::connect(&platform_, &HidPlatform::devicesChanged, &receiver_,
                   [this] { DeviceChange(); });
}

HidDeviceController::~HidDeviceController() {
  OnEnumerate = nullptr;
  OnArrival = nullptr;
  OnRemoval = nullptr;
  OnDeviceData = nullptr;
  OnDeviceDataError = nullptr;
  OnDeviceUnplug = nullptr;
  onDeviceChange_ = nullptr;
  QObject::disconnect(&platform_, nullptr, &receiver_, nullptr);
  for (auto& slot : list_) {
    if (slot == nullptr) continue;
    HidDevice* device = slot.get();
    device->controller_ = nullptr;
    if (device->checkedOut_) {
      // Its holder deletes it; the unplug event may already do so.
      static_cast<void>(slot.release());
      if (device->pluggedIn_) device->DoUnplug();
    } else {
      slot.reset();
    }
  }
}

std::unique_ptr<HidDevice> HidDeviceController::MakeDevice(const HidPnPInfo& info) {
  auto device = HidDevice::Create(this, platform_, info);
  if (device == nullptr) return nullptr;
  device->dataEvent_ = OnDeviceData;
  device->dataErrorEvent_ = OnDeviceDataError;
  device->unplugEvent_ = OnDeviceUnplug;
  device->ThreadSleepTime = DevThreadSleepTime;
  return device;
}

std::vector<std::unique_ptr<HidDevice>> HidDeviceController::FillInList() {
  std::vector<std::unique_ptr<HidDevice>> devices;
  for (const HidPnPInfo& info : platform_.list()) {
    // A device that cannot be opened at all, or not identified, is left out.
    if (auto device = MakeDevice(info)) devices.push_back(std::move(device));
  }
  return devices;
}

HidDevice* HidDeviceController::PluggedIn(std::uint32_t deviceId) const {
  const auto it = std::find_if(list_.begin(), list_.end(), [deviceId](const auto& device) {
    return device != nullptr && device->pluggedIn_ && device->info_.DeviceID == deviceId;
  });
  return it == list_.end() ? nullptr : it->get();
}

void HidDeviceController::SetOnDeviceChange(DeviceChangeEvent handler) {
  onDeviceChange_ = std::move(handler);
  DeviceChange();
}

void HidDeviceController::DeviceChange() {
  if (inUse_ > 0) {
    changePending_ = true;
    return;
  }
  ListInUse inUse(*this);
  auto fresh = FillInList();
  bool changed = false;

  for (std::size_t i = list_.size(); i-- > 0;) {
    HidDevice* device = list_[i].get();
    if (device == nullptr || !device->pluggedIn_) continue;
    const bool present = std::any_of(fresh.begin(), fresh.end(), [device](const auto& f) {
      return f->info_.DeviceID == device->info_.DeviceID;
    });
    if (present) continue;
    changed = true;
    const std::weak_ptr<char> alive = device->alive_;
    device->DoUnplug();
    if (!alive.expired() && OnRemoval) {
      const DeviceEvent event = OnRemoval;
      event(*device);
    }
    // A checked-out device stays, unplugged, until its holder gives it back.
    if (!alive.expired() && !device->checkedOut_) Destroy(i);
  }

  for (auto& device : fresh) {
    if (HidDevice* known = PluggedIn(device->info_.DeviceID)) {
      // The same device keeps its old entry. Its access may have changed all the same (a udev
      // rule applied to a node already present), and that changes what the list offers.
      changed = known->TakeAccessFrom(*device) || changed;
      continue;
    }
    changed = true;
    list_.push_back(std::move(device));
    if (OnArrival) {
      const DeviceEvent event = OnArrival;
      event(*list_.back());
    }
  }
  // Devices found again are dropped here, not told to the controller.
  for (auto& device : fresh) {
    if (device != nullptr) device->controller_ = nullptr;
  }
  fresh.clear();

  if ((changed || !changeEventAssigned_) && onDeviceChange_) {
    changeEventAssigned_ = true;
    const DeviceChangeEvent event = onDeviceChange_;
    event();
  }
}

int HidDeviceController::Enumerate() {
  if (!OnEnumerate) return 0;
  ListInUse inUse(*this);
  const EnumerateEvent handler = OnEnumerate;
  int calls = 0;
  for (std::size_t i = 0; i < list_.size(); ++i) {
    HidDevice* device = list_[i].get();
    if (device == nullptr || !device->pluggedIn_) continue;
    device->inEvent_ = true;
    const bool more = handler(*device, static_cast<int>(i));
    ++calls;
    // The handler may have freed the device; its slot then holds another one or none.
    if (list_[i].get() == device) {
      device->inEvent_ = false;
      if (!device->checkedOut_) device->CloseFile();
    }
    if (!more) break;
  }
  return calls;
}

HidDevice* HidDeviceController::CheckOutByIndex(int index) {
  if (index < 0 || index >= count()) return nullptr;
  HidDevice* device = list_[static_cast<std::size_t>(index)].get();
  if (device == nullptr || device->checkedOut_) return nullptr;
  device->checkedOut_ = true;
  device->StartThread();
  return device;
}

void HidDeviceController::CheckIn(HidDevice*& device) {
  HidDevice* const held = std::exchange(device, nullptr);
  if (held == nullptr) return;
  if (!held->StopReadThread(true)) return;  // an event it served freed it already
  held->CloseFile();
  if (held->pluggedIn_) {
    held->checkedOut_ = false;
  } else {
    delete held;  // leaves the list through DeviceFreed
  }
}

void HidDeviceController::DeviceFreed(HidDevice* device) {
  const auto it = std::find_if(list_.begin(), list_.end(),
                               [device](const auto& slot) { return slot.get() == device; });
  if (it == list_.end()) return;
  static_cast<void>(it->release());  // already being deleted by its holder
  if (device->pluggedIn_) {
    // The device is still there: a fresh entry for it takes the slot.
    if (auto fresh = HidDevice::Create(this, platform_, device->info_)) {
      fresh->dataEvent_ = device->dataEvent_;
      fresh->dataErrorEvent_ = device->dataErrorEvent_;
      fresh->unplugEvent_ = device->unplugEvent_;
      fresh->ThreadSleepTime = device->ThreadSleepTime;
      *it = std::move(fresh);
      return;
    }
  }
  Vacate(static_cast<std::size_t>(it - list_.begin()));
}

void HidDeviceController::Destroy(std::size_t index) {
  list_[index]->controller_ = nullptr;
  list_[index].reset();
  Vacate(index);
}

void HidDeviceController::Vacate(std::size_t index) {
  if (inUse_ == 0) list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(index));
}

const HidDevice* HidDeviceController::at(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return list_[static_cast<std::size_t>(index)].get();
}

int HidDeviceController::checkedInCount() const {
  return static_cast<int>(std::count_if(list_.begin(), list_.end(), [](const auto& d) {
    return d != nullptr && d->pluggedIn_ && !d->checkedOut_;
  }));
}

int HidDeviceController::checkedOutCount() const {
  return static_cast<int>(std::count_if(
      list_.begin(), list_.end(), [](const auto& d) { return d != nullptr && d->checkedOut_; }));
}

int HidDeviceController::unpluggedCount() const {
  return static_cast<int>(std::count_if(
      list_.begin(), list_.end(), [](const auto& d) { return d != nullptr && !d->pluggedIn_; }));
}

}  // namespace kdsp::device
