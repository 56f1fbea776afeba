// SPDX-License-Identifier: GPL-3.0-or-later
// A kdsp-sim server on 127.0.0.1 and a port of the system's choosing, run as a separate process
// for tests of the command-line tools; stopped (and its state file written) when it goes.
// The test target defines KDSP_SIM_PATH as the kdsp-sim executable.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#ifndef KDSP_SIM_PATH
#error "the test target must define KDSP_SIM_PATH as the path of kdsp-sim"
#endif

extern char** environ;

namespace kdsp::testing {

class SimServer {
 public:
  // How long the program may take to say where it listens. Only a hung start reaches it: the
  // program prints its address as soon as the socket is bound.
  static constexpr int kStartLimitMs = 20000;

  // Starts kdsp-sim --listen 127.0.0.1:0 with the given options. When it cannot be started or
  // ends before it says where it listens, the test fails with the reason and ok() is false.
  explicit SimServer(std::vector<std::string> options = {}) {
    std::vector<std::string> args = {KDSP_SIM_PATH, "--listen", "127.0.0.1:0"};
    args.insert(args.end(), options.begin(), options.end());
    for (const std::string& a : args) commandLine_ += (commandLine_.empty() ? "" : " ") + a;
    start(args);
    if (!error_.empty()) ADD_FAILURE() << error_;
  }
  ~SimServer() { stop(); }
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  // Listening, with its port known.
  bool ok() const { return error_.empty(); }
  // Why it is not: "kdsp-sim ... ended with status 2 before it said where it listens".
  const std::string& error() const { return error_; }
  std::string url() const { return "tcp://127.0.0.1:" + port_; }
  const std::string& port() const { return port_; }

  // Stops the program with SIGTERM, so it writes its state file, and waits for it. Returns its
  // exit status; -1 when it was not running or did not end normally. Only the first call waits.
  int stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    const int status = reap();
    closeOutput();
    return status;
  }

  // What the program wrote to stderr, once it has stopped.
  const std::string& errorOutput() const { return errorOutput_; }

  // What the program printed after its first line (the records it received, with --verbose).
  // Read it now and then: a program that prints more than a pipe holds waits until it is read.
  // Once it has stopped, what it printed last is here too.
  std::string takeOutput() {
    std::string text = std::exchange(lastOutput_, {});
    char buffer[4096];
    ssize_t n;
    while (output_ >= 0 && (n = ::read(output_, buffer, sizeof buffer)) > 0) text.append(buffer, n);
    return text;
  }

 private:
  void start(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // Close-on-exec, so a program another thread starts meanwhile does not keep the pipe open
    // and hide this one's end.
    int fds[2], errorFds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0 || ::pipe2(errorFds, O_CLOEXEC) != 0) {
      error_ = "cannot make a pipe for " + commandLine_;
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errorFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    ::close(errorFds[1]);
    output_ = fds[0];
    errors_ = errorFds[0];
    if (spawned != 0) {
      pid_ = -1;
      closeOutput();
      error_ = "cannot start " + commandLine_ + ": " + std::strerror(spawned);
      return;
    }
    // The first line says where it listens: "listening on 127.0.0.1:PORT". The pipe ends when
    // the program does, so a program that dies early is seen at once.
    std::string line;
    bool ended = false, silent = false;
    while (!ended) {
      pollfd p{output_, POLLIN, 0};
      if (::poll(&p, 1, kStartLimitMs) <= 0) {
        silent = true;
        break;
      }
      char c;
      if (::read(output_, &c, 1) != 1) break;
      ended = c == '\n';
      if (!ended) line += c;
    }
    const std::string prefix = "listening on 127.0.0.1:";
    if (ended && line.starts_with(prefix) && line.size() > prefix.size()) {
      port_ = line.substr(prefix.size());
      ::fcntl(output_, F_SETFL, ::fcntl(output_, F_GETFL) | O_NONBLOCK);
      return;
    }
    // Whatever it is doing, it is of no use now.
    if (ended || silent) ::kill(pid_, SIGKILL);
    const int status = reap();
    closeOutput();
    if (ended) {
      error_ = commandLine_ + " printed '" + line + "' instead of where it listens";
    } else if (silent) {
      error_ = commandLine_ + " did not say where it listens within " +
               std::to_string(kStartLimitMs / 1000) + " s";
    } else {
      error_ = commandLine_ + (status >= 0 ? " ended with status " + std::to_string(status)
                                           : std::string(" was killed"));
      error_ += " before it said where it listens";
    }
    if (!errorOutput_.empty())
      error_ += "; it said: " + errorOutput_.substr(0, errorOutput_.find('\n'));
  }

  // Waits for the program; its exit status, -1 when it did not exit normally.
  int reap() {
    int raw = 0;
    const pid_t pid = std::exchange(pid_, -1);
    while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  // Called once the program has ended, so the error pipe is read to its end without waiting.
  void closeOutput() {
    if (output_ >= 0) {
      lastOutput_ = takeOutput();
      ::close(std::exchange(output_, -1));
    }
    if (errors_ < 0) return;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(errors_, buffer, sizeof buffer)) > 0) errorOutput_.append(buffer, n);
    ::close(std::exchange(errors_, -1));
  }

  std::string commandLine_;
  pid_t pid_ = -1;
  int output_ = -1;
  // Read only once the program has ended: it writes little there, far less than a pipe holds.
  int errors_ = -1;
  std::string errorOutput_;
  std::string lastOutput_;
  std::string port_;
  std::string error_;
};

}  // namespace kdsp::testing
