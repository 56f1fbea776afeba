// SPDX-License-Identifier: GPL-3.0-or-later
// The processor as a uhid device: /dev/uhid opened, events read and written.
#include "uhid_transport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "fd_io.h"
#include "hidraw_presence.h"

namespace kdsp::usbmodel {
namespace {

std::span<const std::uint8_t> Bytes(const uhid_event& event) {
  return {reinterpret_cast<const std::uint8_t*>(&event), sizeof event};
}

}  // namespace

std::unique_ptr<UhidTransport> UhidTransport::Plug(const UsbDeviceIdentity& identity,
                                                   OutputReport onOutputReport,
                                                   std::string* error) {
  const std::string path(kUhidPath);
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int why = errno;
    *error = ErrnoText("cannot open " + path, why);
    if (why == ENOENT || why == ENODEV) *error += " (is the uhid module loaded?)";
    return nullptr;
  }
  std::unique_ptr<UhidTransport> transport(new UhidTransport(fd, identity));
  transport->function_.onOutputReport = std::move(onOutputReport);
  transport->before_ = UhidHidDevices("/sys", identity.vendorId, identity.productId);
  // The HID name is what readers of a uhid device show as its product.
  if (!WriteAll(fd, Bytes(CreateEvent(identity, identity.product)), error)) {
    *error = "cannot create the uhid device: " + *error;
    return nullptr;  // the destructor closes the descriptor
  }
  return transport;
}

UhidTransport::~UhidTransport() {
  std::string ignored;
  unplug(&ignored);
}

bool UhidTransport::service(std::string* error) {
  if (fd_ < 0) return false;
  for (;;) {
    // One read gives one event, however large the buffer.
    uhid_event event{};
    std::size_t got = 0;
    const ReadStatus status =
        ReadOnce(fd_, {reinterpret_cast<std::uint8_t*>(&event), sizeof event}, got, error);
    if (status == ReadStatus::kNothing) return true;
    if (status == ReadStatus::kClosed) {
      *error = "the uhid device was closed";
      return false;
    }
    if (status == ReadStatus::kFailed) return false;
    if (got < sizeof event.type) continue;
    if (const auto answer = function_.handle(event)) {
      if (!WriteAll(fd_, Bytes(*answer), error)) return false;
    }
  }
}

bool UhidTransport::hidrawPresent() const {
  return NewUhidHidrawPresent("/sys", identity_.vendorId, identity_.productId, before_);
}

bool UhidTransport::deliver(std::span<const std::uint8_t> report, std::string* error) {
  // Before UHID_START the kernel has no HID device to take it; nobody can be waiting for it.
  if (fd_ < 0 || !function_.started()) return true;
  return WriteAll(fd_, Bytes(InputEvent(report)), error);
}

bool UhidTransport::unplug(std::string* error) {
  if (fd_ < 0) return true;
  // Closing the descriptor would remove the device as well; the explicit destroy removes it
  // before this returns, so "unplugged" is true when it is printed.
  const bool destroyed = WriteAll(fd_, Bytes(DestroyEvent()), error);
  ::close(fd_);
  fd_ = -1;
  return destroyed;
}

}  // namespace kdsp::usbmodel
