// SPDX-License-Identifier: GPL-3.0-or-later
// Lowers the file-size limit of the test process for a while, so that a write fails half-way as
// it would on a full disk (EFBIG instead of the SIGXFSZ signal).
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace kdsp::testing {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);  // EFBIG instead of the signal
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  sighandler_t previousHandler_;
};

}  // namespace kdsp::testing
