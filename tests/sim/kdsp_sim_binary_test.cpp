// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the real kdsp-sim program: it reports the port it listens on, answers over TCP,
// keeps its state file, ends cleanly on SIGTERM and refuses wrong arguments.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <set>
#include <string>

#include "device/command_codes.h"
#include "sim/sim_state_file.h"
#include "sim_test_support.h"
#include "support/temp_dir.h"

namespace kdsp::sim {
namespace {

namespace code = device::code;
using testing::Decode;
using testing::kAck;
using testing::Rec;
using testing::Record;
using testing::UploadText;

class KdspSimTest : public ::testing::Test {
 protected:
  ~KdspSimTest() override {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished(5000);
    }
  }

  // Starts the program and returns the port from its first line (0 when there is none).
  quint16 start(QStringList args) {
    process.start(KDSP_SIM_PATH, QStringList{"--listen", "127.0.0.1:0"} + args);
    if (!process.waitForStarted(5000)) return 0;
    const QString line = QString::fromStdString(readLine());
    const QString prefix = "listening on 127.0.0.1:";
    EXPECT_TRUE(line.startsWith(prefix)) << line.toStdString();
    return static_cast<quint16>(line.mid(prefix.size()).toUInt());
  }

  // The next line the program printed, without its end.
  std::string readLine() {
    while (!process.canReadLine() && process.waitForReadyRead(5000)) {
    }
    return QString::fromUtf8(process.readLine()).trimmed().toStdString();
  }

  // Sends text and waits for n records in answer.
  std::vector<Record> exchange(QTcpSocket& socket, const std::string& text, std::size_t n) {
    socket.write(text.data(), static_cast<qint64>(text.size()));
    std::string received;
    while (Decode(received).size() < n && socket.waitForReadyRead(5000))
      received += socket.readAll().toStdString();
    return Decode(received);
  }

  bool stop() {
    process.terminate();  // SIGTERM
    return process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
  }

  QProcess process;
  kdsp::testing::TempDir dir;
};

TEST_F(KdspSimTest, AnswersTheGreetingAndKeepsItsStateAcrossRuns) {
  const QString state = QString::fromStdString((dir / "sim.state").string());
  const quint16 port = start({"--state", state, "--verbose"});
  ASSERT_NE(port, 0);
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, port);
  ASSERT_TRUE(socket.waitForConnected(5000));
  EXPECT_EQ(exchange(socket, ":E50001001A\r\n", 3),
            (std::vector<Record>{
                kAck, {code::kVersion, {0x21}}, {code::kStatus, {55, 55, 0, 0, 0, 255, 0, 0}}}));
  // Every store is written to the state file at once, before it is acknowledged.
  settings::ParameterBlock block = settings::FactoryDefaults();
  block.masterEffect = 3;
  EXPECT_EQ(exchange(socket, UploadText(block, 5, 50, 33), 31), std::vector<Record>(31, kAck));
  DeviceState saved = FreshDeviceState();
  std::string error;
  EXPECT_TRUE(ReadStateFile(dir / "sim.state", saved, &error)) << error;
  EXPECT_EQ(saved.presetSlots[5].masterEffect, 3);
  // Whatever changed after the last store is written at exit.
  EXPECT_EQ(exchange(socket, Rec(code::kMusicMaxVolume, {44}), 1), std::vector<Record>{kAck});

  EXPECT_EQ(readLine(), "229 (E5) greeting: 00");
  EXPECT_EQ(readLine().substr(0, 36), "225 (E1) block chunk: 57 00 F1 02 02");
  socket.close();
  ASSERT_TRUE(stop());
  EXPECT_NE(kdsp::testing::ReadBytes(dir / "sim.state").find("music-max 44\n"), std::string::npos);

  const quint16 second = start({"--state", state});
  ASSERT_NE(second, 0);
  QTcpSocket again;
  again.connectToHost(QHostAddress::LocalHost, second);
  ASSERT_TRUE(again.waitForConnected(5000));
  EXPECT_EQ(exchange(again, Rec(code::kGreeting, {0}), 3).back(),
            (Record{code::kStatus, {44, 33, 0, 0, 0, 255, 0, 0}}));
  again.close();
  EXPECT_TRUE(stop());
}

TEST_F(KdspSimTest, SeveralProcessorsEachKeepTheirOwnSlotsAndStateFile) {
  const QString state = QString::fromStdString((dir / "rooms.json").string());
  const quint16 first = start({"--count", "3", "--state", state});
  ASSERT_NE(first, 0);
  std::vector<quint16> ports = {first};
  const QString prefix = "listening on 127.0.0.1:";
  for (int i = 0; i < 2; ++i) {
    const QString line = QString::fromStdString(readLine());
    ASSERT_TRUE(line.startsWith(prefix)) << line.toStdString();
    ports.push_back(static_cast<quint16>(line.mid(prefix.size()).toUInt()));
  }
  EXPECT_EQ(std::set<quint16>(ports.begin(), ports.end()).size(), 3u);

  // A store into processor 2 reaches its own file only.
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, ports[1]);
  ASSERT_TRUE(socket.waitForConnected(5000));
  settings::ParameterBlock block = settings::FactoryDefaults();
  block.masterEffect = 7;
  EXPECT_EQ(exchange(socket, UploadText(block, 4, 50, 33), 31), std::vector<Record>(31, kAck));
  socket.close();
  ASSERT_TRUE(stop());
  for (int number = 1; number <= 3; ++number) {
    DeviceState saved = FreshDeviceState();
    std::string error;
    ASSERT_TRUE(ReadStateFile(dir / ("rooms-" + std::to_string(number) + ".json"), saved, &error))
        << error;
    EXPECT_EQ(saved.presetSlots[4].masterEffect,
              number == 2 ? 7 : FreshDeviceState().presetSlots[4].masterEffect)
        << number;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "rooms.json"));
}

TEST_F(KdspSimTest, ConsecutivePortsFromTheOneGiven) {
  // A free port for the first, found by listening on port 0 and letting go; the next two are
  // very likely free too, and the test says so when they are not.
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const quint16 base = probe.serverPort();
  probe.close();
  if (base > 65533) GTEST_SKIP() << "no room for three ports above " << base;
  process.start(KDSP_SIM_PATH,
                QStringList{"--listen", "127.0.0.1:" + QString::number(base), "--count", "3"});
  ASSERT_TRUE(process.waitForStarted(5000));
  for (int i = 0; i < 3; ++i) {
    const std::string line = readLine();
    if (line.empty() && process.waitForFinished(1000))
      GTEST_SKIP() << "a port next to " << base
                   << " was taken meanwhile: " << process.readAllStandardError().toStdString();
    EXPECT_EQ(line, "listening on 127.0.0.1:" + std::to_string(base + i));
  }
  EXPECT_TRUE(stop());
}

TEST_F(KdspSimTest, WrongArgumentsEndWithStatus2AndAReason) {
  struct Case {
    QStringList args;
    const char* error;
  };
  kdsp::testing::WriteBytes(dir / "broken", "not a state file\n");
  const Case cases[] = {
      {{"--corrupt-chunk", "30"}, "kdsp-sim: bad value '30' for --corrupt-chunk"},
      {{"--listen", "nowhere:1"}, "kdsp-sim: 'nowhere' is not an IP address"},
      {{"--state", QString::fromStdString((dir / "broken").string())}, "not a kdsp-sim state"},
      {{"--state", QString::fromStdString((dir / "no-such-folder" / "s").string())},
       "no-such-folder"},
  };
  for (const Case& c : cases) {
    process.start(KDSP_SIM_PATH, c.args);
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitCode(), 2);
    const std::string err = process.readAllStandardError().toStdString();
    EXPECT_NE(err.find(c.error), std::string::npos) << err;
  }
  EXPECT_EQ(kdsp::testing::ReadBytes(dir / "broken"), "not a state file\n");
}

}  // namespace
}  // namespace kdsp::sim
