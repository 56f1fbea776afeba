// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the simulator's TCP server, in-process on 127.0.0.1 and an ephemeral port, with a
// QTcpSocket in the program's place.
#include "sim/sim_tcp_server.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpSocket>
#include <chrono>
#include <memory>

#include "device/command_codes.h"
#include "device/event_loop_wait.h"
#include "sim_test_support.h"

namespace kdsp::sim {
namespace {

namespace code = device::code;
using device::WaitUntil;
using testing::Decode;
using testing::kAck;
using testing::Rec;
using testing::Record;
using namespace std::chrono_literals;

const std::vector<Record> kGreetingAnswer{
    kAck, {code::kVersion, {0x21}}, {code::kStatus, {55, 55, 0, 0, 0, 255, 0, 0}}};

// One connection to the server, collecting what it sends.
class Client {
 public:
  explicit Client(quint16 port) {
    socket_.connectToHost(QHostAddress::LocalHost, port);
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { received_ += socket_.readAll(); });
  }
  bool connected() {
    return WaitUntil([&] { return socket_.state() == QAbstractSocket::ConnectedState; }, 5s);
  }
  void send(const std::string& text) {
    socket_.write(text.data(), static_cast<qint64>(text.size()));
    socket_.flush();
  }
  // Waits until at least n records have arrived; returns all of them.
  std::vector<Record> records(std::size_t n) {
    WaitUntil([&] { return Decode(received()).size() >= n; }, 5s);
    return Decode(received());
  }
  std::string received() const { return received_.toStdString(); }
  bool closedByPeer() {
    return WaitUntil([&] { return socket_.state() == QAbstractSocket::UnconnectedState; }, 5s);
  }
  QTcpSocket& socket() { return socket_; }

 private:
  QTcpSocket socket_;
  QByteArray received_;
};

class SimTcpServerTest : public ::testing::Test {
 protected:
  void start(SimOptions options = {}) {
    server.reset();  // it holds on to the processor
    sim = std::make_unique<SimulatedProcessor>(options);
    server = std::make_unique<SimTcpServer>(*sim);
    ASSERT_TRUE(server->listen(QHostAddress::LocalHost, 0)) << server->errorString().toStdString();
    ASSERT_NE(server->serverPort(), 0);
  }
  std::unique_ptr<SimulatedProcessor> sim;
  std::unique_ptr<SimTcpServer> server;
};

TEST_F(SimTcpServerTest, GreetingIsAnsweredWithAckVersionAndStatus) {
  start();
  Client client(server->serverPort());
  ASSERT_TRUE(client.connected());
  client.send(":E50001001A\r\n");
  EXPECT_EQ(client.records(3), kGreetingAnswer);
  EXPECT_EQ(client.received().substr(0, 26), ":F00001010E\r\n:E6000121F8\r\n");
}

TEST_F(SimTcpServerTest, RecordSplitAcrossTwoWritesIsAnsweredOnce) {
  start();
  Client client(server->serverPort());
  ASSERT_TRUE(client.connected());
  const std::string greeting = Rec(code::kGreeting, {0});
  // The first part rides behind a whole record: once that is acknowledged, the server has read
  // the part on its own, and it must not have answered it.
  client.send(Rec(code::kMasterMusic, {12}) + greeting.substr(0, 5));
  EXPECT_EQ(client.records(1), std::vector<Record>{kAck});
  client.send(greeting.substr(5));
  std::vector<Record> expected{kAck};
  expected.insert(expected.end(), kGreetingAnswer.begin(), kGreetingAnswer.end());
  EXPECT_EQ(client.records(4), expected);
  EXPECT_EQ(sim->working().masterMusic, 12);
  EXPECT_EQ(sim->recordsReceived(), 2);
}

TEST_F(SimTcpServerTest, CloseAfterClosesTheConnectionOnceAnswered) {
  start(testing::Options([](SimOptions& o) { o.closeAfter = 1; }));
  Client client(server->serverPort());
  ASSERT_TRUE(client.connected());
  client.send(Rec(code::kGreeting, {0}) + Rec(code::kMasterMic, {5}));
  EXPECT_TRUE(client.closedByPeer());
  EXPECT_EQ(Decode(client.received()), kGreetingAnswer);
  EXPECT_EQ(sim->working().masterMic, 30);
  // The next connection is served again.
  Client again(server->serverPort());
  ASSERT_TRUE(again.connected());
  again.send(Rec(code::kMasterMic, {5}));
  EXPECT_EQ(again.records(1), std::vector<Record>{kAck});
}

TEST_F(SimTcpServerTest, DelayedRepliesComeLateAndInOrder) {
  start(testing::Options([](SimOptions& o) { o.ackDelayMs = 300; }));
  Client client(server->serverPort());
  ASSERT_TRUE(client.connected());
  QElapsedTimer clock;
  clock.start();
  client.send(Rec(code::kGreeting, {0}));
  // The next record comes as input of its own, after the greeting's replies were scheduled.
  ASSERT_TRUE(WaitUntil([&] { return sim->recordsReceived() == 1; }, 5s));
  client.send(Rec(code::kMasterMic, {5}));
  const auto records = client.records(4);
  EXPECT_GE(clock.elapsed(), 300);
  auto expected = kGreetingAnswer;
  expected.push_back(kAck);
  EXPECT_EQ(records, expected);
}

TEST_F(SimTcpServerTest, SlowReplyHoldsBackWhatFollowsItAndTheClose) {
  // A record whose replies are slow, then one answered at once: the quick acknowledgement waits
  // behind the slow ones, and a close after the first record waits for its replies too.
  struct Case {
    const char* name;
    int closeAfter;
    std::vector<Record> expected;
  };
  auto greetingThenMic = kGreetingAnswer;
  greetingThenMic.push_back(kAck);
  const Case cases[] = {
      {"stay open", -1, greetingThenMic},
      {"close after the greeting", 1, kGreetingAnswer},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start(testing::Options([&](SimOptions& o) {
      o.slowReplyMs[code::kGreeting] = 300;
      o.closeAfter = c.closeAfter;
    }));
    Client client(server->serverPort());
    ASSERT_TRUE(client.connected());
    QElapsedTimer clock;
    clock.start();
    client.send(Rec(code::kGreeting, {0}) + Rec(code::kMasterMic, {5}));
    EXPECT_EQ(client.records(c.expected.size()), c.expected);
    EXPECT_GE(clock.elapsed(), 300);
    if (c.closeAfter < 0) continue;
    EXPECT_TRUE(client.closedByPeer());
    EXPECT_EQ(Decode(client.received()), c.expected);  // the second record went unanswered
  }
}

TEST_F(SimTcpServerTest, SecondConnectionWaitsForTheFirstToClose) {
  start();
  Client first(server->serverPort());
  ASSERT_TRUE(first.connected());
  first.send(Rec(code::kGreeting, {0}));
  ASSERT_EQ(first.records(3).size(), 3u);
  Client second(server->serverPort());
  ASSERT_TRUE(second.connected());
  second.send(Rec(code::kGreeting, {0}));
  // A round trip on the first connection after the second one's greeting went out: a server
  // that wrongly served the second would have answered it by now.
  ASSERT_TRUE(WaitUntil([&] { return second.socket().bytesToWrite() == 0; }, 5s));
  first.send(Rec(code::kMasterMic, {5}));
  EXPECT_EQ(first.records(4).size(), 4u);
  EXPECT_TRUE(second.received().empty());
  EXPECT_EQ(sim->recordsReceived(), 2);  // both on the first link
  first.socket().disconnectFromHost();
  EXPECT_EQ(second.records(3), kGreetingAnswer);
}

}  // namespace
}  // namespace kdsp::sim
