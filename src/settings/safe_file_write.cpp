// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file writes through a temporary file that is synced and then renamed over the target.
#include "settings/safe_file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <system_error>

#include "core/composed_text.h"
#include "settings/file_messages.h"

namespace kdsp::settings {
namespace fs = std::filesystem;
namespace {

// Keeps temporary names well inside the file system's name limit whatever the target's length.
constexpr std::size_t kMaxNameStemBytes = 64;

WriteResult Failure(const fs::path& path, const std::string& reason) {
  return WriteResult{false, core::FillIn(message::kCantWrite, {path.string(), reason})};
}
WriteResult Failure(const fs::path& path, int error) {
  // strerror may share one buffer between threads; the category's text is the thread's own.
  return Failure(path, std::generic_category().message(error));
}

// The first max bytes of text at most, never cutting a UTF-8 sequence in two.
std::string Utf8Prefix(const std::string& text, std::size_t max) {
  if (text.size() <= max) return text;
  std::size_t n = max;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

// A link is followed so that replacing the file does not replace the user's link with a copy.
fs::path ResolveTarget(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_symlink(path, ec)) return path;
  fs::path resolved = fs::weakly_canonical(path, ec);
  return ec ? path : resolved;
}

// The temporary file; removed again unless it has been renamed into place.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty() && !renamed_) ::unlink(path_.c_str());
  }

  // Creates a new, exclusive file next to target; false with errno set on failure.
  bool Create(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    // Appended rather than "." + prefix: GCC 12's -O3 warns falsely (-Wrestrict) on that insert.
    std::string stem = ".";
    stem += Utf8Prefix(target.filename().string(), kMaxNameStemBytes);
    for (int attempt = 0; attempt < 100; ++attempt) {
      fs::path candidate = target.parent_path() / (stem + ".tmp" + std::to_string(::getpid()) +
                                                   "-" + std::to_string(counter++));
      // 0666 lets the umask decide, as it would for the file written directly.
      fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) {
        path_ = std::move(candidate);
        return true;
      }
      if (errno != EEXIST) return false;
    }
    errno = EEXIST;
    return false;
  }

  bool WriteAll(std::span<const std::uint8_t> data) {
    const std::uint8_t* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
      const ssize_t n = ::write(fd_, p, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (n == 0) {
        errno = EIO;
        return false;
      }
      p += n;
      left -= static_cast<std::size_t>(n);
    }
    return true;
  }

  void CopyModeFrom(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      ::fchmod(fd_, st.st_mode & 07777);  // best effort: the data matters more than the bits
    }
  }

  // Flushes the data to the device and closes the file; a close error can mean lost data.
  bool SyncAndClose() {
    int fd = fd_;
    fd_ = -1;
    if (::fsync(fd) != 0) {
      const int error = errno;
      ::close(fd);
      errno = error;
      return false;
    }
    return ::close(fd) == 0;
  }

  bool RenameTo(const fs::path& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) return false;
    renamed_ = true;
    return true;
  }

 private:
  int fd_ = -1;
  fs::path path_;
  bool renamed_ = false;
};

std::span<const std::uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Makes the rename itself durable. Some file systems refuse fsync on a folder; the file is in
// place by then, so that is not treated as a failure.
void SyncFolder(const fs::path& target) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

struct FileSetWriter::Staged {
  fs::path path;    // as the caller named it, for messages
  fs::path target;  // where the file goes (a link followed)
  TemporaryFile temporary;
};

FileSetWriter::FileSetWriter() = default;
FileSetWriter::~FileSetWriter() = default;

WriteResult FileSetWriter::stage(const fs::path& path, std::span<const std::uint8_t> data) {
  try {
    if (path.empty() || !path.has_filename()) return Failure(path, "no file name given");
    auto staged = std::make_unique<Staged>();
    staged->path = path;
    staged->target = ResolveTarget(path);
    // A file the user made read-only stays protected, as it would against a direct write.
    if (::access(staged->target.c_str(), W_OK) != 0 && errno != ENOENT) return Failure(path, errno);
    TemporaryFile& temporary = staged->temporary;
    if (!temporary.Create(staged->target)) return Failure(path, errno);
    temporary.CopyModeFrom(staged->target);
    if (!temporary.WriteAll(data) || !temporary.SyncAndClose()) return Failure(path, errno);
    staged_.push_back(std::move(staged));
    return WriteResult{true, {}};
  } catch (const std::exception& e) {  // only allocation can throw here
    return Failure(path, e.what());
  }
}

WriteResult FileSetWriter::stage(const fs::path& path, std::string_view text) {
  return stage(path, AsBytes(text));
}

WriteResult FileSetWriter::commit() {
  for (std::size_t i = 0; i < staged_.size(); ++i) {
    Staged& staged = *staged_[i];
    if (!staged.temporary.RenameTo(staged.target)) {
      // Renames within a folder practically never fail once the data is on disk; if one does,
      // the files before it are already new and the caller hears which one failed.
      WriteResult failed = Failure(staged.path, errno);
      staged_.clear();
      return failed;
    }
    SyncFolder(staged.target);
  }
  staged_.clear();
  return WriteResult{true, {}};
}

WriteResult WriteFileSafely(const fs::path& path, std::span<const std::uint8_t> data) {
  FileSetWriter writer;
  if (WriteResult staged = writer.stage(path, data); !staged) return staged;
  return writer.commit();
}

WriteResult WriteFileSafely(const fs::path& path, std::string_view text) {
  return WriteFileSafely(path, AsBytes(text));
}

}  // namespace kdsp::settings
