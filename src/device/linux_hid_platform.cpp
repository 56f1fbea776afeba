// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux HID platform: udev for listing and hot-plug, hidapi (hidraw) for report transfer.
#include "device/linux_hid_platform.h"

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QString>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <system_error>
#include <vector>

#include "device/hid_report_descriptor.h"

namespace kdsp::device {
namespace {

// Notices closer together than this make one devicesChanged.
constexpr int kSettleMs = 50;

// Longest single wait inside a read, so that cancel() takes effect soon: hidapi's read cannot
// be interrupted from another thread.
constexpr int kReadSliceMs = 20;

std::string Property(udev_device* device, const char* name) {
  const char* value = udev_device_get_property_value(device, name);
  return value != nullptr ? value : "";
}

std::string SysAttribute(udev_device* device, const char* name) {
  const char* value = device != nullptr ? udev_device_get_sysattr_value(device, name) : nullptr;
  return value != nullptr ? value : "";
}

// FNV-1a, enough to tell device instances apart in a 32-bit number.
void Mix(std::uint32_t& hash, std::string_view bytes) {
  for (const char c : bytes) {
    hash ^= static_cast<std::uint8_t>(c);
    hash *= 16777619u;
  }
}

// Same for one plugged-in device, new on every plug-in: the device number of the node, the
// kernel's name of the HID device (which carries a sequence number counted up on every
// plug-in), and when udev first set the device up.
std::uint32_t InstanceId(udev_device* hidraw, udev_device* hid) {
  std::uint32_t hash = 2166136261u;
  const dev_t number = udev_device_get_devnum(hidraw);
  Mix(hash, std::string_view(reinterpret_cast<const char*>(&number), sizeof number));
  Mix(hash, udev_device_get_sysname(hid));
  Mix(hash, Property(hidraw, "USEC_INITIALIZED"));
  return hash != 0 ? hash : 1;
}

udev_device* HidParent(udev_device* hidraw) {
  return udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
}

udev_device* UsbParent(udev_device* hidraw) {
  return udev_device_get_parent_with_subsystem_devtype(hidraw, "usb", "usb_device");
}

std::optional<std::vector<std::uint8_t>> DescriptorFromSysfs(const std::string& sysfsPath) {
  if (sysfsPath.empty()) return std::nullopt;
  std::ifstream in(sysfsPath + "/device/report_descriptor", std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad() || bytes.empty()) return std::nullopt;
  return bytes;
}

std::optional<std::vector<std::uint8_t>> DescriptorFromNode(const std::string& devicePath) {
  const int fd = ::open(devicePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  int size = 0;
  hidraw_report_descriptor descriptor{};
  std::optional<std::vector<std::uint8_t>> bytes;
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) == 0 && size > 0 && size <= HID_MAX_DESCRIPTOR_SIZE) {
    descriptor.size = static_cast<std::uint32_t>(size);
    if (::ioctl(fd, HIDIOCGRDESC, &descriptor) == 0) {
      bytes.emplace(descriptor.value, descriptor.value + size);
    }
  }
  ::close(fd);
  return bytes;
}

// The report descriptor: from sysfs, which anyone may read, else from the device node.
std::optional<HidReportLengths> ReportLengths(const HidPnPInfo& info) {
  auto bytes = DescriptorFromSysfs(info.sysfsPath);
  if (!bytes) bytes = DescriptorFromNode(info.DevicePath);
  if (!bytes) return std::nullopt;
  return ParseReportDescriptor(*bytes);
}

std::string Narrow(const wchar_t* text) {
  return text != nullptr ? QString::fromWCharArray(text).toStdString() : std::string();
}

// One device opened through hidapi. Input reports of a device without report IDs arrive
// without an ID byte; a 0 is put in front so every report has the same form.
class LinuxHidHandle final : public HidPlatformHandle {
 public:
  LinuxHidHandle(hid_device* device, bool usesReportIds)
      : device_(device), usesReportIds_(usesReportIds) {}
  ~LinuxHidHandle() override { hid_close(device_); }

  bool write(std::span<const std::uint8_t> report) override {
    if (report.empty()) {
      errorCode_ = EINVAL;
      return false;
    }
    errno = 0;
    const int n = hid_write(device_, report.data(), report.size());
    if (n == static_cast<int>(report.size())) return true;
    errorCode_ = n < 0 && errno != 0 ? errno : EIO;
    return false;
  }

  int read(std::span<std::uint8_t> buffer, int timeoutMs) override {
    const std::span<std::uint8_t> target =
        usesReportIds_ || buffer.empty() ? buffer : buffer.subspan(1);
    if (target.empty()) return 0;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (cancelled_) return 0;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      const int slice = static_cast<int>(std::clamp<long long>(left.count(), 0, kReadSliceMs));
      errno = 0;
      const int n = hid_read_timeout(device_, target.data(), target.size(), slice);
      if (n < 0) {
        if (errno == EINTR) continue;
        // A hang-up reports -1 without errno: the device is gone.
        errorCode_ = errno != 0 ? errno : ENODEV;
        return -1;
      }
      if (n > 0) {
        if (usesReportIds_) return n;
        buffer[0] = 0;
        return n + 1;
      }
      if (slice == 0 || Clock::now() >= deadline) return 0;
    }
  }

  int errorCode() const override { return errorCode_; }
  void cancel() override { cancelled_ = true; }

 private:
  hid_device* const device_;
  const bool usesReportIds_;
  std::atomic<bool> cancelled_{false};
  std::atomic<int> errorCode_{0};
};

}  // namespace

std::optional<HidIdentity> ParseHidId(std::string_view hidId) {
  // bus:vendor:product, each in hex.
  std::uint32_t fields[3] = {};
  std::size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t end = i < 2 ? hidId.find(':', pos) : hidId.size();
    if (end == std::string_view::npos || end == pos) return std::nullopt;
    const char* first = hidId.data() + pos;
    const char* last = hidId.data() + end;
    const auto [ptr, ec] = std::from_chars(first, last, fields[i], 16);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    pos = end + 1;
  }
  if (fields[1] > 0xFFFF || fields[2] > 0xFFFF) return std::nullopt;
  return HidIdentity{static_cast<std::uint16_t>(fields[1]), static_cast<std::uint16_t>(fields[2])};
}

std::string OpenErrorReason(int errnoValue) {
  if (errnoValue == EACCES || errnoValue == EPERM) return std::string(kPermissionDenied);
  // strerror may share one buffer between threads; the category's text is the thread's own.
  return std::generic_category().message(errnoValue);
}

LinuxHidPlatform::LinuxHidPlatform(QObject* parent) : HidPlatform(parent) {
  // hidapi's set-up is process-wide and not safe to run on two threads at once; platforms are
  // made on several threads when kdspctl serves several processors.
  static std::once_flag hidapiReady;
  std::call_once(hidapiReady, [] { hid_init(); });
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &HidPlatform::devicesChanged);

  udev_ = udev_new();
  if (udev_ == nullptr) return;
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ == nullptr) return;
  if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0) {
    udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    return;
  }
  notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &LinuxHidPlatform::ReceiveNotices);
}

LinuxHidPlatform::~LinuxHidPlatform() {
  delete notifier_;
  if (monitor_ != nullptr) udev_monitor_unref(monitor_);
  if (udev_ != nullptr) udev_unref(udev_);
}

void LinuxHidPlatform::ReceiveNotices() {
  bool any = false;
  // The monitor's socket does not block: take every notice that is there.
  while (udev_device* device = udev_monitor_receive_device(monitor_)) {
    any = true;
    udev_device_unref(device);
  }
  if (any && !settle_.isActive()) settle_.start();
}

std::vector<HidPnPInfo> LinuxHidPlatform::list() {
  std::vector<HidPnPInfo> infos;
  if (udev_ == nullptr) return infos;
  udev_enumerate* enumerate = udev_enumerate_new(udev_);
  if (enumerate == nullptr) return infos;
  udev_enumerate_add_match_subsystem(enumerate, "hidraw");
  udev_enumerate_scan_devices(enumerate);
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
    udev_device* hidraw = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
    if (hidraw == nullptr) continue;
    udev_device* hid = HidParent(hidraw);
    const char* node = udev_device_get_devnode(hidraw);
    if (hid != nullptr && node != nullptr) {
      HidPnPInfo info;
      info.DevicePath = node;
      info.DeviceID = InstanceId(hidraw, hid);
      info.sysfsPath = udev_device_get_syspath(hidraw);
      udev_device* usb = UsbParent(hidraw);
      info.manufacturer = SysAttribute(usb, "manufacturer");
      info.product = SysAttribute(usb, "product");
      if (info.product.empty()) info.product = Property(hid, "HID_NAME");
      info.serialNumber = Property(hid, "HID_UNIQ");
      infos.push_back(std::move(info));
    }
    udev_device_unref(hidraw);
  }
  udev_enumerate_unref(enumerate);
  return infos;
}

bool LinuxHidPlatform::attributes(const HidPnPInfo& info, HidAttributes& attributes) {
  if (udev_ == nullptr) return false;
  udev_device* hidraw = udev_device_new_from_syspath(udev_, info.sysfsPath.c_str());
  if (hidraw == nullptr) return false;
  bool found = false;
  // Only the instance that was listed: a node number reused by another device does not count.
  if (udev_device* hid = HidParent(hidraw);
      hid != nullptr && InstanceId(hidraw, hid) == info.DeviceID) {
    if (const auto identity = ParseHidId(Property(hid, "HID_ID"))) {
      attributes.VendorID = identity->vendorId;
      attributes.ProductID = identity->productId;
      // The release number is known for USB devices only.
      const std::string release = SysAttribute(UsbParent(hidraw), "bcdDevice");
      unsigned version = 0;
      const auto parsed =
          std::from_chars(release.data(), release.data() + release.size(), version, 16);
      attributes.VersionNumber =
          parsed.ec == std::errc() && version <= 0xFFFF ? static_cast<std::uint16_t>(version) : 0;
      found = true;
    }
  }
  udev_device_unref(hidraw);
  return found;
}

bool LinuxHidPlatform::caps(const HidPnPInfo& info, HidCaps& caps) {
  const auto lengths = ReportLengths(info);
  if (!lengths) return false;
  caps.InputReportByteLength = lengths->input;
  caps.OutputReportByteLength = lengths->output;
  caps.FeatureReportByteLength = lengths->feature;
  return true;
}

std::unique_ptr<HidPlatformHandle> LinuxHidPlatform::open(const HidPnPInfo& info, bool readWrite,
                                                          HidOpenError* error) {
  auto fail = [error](int code, std::string reason) -> std::unique_ptr<HidPlatformHandle> {
    if (error != nullptr) *error = {code, std::move(reason)};
    return nullptr;
  };
  if (!readWrite) {
    // Identification needs no access to the node: udev and sysfs tell who it is.
    struct stat status {};
    if (::stat(info.DevicePath.c_str(), &status) != 0) return fail(errno, OpenErrorReason(errno));
    if (!S_ISCHR(status.st_mode)) return fail(ENODEV, OpenErrorReason(ENODEV));
    return MakeIdentificationHandle();
  }
  // hidapi keeps errno to itself; a plain open first tells why the node refuses.
  const int probe = ::open(info.DevicePath.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (probe < 0) {
    const int code = errno;
    return fail(code, OpenErrorReason(code));
  }
  ::close(probe);
  const auto lengths = ReportLengths(info);
  hid_device* device = hid_open_path(info.DevicePath.c_str());
  if (device == nullptr) {
    const std::string reason = Narrow(hid_error(nullptr));
    return fail(EIO, reason.empty() ? "cannot open " + info.DevicePath : reason);
  }
  return std::make_unique<LinuxHidHandle>(device, lengths && lengths->usesReportIds);
}

}  // namespace kdsp::device
