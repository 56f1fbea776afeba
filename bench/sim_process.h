// SPDX-License-Identifier: GPL-3.0-or-later
// Programs a benchmark runs: kdsp-sim servers on ports of the system's choosing, kept for the
// whole run, and a command run to its end with its output discarded.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace kdsp::bench {

// kdsp-sim --listen 127.0.0.1:0 with the options; --count N in them makes N processors.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> options = {}, int count = 1) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {KDSP_SIM_PATH, "--listen", "127.0.0.1:0", "--count",
                                     std::to_string(count)};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    // One "listening on 127.0.0.1:PORT" line per processor.
    std::string line;
    char c;
    pollfd p{fds[0], POLLIN, 0};
    while (pid_ > 0 && static_cast<int>(urls_.size()) < count && ::poll(&p, 1, 20000) > 0 &&
           ::read(fds[0], &c, 1) == 1) {
      if (c != '\n') {
        line += c;
        continue;
      }
      const std::size_t colon = line.rfind(':');
      if (colon != std::string::npos) urls_.push_back("tcp://127.0.0.1:" + line.substr(colon + 1));
      line.clear();
    }
    ::close(fds[0]);
    if (static_cast<int>(urls_.size()) != count) urls_.clear();
  }
  ~SimProcess() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Every processor's address; empty when the program did not start.
  const std::vector<std::string>& urls() const { return urls_; }
  std::string url() const { return urls_.empty() ? std::string() : urls_.front(); }

 private:
  pid_t pid_ = -1;
  std::vector<std::string> urls_;
};

// Runs the program with its output discarded; the exit status, or -1.
inline int RunDiscardingOutput(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace kdsp::bench
