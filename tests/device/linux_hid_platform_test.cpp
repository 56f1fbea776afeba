// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the Linux HID platform: its small parsers, listing this machine's hidraw nodes, and
// (where the kernel's uhid driver can be used) a whole round trip through a kernel-made device.
#include "device/linux_hid_platform.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/input.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <QSignalSpy>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "device/hid_test_devices.h"

namespace kdsp::device {
namespace {

using testing::Bytes;
using testing::Eventually;
using testing::Report;

TEST(LinuxHidPlatform, ReadsHidIdProperties) {
  const std::vector<std::pair<std::string, std::optional<std::pair<int, int>>>> cases = {
      {"0003:00000483:00000157", std::pair{0x0483, 0x0157}},
      {"0005:0000046D:0000B01A", std::pair{0x046D, 0xB01A}},
      {"0018:000004F3:00003125", std::pair{0x04F3, 0x3125}},
      {"", std::nullopt},
      {"0003:00000483", std::nullopt},
      {"0003::00000157", std::nullopt},
      {"0003:0000048G:00000157", std::nullopt},
      {"0003:00010000:00000157", std::nullopt},  // more than 16 bits
      {"0003:00000483:00000157:", std::nullopt},
      {"0003:00000483:00000157 ", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    const auto identity = ParseHidId(text);
    ASSERT_EQ(identity.has_value(), expected.has_value()) << text;
    if (identity) {
      EXPECT_EQ(identity->vendorId, expected->first) << text;
      EXPECT_EQ(identity->productId, expected->second) << text;
    }
  }
}

TEST(LinuxHidPlatform, NamesARefusedOpenForTheUser) {
  EXPECT_EQ(OpenErrorReason(EACCES), kPermissionDenied);
  EXPECT_EQ(OpenErrorReason(EPERM), kPermissionDenied);
  EXPECT_EQ(OpenErrorReason(ENOENT), std::strerror(ENOENT));
}

TEST(LinuxHidPlatform, OpeningAMissingNodeFailsWithItsReason) {
  LinuxHidPlatform platform;
  HidPnPInfo info;
  info.DevicePath = "/dev/hidraw-kdsp-missing";
  for (const bool readWrite : {true, false}) {
    HidOpenError error;
    EXPECT_EQ(platform.open(info, readWrite, &error), nullptr);
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.reason, std::strerror(ENOENT));
  }
}

// Every hidraw node of this machine is listed (there may be none) and can be looked at.
TEST(LinuxHidPlatform, ListsThisMachinesHidrawNodes) {
  std::size_t nodes = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", ec)) {
    if (std::filesystem::exists("/dev" / entry.path().filename())) ++nodes;
  }
  LinuxHidPlatform platform;
  const auto infos = platform.list();
  EXPECT_EQ(infos.size(), nodes);
  for (const HidPnPInfo& info : infos) {
    EXPECT_NE(info.DeviceID, 0u) << info.DevicePath;
    HidAttributes attributes;
    EXPECT_TRUE(platform.attributes(info, attributes)) << info.DevicePath;
    HidCaps caps;
    platform.caps(info, caps);
    HidOpenError error;
    if (platform.open(info, true, &error) == nullptr) {
      EXPECT_FALSE(error.reason.empty());
    }
  }
  // The same devices listed again keep their IDs.
  const auto again = platform.list();
  ASSERT_EQ(again.size(), infos.size());
  for (std::size_t i = 0; i < infos.size(); ++i) EXPECT_EQ(again[i].DeviceID, infos[i].DeviceID);

  HidDeviceController controller(platform);
  EXPECT_LE(static_cast<std::size_t>(controller.count()), infos.size());
}

// A HID device made by the kernel's uhid driver: a real hidraw node with this descriptor.
class UhidDevice {
 public:
  static std::unique_ptr<UhidDevice> Create(const Bytes& descriptor, std::uint16_t vendor,
                                            std::uint16_t product) {
    const int fd = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd < 0) return nullptr;
    uhid_event event{};
    event.type = UHID_CREATE2;
    std::strncpy(reinterpret_cast<char*>(event.u.create2.name), "kdsp uhid test",
                 sizeof event.u.create2.name - 1);
    std::memcpy(event.u.create2.rd_data, descriptor.data(), descriptor.size());
    event.u.create2.rd_size = static_cast<std::uint16_t>(descriptor.size());
    event.u.create2.bus = BUS_USB;
    event.u.create2.vendor = vendor;
    event.u.create2.product = product;
    event.u.create2.version = 0x0100;
    if (::write(fd, &event, sizeof event) != static_cast<ssize_t>(sizeof event)) {
      ::close(fd);
      return nullptr;
    }
    return std::unique_ptr<UhidDevice>(new UhidDevice(fd));
  }

  ~UhidDevice() {
    uhid_event event{};
    event.type = UHID_DESTROY;
    // The kernel removes the device when the descriptor closes anyway; the event only hurries it.
    [[maybe_unused]] const ssize_t written = ::write(fd_, &event, sizeof event);
    ::close(fd_);
  }

  bool SendInput(const Bytes& report) {
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<std::uint16_t>(report.size());
    std::memcpy(event.u.input2.data, report.data(), report.size());
    return ::write(fd_, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
  }

  // The next output report the host wrote; the driver's other notices are passed over.
  std::optional<Bytes> NextOutput(int timeoutMs) {
    pollfd pfd{fd_, POLLIN, 0};
    while (::poll(&pfd, 1, timeoutMs) > 0) {
      uhid_event event{};
      if (::read(fd_, &event, sizeof event) <= 0) return std::nullopt;
      if (event.type == UHID_OUTPUT) {
        return Bytes(event.u.output.data, event.u.output.data + event.u.output.size);
      }
    }
    return std::nullopt;
  }

 private:
  explicit UhidDevice(int fd) : fd_(fd) {}
  int fd_;
};

// 64 bytes in and out, no report IDs: the shape of the processor's interface.
const Bytes kVendor64 = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x15, 0x00, 0x26,
                         0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x81, 0x02, 0x09, 0x03, 0x15, 0x00,
                         0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x91, 0x02, 0xC0};

TEST(LinuxHidPlatform, RoundTripThroughAKernelMadeDevice) {
  LinuxHidPlatform platform;
  QSignalSpy changes(&platform, &HidPlatform::devicesChanged);
  auto uhid = UhidDevice::Create(kVendor64, 0x1209, 0x0157);
  // The USB harness's guest has the driver and says so: there the round trip must run.
  if (uhid == nullptr && std::getenv("KDSP_REQUIRE_UHID") != nullptr)
    FAIL() << "the uhid driver cannot be used, though KDSP_REQUIRE_UHID is set";
  if (uhid == nullptr) GTEST_SKIP() << "the uhid driver cannot be used here";

  std::optional<HidPnPInfo> found;
  ASSERT_TRUE(Eventually([&] {
    for (const HidPnPInfo& info : platform.list()) {
      HidAttributes attributes;
      if (platform.attributes(info, attributes) && attributes.VendorID == 0x1209 &&
          attributes.ProductID == 0x0157) {
        found = info;
        return true;
      }
    }
    return false;
  }));
  HidCaps caps;
  ASSERT_TRUE(platform.caps(*found, caps));
  EXPECT_EQ(caps.InputReportByteLength, 65);
  EXPECT_EQ(caps.OutputReportByteLength, 65);

  HidOpenError error;
  auto handle = platform.open(*found, true, &error);
  ASSERT_NE(handle, nullptr) << error.reason;
  const Bytes report = Report(65, 1);
  ASSERT_TRUE(handle->write(report));
  const auto written = uhid->NextOutput(5000);
  ASSERT_TRUE(written.has_value());
  ASSERT_GE(written->size(), 64u);
  EXPECT_EQ(Bytes(written->end() - 64, written->end()), Bytes(report.begin() + 1, report.end()));

  // The device has no report IDs: its 64 bytes are read with a 0 in front.
  ASSERT_TRUE(uhid->SendInput(Bytes(report.begin() + 1, report.end())));
  Bytes buffer(65, 0xEE);
  EXPECT_EQ(handle->read(buffer, 5000), 65);
  EXPECT_EQ(buffer, report);

  // Gone: reads fail, and where udev runs a notice follows.
  uhid.reset();
  Bytes after(65);
  EXPECT_TRUE(Eventually([&] { return handle->read(after, 10) < 0; }));
  if (platform.followsChanges() && std::filesystem::exists("/run/udev/control")) {
    EXPECT_TRUE(Eventually([&] { return changes.count() >= 1; }));
  }
}

}  // namespace
}  // namespace kdsp::device
