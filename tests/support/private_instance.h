// SPDX-License-Identifier: GPL-3.0-or-later
// A private single-instance name for a program a test starts, so that neither the user's kdsp
// nor a program the same test of another build starts meanwhile is taken for its first instance.
#pragma once

#include <unistd.h>

#include <string>
#include <string_view>

namespace kdsp::testing {

// Unique on this machine while the test runs: the test's process ID and a count.
inline std::string PrivateInstanceName(std::string_view test) {
  static int made = 0;
  return std::string(test) + "-" + std::to_string(::getpid()) + "-" + std::to_string(++made);
}

}  // namespace kdsp::testing
