// SPDX-License-Identifier: GPL-3.0-or-later
// The context of the work on one processor.
#include "device_work.h"

namespace kdsp::tools {

std::filesystem::path TargetContext::ownPath(const std::filesystem::path& path) const {
  if (folder.empty()) return path;
  return path.parent_path() / folder / path.filename();
}

void ThrowIfStopped(const TargetContext& context, const std::string& undone) {
  if (context.stopRequested()) throw StoppedFailure("stopped; " + undone);
}

}  // namespace kdsp::tools
