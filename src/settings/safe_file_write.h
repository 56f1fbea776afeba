// Whole-file writes that never leave a truncated file where a good one was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

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

}  // namespace kdsp::settings
