// SPDX-License-Identifier: GPL-3.0-or-later
// The real program started with --remote toward the simulated processor's TCP server: it prints
// where the remote listens and its code; a phone's edit made over HTTP reaches the processor; a
// later start is told the line of the remote already serving.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTcpServer>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/command_line.h"
#include "remote_test_client.h"
#include "support/private_instance.h"
#include "support/sim_server.h"
#include "support/temp_dir.h"
#include "usb/guest/child_process.h"

#ifndef KDSP_PATH
#error "the test target must define KDSP_PATH as the path of kdsp"
#endif

namespace kdsp::remote {
namespace {

using kdsp::testing::ChildProcess;
using namespace std::chrono_literals;

// Only a program that hangs reaches it.
constexpr auto kLimit = 60s;

class KdspRemoteBinaryTest : public ::testing::Test {
 protected:
  // The program on the offscreen platform with its own configuration folder, so the user's INI
  // is neither read nor written.
  std::vector<std::string> kdsp(std::vector<std::string> args) {
    std::vector<std::string> argv = {"/usr/bin/env", "-u", app::kInstanceNameVariable,
                                     "QT_QPA_PLATFORM=offscreen",
                                     "XDG_CONFIG_HOME=" + temp.path().string()};
    argv.push_back(KDSP_PATH);
    argv.insert(argv.end(), args.begin(), args.end());
    argv.insert(argv.end(), {"--instance", name});
    return argv;
  }
  // Waits for a line of the program's output that starts with prefix.
  std::string lineStarting(ChildProcess& program, const std::string& prefix) {
    const auto deadline = ChildProcess::Clock::now() + kLimit;
    while (ChildProcess::Clock::now() < deadline && !program.ended()) {
      if (const auto at = program.find(prefix)) return program.lines()[*at];
      std::this_thread::sleep_for(20ms);
    }
    if (const auto at = program.find(prefix)) return program.lines()[*at];
    return {};
  }

  kdsp::testing::TempDir temp;
  const std::string name = kdsp::testing::PrivateInstanceName("remote-binary-test");
};

TEST_F(KdspRemoteBinaryTest, PrintsItsLineAndSendsThePhonesEditToTheProcessor) {
  kdsp::testing::SimServer module({"--verbose"});
  ASSERT_TRUE(module.ok());
  ChildProcess program(
      kdsp({"--connect", "tcp://127.0.0.1:" + module.port(), "--remote", "127.0.0.1:0"}));
  const std::string line = lineStarting(program, "remote: ");
  const QRegularExpression shape(R"(^remote: http://127\.0\.0\.1:(\d+)/ code (\d{6})$)");
  const QRegularExpressionMatch match = shape.match(QString::fromStdString(line));
  ASSERT_TRUE(match.hasMatch()) << "'" << line << "' " << program.errorOutput();
  const quint16 port = static_cast<quint16>(match.captured(1).toUInt());

  // The program greets the processor when it connects; the phone edits once it is connected.
  std::string received;
  const auto seen = [&](const char* pattern) {
    const QRegularExpression record(pattern, QRegularExpression::MultilineOption);
    const auto deadline = ChildProcess::Clock::now() + kLimit;
    while (!record.match(QString::fromStdString(received)).hasMatch() &&
           ChildProcess::Clock::now() < deadline) {
      received += module.takeOutput();
      device::WaitMs(20);
    }
    return record.match(QString::fromStdString(received)).hasMatch();
  };
  ASSERT_TRUE(seen(R"(^229 \(E5\))")) << received;
  kdsp::testing::RemoteClient phone(port);
  ASSERT_TRUE(phone.pair(match.captured(2)));
  ASSERT_TRUE(device::WaitUntil(
      [&] { return phone.get("/api/v1/state").json().value("link").toString() == "connected"; },
      kdsp::testing::kRemoteAnswerLimit));
  const kdsp::testing::HttpAnswer set = phone.post("/api/v1/set", R"({"masterMusic":45})");
  ASSERT_EQ(set.status, 200) << set.body.toStdString();
  // The music master's record carrying 45.
  EXPECT_TRUE(seen(R"(^160 \(A0\) [^\n]*: 2D$)")) << received;
  EXPECT_EQ(phone.get("/api/v1/state").json().value("settings").toObject().value("masterMusic"),
            45);

  // A later start with --remote is told where the remote serves already.
  ChildProcess later(kdsp({"--remote", "0"}));
  EXPECT_EQ(later.wait(kLimit), 0) << later.errorOutput();
  EXPECT_EQ(later.lines(), std::vector<std::string>{line});
}

TEST_F(KdspRemoteBinaryTest, AnAddressThatCannotBeTakenEndsTheProgramWithTheReason) {
  // A port held by another listener.
  QTcpServer holder;
  ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
  ChildProcess program(
      kdsp({"--simulate", "--remote", "127.0.0.1:" + std::to_string(holder.serverPort())}));
  EXPECT_EQ(program.wait(kLimit), 2);
  EXPECT_TRUE(program.lines().empty());
  EXPECT_NE(program.errorOutput().find("kdsp: the remote cannot listen on 127.0.0.1 port " +
                                       std::to_string(holder.serverPort())),
            std::string::npos)
      << program.errorOutput();
  ChildProcess malformed(kdsp({"--remote", "nowhere"}));
  EXPECT_EQ(malformed.wait(kLimit), 2);
  EXPECT_NE(malformed.errorOutput().find("--remote takes [ADDR:]PORT"), std::string::npos)
      << malformed.errorOutput();
}

}  // namespace
}  // namespace kdsp::remote
