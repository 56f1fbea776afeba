// SPDX-License-Identifier: GPL-3.0-or-later
// The real program started twice under one private instance name on the offscreen platform: a
// later start hands its arguments to the running program, which acts on them and goes on, and
// says what it could not hand over; of starts in quick succession exactly one runs. And a program
// with a private name runs beside one that holds the user's own name.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLocalServer>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/command_line.h"
#include "app/single_instance.h"
#include "support/private_instance.h"
#include "support/sim_server.h"
#include "support/temp_dir.h"
#include "usb/guest/child_process.h"

#ifndef KDSP_PATH
#error "the test target must define KDSP_PATH as the path of kdsp"
#endif

namespace kdsp::app {
namespace {

using kdsp::testing::ChildProcess;
using namespace std::chrono_literals;

// Only a program that hangs reaches these.
constexpr auto kStartLimit = 60s;
constexpr auto kRunLimit = 60s;

// The program on the offscreen platform in the folder, with the given environment settings
// before its arguments; the user's instance name is taken out of the test's environment.
std::vector<std::string> Kdsp(const std::filesystem::path& folder,
                              std::vector<std::string> settings, std::vector<std::string> args) {
  std::vector<std::string> argv = {"/usr/bin/env",        "-C",
                                   folder.string(),       "-u",
                                   kInstanceNameVariable, "QT_QPA_PLATFORM=offscreen"};
  argv.insert(argv.end(), settings.begin(), settings.end());
  argv.push_back(KDSP_PATH);
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

// What the program itself wrote to stderr: Qt adds a warning of its own where the session has
// no runtime folder.
std::string ProgramMessages(const std::string& err) {
  std::string kept;
  for (std::size_t at = 0; at < err.size();) {
    const std::size_t end = std::min(err.find('\n', at), err.size() - 1) + 1;
    const std::string line = err.substr(at, end - at);
    if (!line.starts_with("QStandardPaths: ")) kept += line;
    at = end;
  }
  return kept;
}

class KdspInstancesTest : public ::testing::Test {
 protected:
  ~KdspInstancesTest() override {
    if (!running_) return;
    running_.reset();  // killed: it leaves its socket and its lock file behind
    QLocalServer::removeServer(SingleInstance::NameFor(name_));
    QFile::remove(SingleInstance::LockPath(SingleInstance::NameFor(name_)));
  }

  // Starts the program that later starts meet, and waits until it answers: an empty request,
  // like a start without arguments, which only brings its window to the front.
  void startRunningProgram() {
    running_ =
        std::make_unique<ChildProcess>(Kdsp(temp_.path(), {}, {"--simulate", "--instance", name_}));
    ASSERT_TRUE(running_->running());
    SingleInstance instance(SingleInstance::NameFor(name_));
    const auto deadline = ChildProcess::Clock::now() + kStartLimit;
    std::optional<InstanceReply> reply;
    while (!(reply = instance.askRunning({temp_.path().string(), {}}))) {
      ASSERT_FALSE(running_->ended()) << "kdsp ended: " << running_->errorOutput();
      ASSERT_LT(ChildProcess::Clock::now(), deadline) << "kdsp did not start listening";
      std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(*reply, InstanceReply{});
  }

  struct Run {
    int status;
    std::vector<std::string> out;
    std::string err;
  };
  // A later start with these arguments, run to its end.
  Run startAgain(std::vector<std::string> args) {
    args.insert(args.end(), {"--instance", name_});
    ChildProcess later(Kdsp(temp_.path(), {}, args));
    const int status = later.wait(kRunLimit);
    return {status, later.lines(), ProgramMessages(later.errorOutput())};
  }

  kdsp::testing::TempDir temp_;
  const std::string name_ = kdsp::testing::PrivateInstanceName("instances-test");
  std::unique_ptr<ChildProcess> running_;
};

TEST_F(KdspInstancesTest, ALaterStartHandsPageAndScreenshotToTheRunningProgram) {
  startRunningProgram();
  ASSERT_FALSE(HasFatalFailure());

  // A relative path is the later start's file; the running program goes on after saving it.
  const Run page = startAgain({"--page", "mic", "--screenshot", "page.png"});
  EXPECT_EQ(page.status, 0) << page.err;
  EXPECT_EQ(page.out, std::vector<std::string>{"saved " + (temp_ / "page.png").string()});
  EXPECT_EQ(page.err, "");
  const Run main = startAgain({"--screenshot", (temp_ / "main.png").string()});
  EXPECT_EQ(main.status, 0) << main.err;
  EXPECT_FALSE(running_->ended()) << running_->errorOutput();

  const QImage pageShot(QString::fromStdString((temp_ / "page.png").string()));
  const QImage mainShot(QString::fromStdString((temp_ / "main.png").string()));
  ASSERT_FALSE(pageShot.isNull());
  ASSERT_FALSE(mainShot.isNull());
  EXPECT_EQ(mainShot.size(), QSize(999, 600));
  EXPECT_NE(pageShot, mainShot);  // the page was opened and shot, not the main window
}

TEST_F(KdspInstancesTest, ALaterStartSaysWhichArgumentsTakeEffectOnlyAtStart) {
  startRunningProgram();
  ASSERT_FALSE(HasFatalFailure());
  const Run run = startAgain({"--simulate", "--service-menu", "--page", "echo"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::vector<std::string>{});
  EXPECT_EQ(run.err,
            "kdsp is already running; --simulate is not passed to it: it takes effect only when "
            "kdsp starts\n"
            "kdsp is already running; --service-menu is not passed to it: it takes effect only "
            "when kdsp starts\n");
  EXPECT_FALSE(running_->ended()) << running_->errorOutput();

  const Run unusable = startAgain({"--screenshot", (temp_ / "no-such-folder" / "x.png").string()});
  EXPECT_EQ(unusable.status, 1);
  EXPECT_EQ(unusable.err, "could not save " + (temp_ / "no-such-folder" / "x.png").string() + "\n");
  EXPECT_FALSE(running_->ended()) << running_->errorOutput();
}

TEST_F(KdspInstancesTest, ALaterStartHandsTheConnectionToTheRunningProgram) {
  kdsp::testing::SimServer module({"--verbose"});
  ASSERT_TRUE(module.ok());
  startRunningProgram();
  ASSERT_FALSE(HasFatalFailure());
  const Run run = startAgain({"--connect", "tcp://127.0.0.1:" + module.port()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // The running program switched WiFi control on toward the module and greeted the processor
  // before it answered.
  std::string received;
  const auto deadline = ChildProcess::Clock::now() + kRunLimit;
  while (received.find("229 (E5)") == std::string::npos && ChildProcess::Clock::now() < deadline) {
    received += module.takeOutput();
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_NE(received.find("229 (E5)"), std::string::npos) << received;
}

TEST_F(KdspInstancesTest, OfStartsInQuickSuccessionOneRunsAndTheOthersHandOverToIt) {
  // Twenty starts, from all at once to 150 ms apart, as quick double-clicks on an icon make.
  constexpr int kStarts = 20;
  std::vector<std::unique_ptr<ChildProcess>> starts;
  for (int i = 0; i < kStarts; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(i * 150 / (kStarts - 1)));
    starts.push_back(std::make_unique<ChildProcess>(Kdsp(temp_.path(), {}, {"--instance", name_})));
  }
  const auto deadline = ChildProcess::Clock::now() + kRunLimit;
  const auto stillRunning = [&] {
    return std::count_if(starts.begin(), starts.end(), [](auto& p) { return !p->ended(); });
  };
  while (stillRunning() > 1 && ChildProcess::Clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  ASSERT_EQ(stillRunning(), 1);
  for (auto& start : starts) {
    if (!start->ended()) {
      running_ = std::move(start);
      continue;
    }
    EXPECT_EQ(start->wait(0ms), 0) << start->errorOutput();
    EXPECT_EQ(ProgramMessages(start->errorOutput()), "");
  }
  EXPECT_TRUE(SingleInstance(SingleInstance::NameFor(name_)).askRunning({temp_.path().string(), {}}));
}

TEST_F(KdspInstancesTest, APrivateNameRunsBesideAProgramOnTheUsersName) {
  // Stands for the user's kdsp. When the name is taken already, a kdsp of the user's (or one
  // that crashed) holds it: that serves as well.
  QLocalServer user;
  const bool heldHere = user.listen(SingleInstance::DefaultName());
  const struct {
    const char* how;
    std::vector<std::string> settings, args;
  } starts[] = {
      {"--instance", {}, {"--instance", name_}},
      {"environment", {std::string(kInstanceNameVariable) + "=" + name_}, {}},
  };
  for (const auto& start : starts) {
    SCOPED_TRACE(start.how);
    std::vector<std::string> args = start.args;
    args.insert(args.end(), {"--simulate", "--screenshot", "shot.png"});
    ChildProcess program(Kdsp(temp_.path(), start.settings, args));
    EXPECT_EQ(program.wait(kRunLimit), 0) << program.errorOutput();
    EXPECT_EQ(program.lines(), std::vector<std::string>{"saved shot.png"});
  }
  QCoreApplication::processEvents();
  if (heldHere) {
    EXPECT_FALSE(user.hasPendingConnections()) << "a test's kdsp met the user's";
  }
}

}  // namespace
}  // namespace kdsp::app
