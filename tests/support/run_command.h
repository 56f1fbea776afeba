// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a command line through the shell and collects its exit status, stdout and stderr.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace kdsp::testing {

struct RunResult {
  int status;  // the exit status, -1 when the command did not exit normally
  std::string out;
  std::string err;
};

// The output goes through files in the given folder; input is fed on stdin.
inline RunResult RunCommand(const std::string& commandLine, const std::filesystem::path& scratch,
                            const std::string& input = "") {
  const auto in = scratch / "stdin", out = scratch / "stdout", err = scratch / "stderr";
  std::ofstream(in, std::ios::binary) << input;
  const std::string command =
      commandLine + " <'" + in.string() + "' >'" + out.string() + "' 2>'" + err.string() + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out), ReadBytes(err)};
}

}  // namespace kdsp::testing
