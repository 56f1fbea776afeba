// SPDX-License-Identifier: GPL-3.0-or-later
// The processor as a real HID device of the guest's kernel, for the guest checks: the device
// model (kdsp-usb-device) run beside the checks, with the simulated processor behind it, plugged
// in and out on request. The test target defines KDSP_USB_DEVICE_PATH.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "device/event_loop_wait.h"
#include "guest/child_process.h"

#ifndef KDSP_USB_DEVICE_PATH
#error "the test target must define KDSP_USB_DEVICE_PATH as the path of kdsp-usb-device"
#endif

namespace kdsp::testing {

// How the processor reaches the kernel.
enum class DeviceKind {
  kUhid,                   // a uhid device: HID without a USB device behind it
  kUsb,                    // a full-speed USB device on the USB/IP host controller
  kUsbWithoutOutEndpoint,  // the same without an interrupt OUT endpoint: output as SET_REPORT
};

inline std::vector<std::string> KindOptions(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kUhid:
      return {"--uhid"};
    case DeviceKind::kUsb:
      return {"--usbip"};
    case DeviceKind::kUsbWithoutOutEndpoint:
      return {"--usbip", "--no-out-endpoint"};
  }
  return {};
}

inline std::string KindName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::kUhid:
      return "Uhid";
    case DeviceKind::kUsb:
      return "Usb";
    case DeviceKind::kUsbWithoutOutEndpoint:
      return "UsbWithoutOutEndpoint";
  }
  return "Unknown";
}

inline std::ostream& operator<<(std::ostream& out, DeviceKind kind) {
  return out << KindName(kind);
}

// Limits that only keep a broken check from hanging: a slow guest under emulation needs seconds
// where a machine needs milliseconds.
inline constexpr std::chrono::seconds kPlugLimit{60};

// Lets udev finish with every event so far: nodes made, rules applied, notices sent.
inline void SettleUdev() {
  if (std::system("udevadm settle --timeout=30") != 0) ADD_FAILURE() << "udev did not settle";
}

class GuestDevice {
 public:
  explicit GuestDevice(DeviceKind kind, std::vector<std::string> options = {})
      : process_(Arguments(kind, std::move(options))) {
    EXPECT_TRUE(waitForLine("plugged")) << process_.commandLine() << " did not plug in\n"
                                        << process_.errorOutput();
    SettleUdev();
  }
  ~GuestDevice() {
    process_.send("quit");
    process_.closeInput();
    if (process_.wait(std::chrono::seconds(30)) != 0)
      ADD_FAILURE() << process_.commandLine() << " did not end cleanly\n" << process_.errorOutput();
    SettleUdev();
  }
  GuestDevice(const GuestDevice&) = delete;
  GuestDevice& operator=(const GuestDevice&) = delete;

  // Removes the device from the kernel; true once the model says the kernel has been told.
  bool unplug() { return command("unplug", "unplugged"); }
  bool plug() {
    const bool plugged = command("plug", "plugged");
    SettleUdev();
    return plugged;
  }

  // The records the processor received, as "229 (E5) greeting: 00" texts, in order.
  std::vector<std::string> records() {
    std::vector<std::string> found;
    for (const std::string& line : process_.lines())
      if (line.starts_with(kRecord)) found.push_back(line.substr(kRecord.size()));
    return found;
  }
  // How many records of the given command code (decimal) have arrived.
  int recordCount(int code) {
    const std::string prefix = std::to_string(code) + " ";
    int count = 0;
    for (const std::string& record : records()) count += record.starts_with(prefix) ? 1 : 0;
    return count;
  }
  // Waits, with the event loop running, until `count` records of the command have arrived. The
  // device program's output is no event of this one: the wait looks at its pipe now and then.
  bool waitForRecords(int code, int count, std::chrono::milliseconds limit = kPlugLimit) {
    return device::WaitUntilLooking([&] { return recordCount(code) >= count; }, limit,
                                    kPipeLookInterval);
  }

  ChildProcess& process() { return process_; }

 private:
  static constexpr std::string_view kRecord = "record ";
  static constexpr std::chrono::milliseconds kPipeLookInterval{20};

  static std::vector<std::string> Arguments(DeviceKind kind, std::vector<std::string> options) {
    std::vector<std::string> args = {KDSP_USB_DEVICE_PATH};
    for (std::string& o : KindOptions(kind)) args.push_back(std::move(o));
    for (std::string& o : options) args.push_back(std::move(o));
    return args;
  }

  bool command(std::string_view text, std::string_view answer) {
    const std::size_t from = process_.lines().size();
    return process_.send(text) && waitForLine(answer, from);
  }

  bool waitForLine(std::string_view text, std::size_t from = 0) {
    return device::WaitUntilLooking(
               [&] {
                 const auto at = process_.find(text, from);
                 return (at && process_.lines()[*at] == text) || process_.ended();
               },
               kPlugLimit, kPipeLookInterval) &&
           !process_.ended();
  }

  ChildProcess process_;
};

// The device node of the processor (vendor 0483, product 0157), found through sysfs.
inline std::vector<std::string> ProcessorNodes() {
  namespace fs = std::filesystem;
  std::vector<std::string> nodes;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/sys/class/hidraw", ec)) {
    std::ifstream uevent(entry.path() / "device" / "uevent");
    for (std::string line; std::getline(uevent, line);)
      if (line.ends_with(":00000483:00000157"))
        nodes.push_back("/dev/" + entry.path().filename().string());
  }
  return nodes;
}

inline std::optional<std::string> ProcessorNode() {
  const std::vector<std::string> nodes = ProcessorNodes();
  if (nodes.empty()) return std::nullopt;
  return nodes.front();
}

}  // namespace kdsp::testing
