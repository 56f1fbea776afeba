// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of WiFi control: the link through a TCP connection to the simulated processor's server
// and to a raw server that splits and garbles its replies. Only 127.0.0.1 is used.
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

#include "device/command_codes.h"
#include "device/link_timing.h"
#include "link_fixture.h"
#include "sim/sim_tcp_server.h"

namespace kdsp::device {
namespace {

class WifiTest : public testing::LinkFixture {
 protected:
  void startWifi(quint16 port) {
    startLink();
    link->setWifiAddress("127.0.0.1", port);
    link->WiFi1Click();
  }
};

TEST_F(WifiTest, SwitchingOnConnectsGreetsAndTicksEvery200Ms) {
  sim::SimulatedProcessor remote;
  std::vector<int> codes;
  remote.onRecordLog = [&](std::string_view line) {
    codes.push_back(std::stoi(std::string(line)));
  };
  sim::SimTcpServer server(remote);
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  startWifi(server.serverPort());
  EXPECT_TRUE(link->wifiChecked());
  EXPECT_TRUE(link->state().connected);
  EXPECT_TRUE(link->state().versionOk);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), code::kGreeting);
  EXPECT_EQ(link->syncTimer().interval(), kSyncIntervalWifi.count());
  // No processor was found on USB before, so the link still waits to offer a synchronisation:
  // the first tick on the socket greets once more and asks.
  ASSERT_TRUE(waitFor([&] { return !link->state().syncPending; }));
  EXPECT_EQ(prompts.questions, (std::vector<std::string>{"Sync with connecting device?"}));

  codes.clear();
  working.echoDirect = 44;
  const ControlValues& controls = link->insides().controls;
  link->setEchoControls(controls.echoDelayLr, controls.echoPreDelayLr, 44);
  link->markChanged(flag::kEchoDirect.first);
  ASSERT_TRUE(waitFor([&] { return codes.size() == 1; }));
  EXPECT_EQ(codes.front(), code::kEchoDirect);
  EXPECT_EQ(remote.working().echoDirect, 44);
  EXPECT_EQ(link->StoreBlockToDevice(6), StoreResult::kStored);
  EXPECT_TRUE(remote.slot(6) == working);

  link->WiFi1Click();
  EXPECT_FALSE(link->wifiChecked());
  EXPECT_FALSE(link->insides().socket.Active());
  EXPECT_FALSE(link->state().connected);  // no processor on USB
  EXPECT_EQ(link->syncTimer().interval(), kSyncIntervalUsb.count());
}

TEST_F(WifiTest, RefusedConnectionLeavesTheLinkDown) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  const quint16 port = closed.serverPort();
  closed.close();
  startWifi(port);
  EXPECT_FALSE(link->insides().socket.Active());
  EXPECT_FALSE(link->state().connected);
  EXPECT_EQ(link->StoreBlockToDevice(1), StoreResult::kNotConnected);
}

// A module that answers the greeting in pieces, with garbage and an oversized burst around it.
class SplittingModule : public QObject {
 public:
  SplittingModule() {
    server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
      client = server.nextPendingConnection();
      QObject::connect(client, &QTcpSocket::readyRead, this, [this] { answer(); });
    });
  }
  void answer() {
    client->readAll();
    client->write(QByteArray(3000, '\x7F'));  // oversized garbage, no colon
    client->write(":F000FF");                 // a record that never ends properly
    client->write("\r\n:E6000");              // the version reply, first part
    client->flush();
    QTimer::singleShot(50, this, [this] {
      client->write("121F8\r\n:F00001010E\r\n");  // its remainder, then an acknowledgement
      client->flush();
    });
  }
  QTcpServer server;
  QTcpSocket* client = nullptr;
};

TEST_F(WifiTest, RecordsSplitAcrossSegmentsAndGarbageAreHandled) {
  SplittingModule module;
  startWifi(module.server.serverPort());
  ASSERT_TRUE(link->state().connected);
  EXPECT_TRUE(waitFor([&] { return link->state().versionOk; }));
  EXPECT_EQ(link->insides().sender.outstandingRecords(), 0u);  // the acknowledgement arrived too
}

TEST_F(WifiTest, AClosedLinkEndsEveryWaitAtOnceAndGoesDark) {
  sim::SimulatedProcessor remote;
  sim::SimTcpServer server(remote);
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  int darkNotices = 0;
  observer.connectionChanged = [&] { darkNotices += !link->state().connected; };
  startWifi(server.serverPort());
  ASSERT_TRUE(link->state().versionOk);
  // Far beyond the test's life: only the close can end the waits.
  link->setAcknowledgementLimit(std::chrono::minutes(5));

  // Closed after the greeting and four chunks: the upload stops, the slot is untouched.
  remote.setOptions({.closeAfter = 5});
  remote.beginLink();
  const settings::ParameterBlock before = remote.slot(1);
  working.bands[2].gain = 40;
  EXPECT_EQ(link->StoreBlockToDevice(1), StoreResult::kConnectionClosed);
  EXPECT_FALSE(link->state().connected);
  EXPECT_EQ(link->lastLoss(), LinkLoss::kClosed);
  EXPECT_GE(darkNotices, 1);
  EXPECT_TRUE(remote.slot(1) == before);
  EXPECT_EQ(prompts.messages.back(), message::kUploadConnectionClosed);

  // A read waiting for its chunks ends as soon as the connection closes.
  sim::SimulatedProcessor slow({.slowReplyMs = {{code::kReadBlock, 60000}}});
  auto slowServer = std::make_unique<sim::SimTcpServer>(slow);
  ASSERT_TRUE(slowServer->listen(QHostAddress::LocalHost, 0));
  link->WiFi1Click();
  link->setWifiAddress("127.0.0.1", slowServer->serverPort());
  link->WiFi1Click();
  ASSERT_TRUE(link->state().connected);
  ASSERT_TRUE(link->ReadBlockFromDevice(2, 3));
  QTimer::singleShot(100, [&] { slowServer.reset(); });
  EXPECT_FALSE(link->waitForReadComplete(std::chrono::minutes(5)));
  EXPECT_EQ(slowServer, nullptr);
  EXPECT_EQ(link->lastLoss(), LinkLoss::kClosed);
}

TEST_F(WifiTest, AStoreAcknowledgedJustBeforeTheCloseIsStored) {
  sim::SimulatedProcessor remote;
  sim::SimTcpServer server(remote);
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  startWifi(server.serverPort());
  ASSERT_TRUE(link->state().versionOk);
  remote.setOptions({.closeAfter = 31});  // 30 chunks and the store record
  remote.beginLink();
  working.bands[2].gain = 40;
  EXPECT_EQ(link->StoreBlockToDevice(1), StoreResult::kStored);
  EXPECT_TRUE(remote.slot(1) == working);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_TRUE(waitFor([&] { return !link->state().connected; }));
}

TEST_F(WifiTest, ALateStoreAcknowledgementSaysTheSlotMayHaveChanged) {
  sim::SimulatedProcessor remote({.slowReplyMs = {{code::kStoreBlock, 1500}}});
  sim::SimTcpServer server(remote);
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  startWifi(server.serverPort());
  ASSERT_TRUE(link->state().versionOk);
  link->setAcknowledgementLimit(std::chrono::milliseconds(300));
  working.bands[2].gain = 40;
  EXPECT_EQ(link->StoreBlockToDevice(1), StoreResult::kStoreNotAcknowledged);
  EXPECT_EQ(prompts.messages.back(), message::kStoreNotAcknowledged);
  EXPECT_TRUE(remote.slot(1) == working);  // it was stored: "left unchanged" would be false
}

}  // namespace
}  // namespace kdsp::device
