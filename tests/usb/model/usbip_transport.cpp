// SPDX-License-Identifier: GPL-3.0-or-later
// The processor on vhci-hcd: the loopback connection, the attach and detach files, the socket.
#include "usbip_transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "fd_io.h"
#include "hidraw_presence.h"
#include "vhci_ports.h"

namespace kdsp::usbmodel {
namespace {

// A descriptor closed when it goes out of scope, unless released.
class OwnedFd {
 public:
  explicit OwnedFd(int fd = -1) : fd_(fd) {}
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;
  ~OwnedFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

bool SetNoDelay(int fd, std::string* error) {
  // Answers are small and each one is waited for: none may sit in the socket for coalescing.
  const int on = 1;
  if (::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0) return true;
  *error = ErrnoText("setsockopt(TCP_NODELAY)", errno);
  return false;
}

bool Connect(int fd, const sockaddr_in& address, std::string* error) {
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
  if (errno != EINTR && errno != EINPROGRESS) {
    *error = ErrnoText("connect", errno);
    return false;
  }
  // An interrupted connect goes on by itself: wait for it and ask how it ended.
  pollfd p{fd, POLLOUT, 0};
  while (::poll(&p, 1, -1) < 0) {
    if (errno != EINTR) {
      *error = ErrnoText("poll", errno);
      return false;
    }
  }
  int result = 0;
  socklen_t length = sizeof result;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &result, &length) != 0) result = errno;
  if (result == 0) return true;
  *error = ErrnoText("connect", result);
  return false;
}

// Two connected ends of a TCP connection over the loopback interface: vhci-hcd takes stream
// sockets of the IP families only.
bool LoopbackConnection(OwnedFd& deviceEnd, OwnedFd& hostEnd, std::string* error) {
  OwnedFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (listener.get() < 0) {
    *error = ErrnoText("socket", errno);
    return false;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // any free port
  socklen_t length = sizeof address;
  if (::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener.get(), 1) != 0 ||
      ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    *error = ErrnoText("listening on 127.0.0.1", errno);
    return false;
  }
  OwnedFd host(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (host.get() < 0) {
    *error = ErrnoText("socket", errno);
    return false;
  }
  if (!Connect(host.get(), address, error)) return false;
  int accepted;
  do {
    accepted = ::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC);
  } while (accepted < 0 && errno == EINTR);
  if (accepted < 0) {
    *error = ErrnoText("accept", errno);
    return false;
  }
  OwnedFd device(accepted);
  if (!SetNoDelay(device.get(), error) || !SetNoDelay(host.get(), error)) return false;
  const int flags = ::fcntl(device.get(), F_GETFL);
  if (flags < 0 || ::fcntl(device.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
    *error = ErrnoText("fcntl(O_NONBLOCK)", errno);
    return false;
  }
  deviceEnd.reset(device.release());
  hostEnd.reset(host.release());
  return true;
}

}  // namespace

UsbipTransport::UsbipTransport(int fd, const UsbDeviceIdentity& identity, bool outEndpoint,
                               std::uint32_t devid)
    : fd_(fd), identity_(identity), devid_(devid), device_(identity, outEndpoint) {}

std::unique_ptr<UsbipTransport> UsbipTransport::Plug(const UsbDeviceIdentity& identity,
                                                     bool outEndpoint, std::uint32_t devid,
                                                     OutputReport onOutputReport,
                                                     std::string* error) {
  std::string status;
  if (!ReadTextFile(kVhciStatusPath, status, error)) {
    *error += " (is the vhci-hcd module loaded?)";
    return nullptr;
  }
  const std::vector<unsigned> ports = FreeHighSpeedPorts(status);
  if (ports.empty()) {
    *error = "no free port on vhci-hcd's high-speed hub (" + std::string(kVhciStatusPath) + ")";
    return nullptr;
  }
  OwnedFd deviceEnd;
  OwnedFd hostEnd;
  if (!LoopbackConnection(deviceEnd, hostEnd, error)) {
    *error = "cannot make the USB/IP connection: " + *error;
    return nullptr;
  }
  std::unique_ptr<UsbipTransport> transport(
      new UsbipTransport(deviceEnd.release(), identity, outEndpoint, devid));
  transport->device_.function().onOutputReport = std::move(onOutputReport);
  UsbipTransport* const self = transport.get();
  transport->device_.function().onConfigured = [self] { self->enumerated_ = true; };
  // The kernel starts enumerating as soon as the attach is written; the requests wait in the
  // socket until the event loop reads them.
  for (const unsigned port : ports) {
    const std::string line = AttachRequest(port, hostEnd.get(), devid, kUsbSpeedFull);
    // A port another attacher took since the status was read refuses: the next one is tried.
    if (WriteTextFile(kVhciAttachPath, line, error)) {
      transport->port_ = port;
      transport->attached_ = true;
      break;
    }
  }
  if (!transport->attached_) {
    *error = "cannot attach to vhci-hcd: " + *error;
    return nullptr;
  }
  // vhci-hcd holds its own reference to the host's end now.
  return transport;
}

UsbipTransport::~UsbipTransport() {
  std::string ignored;
  unplug(&ignored);
}

bool UsbipTransport::service(std::string* error) {
  if (fd_ < 0) return false;
  std::vector<std::uint8_t> buffer(64 * 1024);
  std::vector<std::uint8_t> answers;
  for (;;) {
    std::size_t got = 0;
    switch (ReadOnce(fd_, buffer, got, error)) {
      case ReadStatus::kNothing:
        return true;
      case ReadStatus::kClosed:
        *error = "vhci-hcd closed the USB/IP connection";
        return false;
      case ReadStatus::kFailed:
        return false;
      case ReadStatus::kData:
        break;
    }
    answers.clear();
    const bool sound = device_.receive({buffer.data(), got}, answers);
    // What was answered before a broken command still goes out.
    if (!answers.empty() && !WriteAll(fd_, answers, error)) return false;
    if (!sound) {
      *error = "USB/IP stream from vhci-hcd cannot be followed: " + device_.error();
      return false;
    }
  }
}

bool UsbipTransport::hidrawPresent() const {
  return VhciHidrawPresent("/sys", port_, identity_.vendorId, identity_.productId);
}

bool UsbipTransport::deliver(std::span<const std::uint8_t> report, std::string* error) {
  if (fd_ < 0) return true;
  std::vector<std::uint8_t> answer;
  device_.sendInputReport(report, answer);
  return answer.empty() || WriteAll(fd_, answer, error);
}

bool UsbipTransport::unplug(std::string* error) {
  if (fd_ < 0) return true;
  bool detached = true;
  if (attached_) {
    // Only a port that still shows this device is detached: one vhci-hcd has let go of may have
    // gone to another device since. A device not yet addressed shows no device id; closing the
    // connection below removes it as well.
    std::string status;
    if (ReadTextFile(kVhciStatusPath, status, error) && PortHoldsDevice(status, port_, devid_))
      detached = WriteTextFile(kVhciDetachPath, std::to_string(port_), error);
  }
  ::close(fd_);
  fd_ = -1;
  attached_ = false;
  return detached;
}

}  // namespace kdsp::usbmodel
