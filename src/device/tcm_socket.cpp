// SPDX-License-Identifier: GPL-3.0-or-later
// The WiFi link's socket component on POSIX sockets and the Qt event loop.
#include "device/tcm_socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>

#include "device/socket_errors.h"

namespace kdsp::device {
namespace {

sockaddr_in MakeAddress(std::uint32_t address, int port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_addr.s_addr = htonl(address);
  result.sin_port = htons(static_cast<std::uint16_t>(port));
  return result;
}

sockaddr* AsGeneric(sockaddr_in* address) {
  return reinterpret_cast<sockaddr*>(address);
}

}  // namespace

TcmSocket::TcmSocket(QObject* parent) : QObject(parent) {
  // The session is ending: the connection is closed rather than left to the process exit.
  if (auto* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, &TcmSocket::Close);
}

TcmSocket::~TcmSocket() {
  OnError = nullptr;
  OnReceive = nullptr;
  OnActiveChanged = nullptr;
  Close();
}

void TcmSocket::SetBufOffset(int offset) {
  bufOffset_ = std::max(offset, 0);
}

// A size of 0 would make every empty receive look like a full one and never end the read loop.
void TcmSocket::SetMaxBufSize(int size) {
  maxBufSize_ = std::max(size, 1);
}

void TcmSocket::SetActive(bool active) {
  // Closing also ends a connect still under way, which is not active yet.
  if (active)
    Open();
  else
    Close();
}

void TcmSocket::Open() {
  if (active_) return;
  // A connect still under way, or one that failed, is given up for the new one.
  if (fd_ != kInvalidSocket) releaseSocket();
  if (protocol_ != cmTcpClient) {
    ShowError(kWsaESocktNoSupport, "socket() failed");
    return;
  }
  const unsigned generation = ++generation_;
  bound_ = false;

  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (ErrorCheck(fd, "socket() failed") != 0) return;
  fd_ = fd;
  readNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  readNotifier_->setEnabled(false);
  connect(readNotifier_, &QSocketNotifier::activated, this, [this] { onReadable(); });
  writeNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Write, this);
  writeNotifier_->setEnabled(false);
  connect(writeNotifier_, &QSocketNotifier::activated, this, [this] { onWritable(); });

  // Every local interface: the route to the module picks the right one. Binding to this
  // computer's first address instead often means a loopback alias or the wrong network card.
  std::uint32_t localAddress = INADDR_ANY;
  if (localHost_ != "0" && !localHost_.empty()) {
    const auto resolved = get_ip_data(localHost_);
    if (!resolved) {
      reportFailure(kWsaEAddrNotAvail, "bind() failed");
      return;
    }
    localAddress = *resolved;
  }
  sockaddr_in local = MakeAddress(localAddress, localPort_);
  if (ErrorCheck(::bind(fd, AsGeneric(&local), sizeof local), "bind() failed") != 0) return;
  bound_ = true;

  const auto remoteAddress = get_ip_data(remoteHost_);
  if (!remoteAddress) {
    reportFailure(kWsaEDestAddrReq, "connect() failed");
    return;
  }
  sockaddr_in remote = MakeAddress(*remoteAddress, remotePort_);
  if (::connect(fd, AsGeneric(&remote), sizeof remote) == 0) {
    activate();
    return;
  }
  if (errno != EINPROGRESS) {
    ErrorCheck(-1, "connect() failed");
    return;
  }
  // The connection completes later. Winsock answers such a connect with the would-block code,
  // and it is reported as such (it does not close the socket).
  reportFailure(kWsaEWouldBlock, "connect() failed");
  if (generation_ == generation && fd_ == fd) writeNotifier_->setEnabled(true);
}

void TcmSocket::Close() {
  if (fd_ == kInvalidSocket && !active_) return;
  releaseSocket();
  active_ = false;
  bound_ = false;
  if (OnActiveChanged) OnActiveChanged(*this);
}

bool TcmSocket::Send(const std::uint8_t* data, int length) {
  if (!active_ || fd_ == kInvalidSocket) return false;
  int sent = 0;
  while (sent < length) {
    // No SIGPIPE: a connection the module has dropped is a failed send, not the program's end.
    const ssize_t n =
        ::send(fd_, data + sent, static_cast<std::size_t>(length - sent), MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      ErrorCheck(-1, "send() failed");
      return false;
    }
    sent += static_cast<int>(n);
  }
  return true;
}

void TcmSocket::OnSocketMessage(int event, int error) {
  const int message = MakeSelectReply(event, error);
  switch (message) {
    case kFdRead:
      receiveAvailable();
      break;
    case kFdWrite:
      if (!active_ && bound_ && fd_ != kInvalidSocket) activate();
      break;
    case kFdOob:
      ShowError(0, "Message:FD_OOB");
      break;
    case kFdAccept:
      ShowError(0, "Message:FD_ACCEPT");
      break;
    case kFdConnect:
      ShowError(0, "Message:FD_CONNECT");
      break;
    case kFdClose:
      Close();
      break;
    default:
      ShowError(message, std::to_string(kSocketMessage));
      break;
  }
}

int TcmSocket::ErrorCheck(int result, const char* text) {
  if (result != -1) return 0;
  const int code = SocketErrorFromErrno(errno);
  reportFailure(code, text);
  return code;
}

void TcmSocket::reportFailure(int code, const char* text) {
  // A socket that fails before it is connected is of no further use; once connected, the
  // close notification ends it instead.
  if (code != kWsaEWouldBlock && !active_ && fd_ != kInvalidSocket) {
    ShowError(0, ClosedForErrorText(code));
    Close();
  }
  ShowError(code, text);
}

void TcmSocket::ShowError(int code, std::string_view text) {
  if (OnError) OnError(*this, code, ComposeErrorText(code, text));
}

void TcmSocket::activate() {
  active_ = true;
  if (writeNotifier_ != nullptr) writeNotifier_->setEnabled(false);

  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(fd_, AsGeneric(&address), &length) == 0) {
    localHost_ = HostIP(ntohl(address.sin_addr.s_addr));
    localPort_ = ntohs(address.sin_port);
  }
  // TCP receives carry no sender address; the peer is the one connected to.
  length = sizeof address;
  if (ErrorCheck(::getpeername(fd_, AsGeneric(&address), &length), "getpeername() failt!") == 0) {
    peerAddress_ = HostIP(ntohl(address.sin_addr.s_addr));
    peerPort_ = ntohs(address.sin_port);
  } else {
    peerAddress_ = remoteHost_;
    peerPort_ = remotePort_;
  }

  const auto size = static_cast<std::size_t>(maxBufSize_) + 1;
  if (buffer_.size() != size) buffer_.assign(size, 0);
  bufOffset_ = 0;
  if (readNotifier_ != nullptr) readNotifier_->setEnabled(true);
  if (OnActiveChanged) OnActiveChanged(*this);
}

void TcmSocket::releaseSocket() {
  // The watches go first: a descriptor must not be closed under an enabled notifier. They are
  // deleted later because this may run inside one of their own signals.
  for (QSocketNotifier** notifier : {&readNotifier_, &writeNotifier_}) {
    if (*notifier == nullptr) continue;
    (*notifier)->setEnabled(false);
    (*notifier)->deleteLater();
    *notifier = nullptr;
  }
  const int fd = fd_;
  fd_ = kInvalidSocket;
  if (fd != kInvalidSocket) ErrorCheck(::close(fd), "closesocket() failed");
}

void TcmSocket::onWritable() {
  // Readiness to write is watched only while connecting: it tells that the connect completed.
  writeNotifier_->setEnabled(false);
  const int fd = fd_;
  const unsigned generation = generation_;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  if (error != 0) {
    OnSocketMessage(kFdConnect, SocketErrorFromErrno(error));
    return;
  }
  OnSocketMessage(kFdConnect, 0);
  if (generation_ == generation && fd_ == fd) OnSocketMessage(kFdWrite, 0);
}

void TcmSocket::onReadable() {
  const int fd = fd_;
  const unsigned generation = generation_;
  QSocketNotifier* notifier = readNotifier_;
  std::uint8_t probe = 0;
  const ssize_t n = ::recv(fd, &probe, 1, MSG_PEEK);
  if (n > 0) {
    // A receiver may wait with the event loop running; further input waits in the socket until
    // this read is done, so the receive buffer is never overwritten under it.
    notifier->setEnabled(false);
    OnSocketMessage(kFdRead, 0);
    if (generation_ != generation || fd_ != fd) return;
    // Unread bytes would wake the watch at once again, for ever.
    if (!OnReceive || buffer_.empty()) discardAvailable();
    notifier->setEnabled(true);
    return;
  }
  if (n < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return;
    ErrorCheck(-1, "recv() failed");
    if (generation_ != generation || fd_ != fd) return;
  }
  // End of stream, or a connection reset.
  OnSocketMessage(kFdClose, 0);
}

void TcmSocket::receiveAvailable() {
  if (!OnReceive || buffer_.empty() || fd_ == kInvalidSocket) return;
  const int fd = fd_;
  const unsigned generation = generation_;
  // The buffer as allocated at activation, whatever MaxBufSize says since.
  const int capacity = static_cast<int>(buffer_.size()) - 1;
  bool filled = false;
  do {
    if (!relayDump_ || bufOffset_ >= capacity) bufOffset_ = 0;
    const int space = capacity - bufOffset_;
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t n = ::recvfrom(fd, buffer_.data() + bufOffset_, static_cast<std::size_t>(space),
                                 0, AsGeneric(&from), &fromLength);
    if (n < 0) {
      ErrorCheck(-1, "recvfrom() failed");
      return;
    }
    filled = n == space;
    if (n == 0) return;
    if (fromLength >= sizeof from && from.sin_family == AF_INET) {
      peerAddress_ = HostIP(ntohl(from.sin_addr.s_addr));
      peerPort_ = ntohs(from.sin_port);
    }
    const std::uint8_t* start = buffer_.data() + bufOffset_;
    bufOffset_ += static_cast<int>(n);
    buffer_[static_cast<std::size_t>(bufOffset_)] = 0;
    OnReceive(*this, fd, static_cast<int>(n), start, peerAddress_, peerPort_);
    if (generation_ != generation || fd_ != fd || !OnReceive) return;
  } while (filled);
}

void TcmSocket::discardAvailable() {
  std::uint8_t scratch[512];
  while (::recv(fd_, scratch, sizeof scratch, 0) > 0) {
  }
}

std::string TcmSocket::HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string TcmSocket::HostIP() {
  const auto address = get_ip_data("");
  return address ? HostIP(*address) : std::string();
}

std::string TcmSocket::HostIP(std::uint32_t address) {
  in_addr in{};
  in.s_addr = htonl(address);
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &in, text, sizeof text);
  return text;
}

bool TcmSocket::isValidIP(std::string_view text) {
  if (text.size() <= 6) return false;
  const std::string terminated(text);
  in_addr address{};
  return ::inet_pton(AF_INET, terminated.c_str(), &address) == 1;
}

std::optional<std::uint32_t> TcmSocket::get_ip_data(std::string_view text) {
  if (isValidIP(text)) {
    const std::string terminated(text);
    in_addr address{};
    ::inet_pton(AF_INET, terminated.c_str(), &address);
    return ntohl(address.s_addr);
  }
  const std::string name = text.empty() ? HostName() : std::string(text);
  if (name.empty()) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
    return std::nullopt;
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const std::uint32_t result = ntohl(address->sin_addr.s_addr);
  ::freeaddrinfo(found);
  return result;
}

}  // namespace kdsp::device
