// SPDX-License-Identifier: GPL-3.0-or-later
// Virtual HID devices and the platform that lists them beside (or instead of) real ones.
#include "device/virtual_hid_platform.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <utility>

namespace kdsp::device {

struct VirtualHidPlatform::Plug {
  std::uint32_t id = 0;
  std::shared_ptr<VirtualHidDevice> device;
  // Cleared when the device is unplugged; its handles look at it on every transfer.
  std::shared_ptr<std::atomic<bool>> present = std::make_shared<std::atomic<bool>>(true);
};

// One open virtual device. A read/write handle counts as a reader of the device's input.
class VirtualHidHandle final : public HidPlatformHandle {
 public:
  VirtualHidHandle(std::shared_ptr<VirtualHidDevice> device,
                   std::shared_ptr<std::atomic<bool>> present)
      : device_(std::move(device)), present_(std::move(present)) {
    device_->addReader();
  }
  ~VirtualHidHandle() override { device_->removeReader(); }

  bool write(std::span<const std::uint8_t> report) override {
    if (!*present_) {
      errorCode_ = ENODEV;
      return false;
    }
    if (report.empty() || report.size() > device_->caps().OutputReportByteLength) {
      errorCode_ = EINVAL;
      return false;
    }
    device_->writeOutputReport(report);
    return true;
  }

  int read(std::span<std::uint8_t> buffer, int timeoutMs) override {
    if (cancelled_) return 0;
    int code = 0;
    const int n = *present_ ? device_->read(buffer, timeoutMs, code,
                                            [this] { return cancelled_ || !*present_; })
                            : 0;
    if (n < 0) {
      errorCode_ = code;
      return -1;
    }
    if (n == 0 && !cancelled_ && !*present_) {
      errorCode_ = ENODEV;  // pulled out
      return -1;
    }
    return n;
  }

  int errorCode() const override { return errorCode_; }

  void cancel() override {
    cancelled_ = true;
    device_->wakeReaders();
  }

 private:
  std::shared_ptr<VirtualHidDevice> device_;
  std::shared_ptr<std::atomic<bool>> present_;
  std::atomic<bool> cancelled_{false};
  std::atomic<int> errorCode_{0};
};

VirtualHidDevice::VirtualHidDevice(Identity identity, HidCaps caps)
    : identity_(std::move(identity)), caps_(caps) {}

VirtualHidDevice::~VirtualHidDevice() = default;

void VirtualHidDevice::pushInputReport(std::vector<std::uint8_t> report) {
  std::lock_guard lock(mutex_);
  if (readers_ == 0) return;
  input_.push_back(std::move(report));
  inputArrived_.notify_all();
}

void VirtualHidDevice::failNextRead(int errorCode) {
  std::lock_guard lock(mutex_);
  failNextRead_ = errorCode != 0 ? errorCode : EIO;
  inputArrived_.notify_all();
}

void VirtualHidDevice::setAccess(Access access) {
  std::lock_guard lock(mutex_);
  access_ = access;
}

VirtualHidDevice::Access VirtualHidDevice::access() const {
  std::lock_guard lock(mutex_);
  return access_;
}

std::size_t VirtualHidDevice::pendingInputReports() const {
  std::lock_guard lock(mutex_);
  return input_.size();
}

void VirtualHidDevice::addReader() {
  std::lock_guard lock(mutex_);
  ++readers_;
}

void VirtualHidDevice::removeReader() {
  std::lock_guard lock(mutex_);
  if (--readers_ == 0) input_.clear();
}

int VirtualHidDevice::read(std::span<std::uint8_t> buffer, int timeoutMs, int& errorCode,
                           const std::function<bool()>& stop) {
  std::unique_lock lock(mutex_);
  inputArrived_.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)),
                         [&] { return failNextRead_ != 0 || !input_.empty() || stop(); });
  if (failNextRead_ != 0) {
    errorCode = std::exchange(failNextRead_, 0);
    return -1;
  }
  if (input_.empty() || stop()) return 0;
  const std::vector<std::uint8_t> report = std::move(input_.front());
  input_.pop_front();
  const std::size_t n = std::min(report.size(), buffer.size());
  std::copy_n(report.begin(), n, buffer.begin());
  return static_cast<int>(n);
}

void VirtualHidDevice::wakeReaders() {
  std::lock_guard lock(mutex_);
  inputArrived_.notify_all();
}

VirtualHidPlatform::VirtualHidPlatform(QObject* parent) : HidPlatform(parent) {}

VirtualHidPlatform::~VirtualHidPlatform() {
  std::lock_guard lock(mutex_);
  for (const auto& plug : plugs_) {
    *plug->present = false;
    plug->device->wakeReaders();
  }
}

std::uint32_t VirtualHidPlatform::plug(std::shared_ptr<VirtualHidDevice> device) {
  auto plug = std::make_shared<Plug>();
  plug->device = std::move(device);
  {
    std::lock_guard lock(mutex_);
    plug->id = nextId_++;
    plugs_.push_back(plug);
  }
  announce();
  return plug->id;
}

bool VirtualHidPlatform::unplug(std::uint32_t deviceId) {
  std::shared_ptr<Plug> gone;
  {
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(plugs_.begin(), plugs_.end(),
                                 [deviceId](const auto& plug) { return plug->id == deviceId; });
    if (it == plugs_.end()) return false;
    gone = *it;
    plugs_.erase(it);
  }
  *gone->present = false;
  gone->device->wakeReaders();
  announce();
  return true;
}

void VirtualHidPlatform::announce() {
  {
    std::lock_guard lock(mutex_);
    if (std::exchange(announcing_, true)) return;  // one notice for a burst
  }
  QMetaObject::invokeMethod(
      this,
      [this] {
        {
          std::lock_guard lock(mutex_);
          announcing_ = false;
        }
        emit devicesChanged();
      },
      Qt::QueuedConnection);
}

std::shared_ptr<VirtualHidPlatform::Plug> VirtualHidPlatform::find(std::uint32_t deviceId) const {
  std::lock_guard lock(mutex_);
  const auto it = std::find_if(plugs_.begin(), plugs_.end(),
                               [deviceId](const auto& plug) { return plug->id == deviceId; });
  return it == plugs_.end() ? nullptr : *it;
}

std::vector<HidPnPInfo> VirtualHidPlatform::list() {
  std::lock_guard lock(mutex_);
  std::vector<HidPnPInfo> infos;
  for (const auto& plug : plugs_) {
    const auto& identity = plug->device->identity();
    HidPnPInfo info;
    info.DevicePath = "virtual:" + std::to_string(plug->id);
    info.DeviceID = plug->id;
    info.manufacturer = identity.manufacturer;
    info.product = identity.product;
    info.serialNumber = identity.serialNumber;
    infos.push_back(std::move(info));
  }
  return infos;
}

bool VirtualHidPlatform::attributes(const HidPnPInfo& info, HidAttributes& attributes) {
  const auto plug = find(info.DeviceID);
  if (plug == nullptr) return false;
  const auto& identity = plug->device->identity();
  attributes = {identity.vendorId, identity.productId, identity.versionNumber};
  return true;
}

bool VirtualHidPlatform::caps(const HidPnPInfo& info, HidCaps& caps) {
  const auto plug = find(info.DeviceID);
  if (plug == nullptr) return false;
  caps = plug->device->caps();
  return true;
}

std::unique_ptr<HidPlatformHandle> VirtualHidPlatform::open(const HidPnPInfo& info, bool readWrite,
                                                            HidOpenError* error) {
  const auto plug = find(info.DeviceID);
  auto fail = [error](int code, std::string reason) -> std::unique_ptr<HidPlatformHandle> {
    if (error != nullptr) *error = {code, std::move(reason)};
    return nullptr;
  };
  if (plug == nullptr) return fail(ENODEV, "No such device");
  const VirtualHidDevice::Access access = plug->device->access();
  if (access == VirtualHidDevice::Access::kNone)
    return fail(EACCES, std::string(kPermissionDenied));
  if (!readWrite) return MakeIdentificationHandle();
  if (access != VirtualHidDevice::Access::kReadWrite) {
    return fail(EACCES, std::string(kPermissionDenied));
  }
  return std::make_unique<VirtualHidHandle>(plug->device, plug->present);
}

}  // namespace kdsp::device
