// SPDX-License-Identifier: GPL-3.0-or-later
// Careful reads and writes on file descriptors.
#include "fd_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kdsp::usbmodel {

std::string ErrnoText(std::string_view what, int errnoValue) {
  return std::string(what) + ": " + std::strerror(errnoValue);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, std::string* error) {
  bool socket = true;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::uint8_t* from = bytes.data() + done;
    const std::size_t left = bytes.size() - done;
    ssize_t n = socket ? ::send(fd, from, left, MSG_NOSIGNAL) : ::write(fd, from, left);
    if (n < 0 && socket && errno == ENOTSOCK) {
      socket = false;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // A full non-blocking socket: wait until the other side has read some.
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, -1) < 0 && errno != EINTR) {
        if (error) *error = ErrnoText("poll", errno);
        return false;
      }
      continue;
    }
    if (n < 0) {
      if (error) *error = ErrnoText("write", errno);
      return false;
    }
    if (n == 0) {
      if (error) *error = "write: nothing was written";
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

ReadStatus ReadOnce(int fd, std::span<std::uint8_t> into, std::size_t& got, std::string* error) {
  got = 0;
  for (;;) {
    const ssize_t n = ::read(fd, into.data(), into.size());
    if (n > 0) {
      got = static_cast<std::size_t>(n);
      return ReadStatus::kData;
    }
    if (n == 0) return ReadStatus::kClosed;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadStatus::kNothing;
    // A reset connection is a closed one, told rudely.
    if (errno == ECONNRESET) return ReadStatus::kClosed;
    if (error) *error = ErrnoText("read", errno);
    return ReadStatus::kFailed;
  }
}

bool ReadTextFile(std::string_view path, std::string& text, std::string* error) {
  const std::string name(path);
  int fd;
  do {
    fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (error) *error = ErrnoText("cannot open " + name, errno);
    return false;
  }
  text.clear();
  std::uint8_t buffer[4096];
  for (;;) {
    std::size_t got = 0;
    const ReadStatus status = ReadOnce(fd, buffer, got, error);
    if (status == ReadStatus::kData) {
      text.append(reinterpret_cast<const char*>(buffer), got);
      continue;
    }
    ::close(fd);
    if (status == ReadStatus::kFailed && error) *error = "cannot read " + name + ": " + *error;
    return status != ReadStatus::kFailed;
  }
}

bool WriteTextFile(std::string_view path, std::string_view text, std::string* error) {
  const std::string name(path);
  int fd;
  do {
    fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (error) *error = ErrnoText("cannot open " + name, errno);
    return false;
  }
  // A sysfs attribute takes one write; its answer is the write's result.
  ssize_t n;
  do {
    n = ::write(fd, text.data(), text.size());
  } while (n < 0 && errno == EINTR);
  const int writeErrno = errno;
  ::close(fd);
  if (n < 0) {
    if (error) *error = ErrnoText("writing '" + std::string(text) + "' to " + name, writeErrno);
    return false;
  }
  if (static_cast<std::size_t>(n) != text.size()) {
    if (error) *error = "writing '" + std::string(text) + "' to " + name + ": cut short";
    return false;
  }
  return true;
}

}  // namespace kdsp::usbmodel
