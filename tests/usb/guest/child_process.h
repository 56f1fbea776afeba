// SPDX-License-Identifier: GPL-3.0-or-later
// A program the guest checks run beside themselves: started with a pipe to its input and its
// output read line by line without blocking, so a check can wait for what it prints with the
// event loop running (the program under test may be in this same process).
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

extern char** environ;

namespace kdsp::testing {

class ChildProcess {
 public:
  using Clock = std::chrono::steady_clock;

  // Starts argv[0] with the rest as its arguments; on failure the test fails and running() is
  // false.
  explicit ChildProcess(std::vector<std::string> argv) {
    for (const std::string& a : argv) commandLine_ += (commandLine_.empty() ? "" : " ") + a;
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
        ::pipe2(err, O_CLOEXEC) != 0) {
      ADD_FAILURE() << "cannot make pipes for " << commandLine_;
      return;
    }
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    const int spawned = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    input_ = in[1];
    output_ = out[0];
    errors_ = err[0];
    ::fcntl(output_, F_SETFL, O_NONBLOCK);
    ::fcntl(errors_, F_SETFL, O_NONBLOCK);
    if (spawned != 0) {
      pid_ = -1;
      ADD_FAILURE() << "cannot start " << commandLine_ << ": " << std::strerror(spawned);
    }
  }
  ~ChildProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      wait(std::chrono::seconds(10));
    }
    for (int fd : {input_, output_, errors_})
      if (fd >= 0) ::close(fd);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool running() const { return pid_ > 0; }
  const std::string& commandLine() const { return commandLine_; }

  // Writes one line to the program's input.
  bool send(std::string_view line) {
    std::string text(line);
    text += '\n';
    std::size_t sent = 0;
    while (sent < text.size()) {
      const ssize_t n = ::write(input_, text.data() + sent, text.size() - sent);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return true;
  }
  // Ends its input: the program sees end of file.
  void closeInput() {
    if (input_ >= 0) ::close(std::exchange(input_, -1));
  }

  // Every complete line it printed so far, in order.
  const std::vector<std::string>& lines() {
    drain();
    return lines_;
  }
  // The first line from index `from` on that starts with prefix, if it has been printed.
  std::optional<std::size_t> find(std::string_view prefix, std::size_t from = 0) {
    drain();
    for (std::size_t i = from; i < lines_.size(); ++i)
      if (std::string_view(lines_[i]).substr(0, prefix.size()) == prefix) return i;
    return std::nullopt;
  }
  const std::string& errorOutput() {
    drain();
    return errorText_;
  }

  // Waits until the program ends and returns its exit status (-1 when it did not exit normally
  // or did not end within the limit, which only keeps a broken check from hanging).
  int wait(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (pid_ > 0) {
      int raw = 0;
      const pid_t done = ::waitpid(pid_, &raw, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        exitStatus_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        exitedAt_ = Clock::now();
        break;
      }
      if (done < 0 && errno != EINTR) return -1;
      if (Clock::now() >= deadline) return -1;
      drain();  // a program whose pipe is full would wait for ever
      ::usleep(2000);
    }
    drain();
    return exitStatus_;
  }
  // Whether it has ended (without waiting), and when.
  bool ended() {
    if (pid_ > 0) wait(std::chrono::milliseconds(0));
    return pid_ <= 0;
  }
  Clock::time_point exitedAt() const { return exitedAt_; }

 private:
  void drain() {
    char buffer[4096];
    ssize_t n;
    while (output_ >= 0 && (n = ::read(output_, buffer, sizeof buffer)) > 0) {
      pending_.append(buffer, static_cast<std::size_t>(n));
      for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
        lines_.push_back(pending_.substr(0, end));
        pending_.erase(0, end + 1);
      }
    }
    while (errors_ >= 0 && (n = ::read(errors_, buffer, sizeof buffer)) > 0)
      errorText_.append(buffer, static_cast<std::size_t>(n));
  }

  std::string commandLine_;
  pid_t pid_ = -1;
  int input_ = -1, output_ = -1, errors_ = -1;
  std::string pending_, errorText_;
  std::vector<std::string> lines_;
  int exitStatus_ = -1;
  Clock::time_point exitedAt_{};
};

}  // namespace kdsp::testing
