// SPDX-License-Identifier: GPL-3.0-or-later
// The platform's HID services under the device access layer: listing the present devices,
// identifying them, their report lengths, opening them, moving reports, and arrival and removal
// notices. The layer above knows only this interface (hidraw on Linux, or virtual devices).
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kdsp::device {

struct HidPnPInfo {
  std::string DevicePath;      // what open() takes
  std::uint32_t DeviceID = 0;  // one plugged-in device instance: equal IDs are the same device
  // Descriptive only; nothing decides on them.
  std::string manufacturer;
  std::string product;
  std::string serialNumber;
  std::string sysfsPath;
};

struct HidAttributes {
  std::uint16_t VendorID = 0;
  std::uint16_t ProductID = 0;
  std::uint16_t VersionNumber = 0;
};

// Report lengths include the report ID byte, which is counted (as 0) for a device without IDs.
struct HidCaps {
  std::uint16_t InputReportByteLength = 0;
  std::uint16_t OutputReportByteLength = 0;
  std::uint16_t FeatureReportByteLength = 0;
};

// The reason open() gives when the device node refuses read/write access; the link tells the
// user how to grant it.
inline constexpr std::string_view kPermissionDenied = "Permission denied";

// Why a device could not be opened.
struct HidOpenError {
  int code = 0;        // errno value
  std::string reason;  // kPermissionDenied, or the platform's own text
};

// One open device. read() is called from the device's read thread, cancel() from any thread,
// everything else from the user-interface thread.
class HidPlatformHandle {
 public:
  virtual ~HidPlatformHandle();
  // report[0] is the report ID (0 = none); the report goes out as given. False on failure.
  virtual bool write(std::span<const std::uint8_t> report) = 0;
  // One input report, report ID byte first (0 for a device without IDs), cut to the buffer.
  // Returns its length, 0 when none arrived within timeoutMs, -1 on error (see errorCode()).
  virtual int read(std::span<std::uint8_t> buffer, int timeoutMs) = 0;
  // errno value of the last failed read or write.
  virtual int errorCode() const = 0;
  // Ends a pending read soon and makes every later read return 0 at once: the handle is about
  // to be closed.
  virtual void cancel() = 0;
};

// A handle opened without access, good for identification only: it moves no data.
std::unique_ptr<HidPlatformHandle> MakeIdentificationHandle();

class HidPlatform : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~HidPlatform() override;

  // The HID devices present now.
  virtual std::vector<HidPnPInfo> list() = 0;
  virtual bool attributes(const HidPnPInfo& info, HidAttributes& attributes) = 0;
  virtual bool caps(const HidPnPInfo& info, HidCaps& caps) = 0;
  // readWrite false opens for identification only. On failure returns null and fills *error.
  virtual std::unique_ptr<HidPlatformHandle> open(const HidPnPInfo& info, bool readWrite,
                                                  HidOpenError* error) = 0;

 signals:
  // Some HID device arrived or left; a burst of platform notices gives one signal, always
  // delivered through the event loop.
  void devicesChanged();
};

}  // namespace kdsp::device
