// SPDX-License-Identifier: GPL-3.0-or-later
// One device of the HID access layer: handles, writes, the read thread and unplugging.
#include "device/hid_device.h"

#include <utility>

#include "device/hid_device_controller.h"
#include "device/hid_read_thread.h"

namespace kdsp::device {

HidDevice::HidDevice(HidDeviceController* controller, HidPlatform& platform, HidPnPInfo info)
    : controller_(controller), platform_(platform), info_(std::move(info)) {}

std::unique_ptr<HidDevice> HidDevice::Create(HidDeviceController* controller, HidPlatform& platform,
                                             HidPnPInfo info) {
  std::unique_ptr<HidDevice> device(new HidDevice(controller, platform, std::move(info)));
  // The handle only proves that the device can be reached; it is closed again at once.
  const bool identified =
      device->Open(true) != nullptr && platform.attributes(device->info_, device->attributes_);
  if (identified) return device;
  device->controller_ = nullptr;  // never listed: nothing to tell the controller
  return nullptr;
}

HidDevice::~HidDevice() {
  StopReadThread(false);
  CloseFile();
  if (controller_ != nullptr) controller_->DeviceFreed(this);
}

std::unique_ptr<HidPlatformHandle> HidDevice::Open(bool identificationFallback) {
  HidOpenError error;
  if (auto handle = platform_.open(info_, true, &error)) {
    hasReadWriteAccess_ = true;
    accessError_.clear();
    return handle;
  }
  hasReadWriteAccess_ = false;
  accessError_ = error.reason.empty() ? "cannot open " + info_.DevicePath : error.reason;
  if (!identificationFallback) return nullptr;
  HidOpenError ignored;
  return platform_.open(info_, false, &ignored);
}

bool HidDevice::TakeAccessFrom(const HidDevice& probe) {
  if (handle_ != nullptr || readThread_ != nullptr) return false;
  if (probe.hasReadWriteAccess_ == hasReadWriteAccess_) return false;
  hasReadWriteAccess_ = probe.hasReadWriteAccess_;
  accessError_ = probe.accessError_;
  return true;
}

HidCaps HidDevice::GetCaps() {
  if (!caps_) {
    HidCaps caps;
    if (!platform_.caps(info_, caps)) return HidCaps{};
    caps_ = caps;
  }
  return *caps_;
}

bool HidDevice::IsAccessible() const {
  return pluggedIn_ && (checkedOut_ || inEvent_);
}

bool HidDevice::OpenFile() {
  if (handle_ == nullptr && IsAccessible()) handle_ = Open(true);
  return handle_ != nullptr;
}

void HidDevice::CloseFile() {
  handle_.reset();
}

bool HidDevice::WriteFile(std::span<const std::uint8_t> report) {
  return OpenFile() && handle_->write(report);
}

void HidDevice::SetDataEvent(DataEvent event) {
  if (!event && !StopReadThread(true)) return;
  dataEvent_ = std::move(event);
  StartThread();
}

void HidDevice::StartThread() {
  if (!dataEvent_ || !pluggedIn_ || !checkedOut_ || !hasReadWriteAccess_ || readThread_) return;
  if (controller_ == nullptr) return;
  // A device without input reports has nothing to read.
  const HidCaps caps = GetCaps();
  if (caps.InputReportByteLength == 0) return;
  // Opened here rather than by the thread, so reports sent from now on are already kept for it.
  auto handle = Open(false);
  if (handle == nullptr) return;
  readThread_ = std::make_unique<HidReadThread>(*this, controller_->receiver_, std::move(handle),
                                                caps.InputReportByteLength, ThreadSleepTime);
}

void HidDevice::StopThread() {
  StopReadThread(true);
}

bool HidDevice::StopReadThread(bool serve) {
  if (readThread_ == nullptr) return true;
  const std::weak_ptr<char> alive = alive_;
  // Taken out first: an event served during the stop may come back here, or free the device.
  const auto thread = std::move(readThread_);
  thread->Stop(serve);
  return !alive.expired();
}

void HidDevice::DoUnplug() {
  StopReadThread(false);
  CloseFile();
  pluggedIn_ = false;
  UnplugEvent event = std::exchange(unplugEvent_, nullptr);
  if (event) event(*this);
}

void HidDevice::DeliverData(std::uint8_t reportId, std::span<const std::uint8_t> data) {
  // A copy: the event may replace itself or free the device.
  const DataEvent event = dataEvent_;
  if (event) event(*this, reportId, data);
}

void HidDevice::DeliverError(int code) {
  const DataErrorEvent event = dataErrorEvent_;
  if (event) event(*this, code);
}

}  // namespace kdsp::device
