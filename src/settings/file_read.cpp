// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the head of a plain file.
#include "settings/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace kdsp::settings {
namespace {

// Closes the descriptor on every way out.
struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::optional<std::string> ReadFileHead(const std::filesystem::path& path, std::size_t maxBytes) {
  // Not blocking on open, so that a named pipe picked by mistake cannot hang the program.
  const FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  if (file.fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;

  // The size is only a hint: the file may grow or shrink while it is read.
  std::string bytes(std::min<std::size_t>(maxBytes, static_cast<std::size_t>(st.st_size)), '\0');
  std::size_t got = 0;
  while (got < maxBytes) {
    if (got == bytes.size()) bytes.resize(std::min(maxBytes, bytes.size() * 2 + 4096));
    const ssize_t n = ::read(file.fd, bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

}  // namespace kdsp::settings
