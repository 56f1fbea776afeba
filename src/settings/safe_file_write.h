// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file writes that never leave a truncated file where a good one was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kdsp::settings {

// The outcome of a write. On failure, message names the path and the reason.
struct WriteResult {
  bool ok = false;
  std::string message;

  explicit operator bool() const { return ok; }
};

// Replaces the file at path with data. The bytes go to a temporary file in the same folder,
// which is flushed to disk and then renamed over the target, so the target holds either its old
// contents or the new ones, never a mixture. A symbolic link at path is followed: the file it
// points to is replaced and the link is kept. An existing file keeps its permission bits. Never
// throws.
WriteResult WriteFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> data);
WriteResult WriteFileSafely(const std::filesystem::path& path, std::string_view text);

// Replaces several files as one set, each as WriteFileSafely does: every file is written in
// full to its temporary file first, and only commit() renames them into place. Until then every
// target keeps its old contents, and a writer destroyed without commit() removes its temporary
// files, so a set that cannot be written whole (a full disk) leaves the old set intact.
class FileSetWriter {
 public:
  FileSetWriter();
  ~FileSetWriter();
  FileSetWriter(const FileSetWriter&) = delete;
  FileSetWriter& operator=(const FileSetWriter&) = delete;

  // Writes and flushes the temporary file of one target; on failure nothing of it is left.
  WriteResult stage(const std::filesystem::path& path, std::span<const std::uint8_t> data);
  WriteResult stage(const std::filesystem::path& path, std::string_view text);
  // Renames every staged file into place, in the order staged.
  WriteResult commit();

 private:
  struct Staged;
  std::vector<std::unique_ptr<Staged>> staged_;
};

}  // namespace kdsp::settings
