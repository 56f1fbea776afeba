// SPDX-License-Identifier: GPL-3.0-or-later
// The HID platform on Linux: hidraw device nodes listed and followed through udev, opened,
// read and written through hidapi's hidraw backend.
#pragma once

#include <QTimer>
#include <cstdint>
#include <optional>
#include <string_view>

#include "device/hid_platform.h"

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace kdsp::device {

class LinuxHidPlatform : public HidPlatform {
  Q_OBJECT

 public:
  // Without udev the list is empty and no change is ever reported; the program keeps running.
  explicit LinuxHidPlatform(QObject* parent = nullptr);
  ~LinuxHidPlatform() override;

  // Arrivals and removals are being followed.
  bool followsChanges() const { return monitor_ != nullptr; }

  std::vector<HidPnPInfo> list() override;
  bool attributes(const HidPnPInfo& info, HidAttributes& attributes) override;
  bool caps(const HidPnPInfo& info, HidCaps& caps) override;
  std::unique_ptr<HidPlatformHandle> open(const HidPnPInfo& info, bool readWrite,
                                          HidOpenError* error) override;

 private:
  void ReceiveNotices();

  struct udev* udev_ = nullptr;
  struct udev_monitor* monitor_ = nullptr;
  QSocketNotifier* notifier_ = nullptr;
  // Gathers the several notices of one plug-in (a device often has more than one interface).
  QTimer settle_;
};

// Vendor and product from a HID_ID property ("0003:00000483:00000157": bus, vendor, product).
struct HidIdentity {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
};
std::optional<HidIdentity> ParseHidId(std::string_view hidId);

// What the user reads when a device node cannot be opened: kPermissionDenied for EACCES and
// EPERM, the system's text otherwise.
std::string OpenErrorReason(int errnoValue);

}  // namespace kdsp::device
