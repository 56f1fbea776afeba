// SPDX-License-Identifier: GPL-3.0-or-later
// A program a test starts and lets run while it does other things: its output goes to files in
// a scratch folder, it can be sent a signal, and its end is waited for.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace kdsp::testing {

class BackgroundCommand {
 public:
  // Starts args[0] with the arguments; stdout and stderr go to files in scratch.
  BackgroundCommand(std::vector<std::string> args, const std::filesystem::path& scratch)
      : out_(scratch / "background.out"), err_(scratch / "background.err") {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (pid_ < 0) ADD_FAILURE() << "cannot start " << args[0];
  }
  ~BackgroundCommand() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    wait();
  }
  BackgroundCommand(const BackgroundCommand&) = delete;
  BackgroundCommand& operator=(const BackgroundCommand&) = delete;

  void signal(int number) const {
    if (pid_ > 0) ::kill(pid_, number);
  }
  // Waits for the end; the exit status, -1 when it did not exit normally or was not running.
  int wait() {
    if (pid_ <= 0) return -1;
    int raw = 0;
    const pid_t pid = std::exchange(pid_, -1);
    while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  std::string out() const { return ReadBytes(out_); }
  std::string err() const { return ReadBytes(err_); }

 private:
  std::filesystem::path out_;
  std::filesystem::path err_;
  pid_t pid_ = -1;
};

}  // namespace kdsp::testing
