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
using device::WaitMs;
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
  client.send(greeting.substr(0, 5));
  WaitMs(100);  // the server reads the first part on its own
  EXPECT_TRUE(client.received().empty());
  client.send(greeting.substr(5) + Rec(code::kMasterMusic, {12}));
  auto expected = kGreetingAnswer;
  expected.push_back(kAck);
  EXPECT_EQ(client.records(4), expected);
  EXPECT_EQ(sim->working().masterMusic, 12);
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
  WaitMs(20);
  client.send(Rec(code::kMasterMic, {5}));
  const auto records = client.records(4);
  EXPECT_GE(clock.elapsed(), 300);
  auto expected = kGreetingAnswer;
  expected.push_back(kAck);
  EXPECT_EQ(records, expected);
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
  WaitMs(200);
  EXPECT_TRUE(second.received().empty());
  first.socket().disconnectFromHost();
  EXPECT_EQ(second.records(3), kGreetingAnswer);
}

}  // namespace
}  // namespace kdsp::sim
