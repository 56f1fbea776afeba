// SPDX-License-Identifier: GPL-3.0-or-later
// The platform HID service interface, and the handle of a device opened for identification only.
#include "device/hid_platform.h"

#include <cerrno>

namespace kdsp::device {
namespace {

// Refuses every transfer the way a handle opened without access does.
class IdentificationHandle final : public HidPlatformHandle {
 public:
  bool write(std::span<const std::uint8_t>) override { return false; }
  int read(std::span<std::uint8_t>, int) override { return -1; }
  int errorCode() const override { return EACCES; }
  void cancel() override {}
};

}  // namespace

HidPlatformHandle::~HidPlatformHandle() = default;
HidPlatform::~HidPlatform() = default;

std::unique_ptr<HidPlatformHandle> MakeIdentificationHandle() {
  return std::make_unique<IdentificationHandle>();
}

}  // namespace kdsp::device
