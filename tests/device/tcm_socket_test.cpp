// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the WiFi link's socket component against a server on 127.0.0.1: connecting through
// the write notification, sending, the receive loop and its buffer rules, refusals, resets and
// closes, and the error reports.
#include "device/tcm_socket.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "device/event_loop_wait.h"
#include "device/socket_errors.h"

namespace kdsp::device {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kWouldBlock =
    "The socket is marked as nonblocking and the requested operation would block,and cannot be "
    "completed immediately. ";

struct Report {
  int code;
  std::string text;
  bool operator==(const Report&) const = default;
};

struct Receipt {
  int socket;
  std::string bytes;
  const std::uint8_t* data;
  bool zeroBehind;
  std::string peerAddress;
  int peerPort;
};

std::string Joined(const std::vector<Receipt>& receipts) {
  std::string all;
  for (const auto& r : receipts) all += r.bytes;
  return all;
}

std::vector<int> Counts(const std::vector<Receipt>& receipts) {
  std::vector<int> counts;
  for (const auto& r : receipts) counts.push_back(static_cast<int>(r.bytes.size()));
  return counts;
}

// Waits, without running the event loop, until the socket holds count unread bytes.
bool WaitForUnread(int fd, int count) {
  for (int i = 0; i < 2000; ++i) {
    int unread = 0;
    if (::ioctl(fd, FIONREAD, &unread) == 0 && unread >= count) return true;
    ::usleep(1000);
  }
  return false;
}

// Makes the next close of fd a reset instead of an orderly end.
void ResetOnClose(qintptr fd) {
  linger abortive{1, 0};
  ::setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
}

class TcmSocketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    socket.SetProtocol(cmTcpClient);
    socket.SetRemoteHost("127.0.0.1");
    socket.SetRemotePort(server.serverPort());
    socket.OnError = [this](TcmSocket&, int code, const std::string& text) {
      errors.push_back({code, text});
    };
    socket.OnActiveChanged = [this](TcmSocket& s) { activeChanges.push_back(s.Active()); };
    socket.OnReceive = [this](TcmSocket&, int fd, int count, const std::uint8_t* data,
                              const std::string& peerAddress, int peerPort) {
      receipts.push_back({fd, std::string(reinterpret_cast<const char*>(data), count), data,
                          data[count] == 0, peerAddress, peerPort});
    };
  }

  // Opens the socket and waits until both ends hold the connection.
  void ConnectToServer() {
    socket.SetActive(true);
    ASSERT_TRUE(WaitUntil([&] { return socket.Active() && server.hasPendingConnections(); }, 5s));
    peer.reset(server.nextPendingConnection());
    ASSERT_NE(peer, nullptr);
    errors.clear();
    activeChanges.clear();
  }

  void ServerWrites(std::string_view bytes) {
    peer->write(bytes.data(), static_cast<qint64>(bytes.size()));
    ASSERT_TRUE(peer->flush());
  }

  bool Send(std::string_view text) {
    return socket.Send(reinterpret_cast<const std::uint8_t*>(text.data()),
                       static_cast<int>(text.size()));
  }

  QTcpServer server;
  TcmSocket socket;
  std::unique_ptr<QTcpSocket> peer;
  std::vector<Report> errors;
  std::vector<bool> activeChanges;
  std::vector<Receipt> receipts;
};

TEST_F(TcmSocketTest, BecomesActiveWhenTheConnectCompletes) {
  socket.SetActive(true);
  // A non-blocking connect is under way, reported the way Winsock reports it.
  EXPECT_FALSE(socket.Active());
  EXPECT_NE(socket.Socket(), TcmSocket::kInvalidSocket);
  ASSERT_TRUE(WaitUntil([&] { return socket.Active(); }, 5s));

  const std::vector<Report> expected = {
      {kWsaEWouldBlock, "connect() failed : " + std::string(kWouldBlock)},
      {0, "Message:FD_CONNECT"}};
  EXPECT_EQ(errors, expected);
  EXPECT_EQ(activeChanges, std::vector<bool>{true});
  ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, 5s));
  peer.reset(server.nextPendingConnection());
  // Bound to every interface, the connection leaves from the loopback address it is routed by.
  EXPECT_EQ(socket.LocalHost(), "127.0.0.1");
  EXPECT_EQ(socket.LocalPort(), peer->peerPort());
  EXPECT_EQ(socket.BufOffset(), 0);
}

TEST_F(TcmSocketTest, RecordReachesTheServerByteExact) {
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  const std::string greeting = ":E50001001A\r\n";
  ASSERT_EQ(greeting.size(), 13u);
  EXPECT_TRUE(Send(greeting));
  ASSERT_TRUE(WaitUntil([&] { return peer->bytesAvailable() >= 13; }, 5s));
  WaitMs(20);
  EXPECT_EQ(peer->readAll().toStdString(), greeting);
  EXPECT_TRUE(errors.empty());
}

TEST_F(TcmSocketTest, SegmentsArriveInOrderWithTheirPeer) {
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  const std::vector<std::string> segments = {":E6000", "121F", "8\r\n:F000010", "1", "0F\r\n"};
  std::string all;
  for (const auto& segment : segments) {
    all += segment;
    ServerWrites(segment);
    ASSERT_TRUE(WaitUntil([&] { return Joined(receipts).size() == all.size(); }, 5s));
  }
  EXPECT_EQ(Joined(receipts), all);
  for (const auto& r : receipts) {
    EXPECT_TRUE(r.zeroBehind);
    EXPECT_EQ(r.socket, socket.Socket());
    EXPECT_EQ(r.peerAddress, "127.0.0.1");
    EXPECT_EQ(r.peerPort, server.serverPort());
  }
}

TEST_F(TcmSocketTest, FullReceiveIsFollowedAtOnceByAnother) {
  socket.SetMaxBufSize(16);
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  const std::string burst = "0123456789abcdefGHIJKLMNOPQRSTUVwxyz!?#$";  // 40 bytes
  ServerWrites(burst);
  ASSERT_TRUE(WaitForUnread(socket.Socket(), 40));

  // One notification takes the whole burst, each receive starting at the buffer's beginning.
  socket.OnSocketMessage(kFdRead, 0);
  EXPECT_EQ(Counts(receipts), (std::vector<int>{16, 16, 8}));
  EXPECT_EQ(Joined(receipts), burst);
  for (const auto& r : receipts) {
    EXPECT_EQ(r.data, receipts.front().data);
    EXPECT_TRUE(r.zeroBehind);
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(TcmSocketTest, ReceiveThatEndsExactlyOnAFullBufferReportsTheEmptyRead) {
  socket.SetMaxBufSize(16);
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  ServerWrites("0123456789abcdefGHIJKLMNOPQRSTUV");  // exactly two buffers
  ASSERT_TRUE(WaitForUnread(socket.Socket(), 32));

  socket.OnSocketMessage(kFdRead, 0);
  EXPECT_EQ(Counts(receipts), (std::vector<int>{16, 16}));
  // The third receive finds nothing: reported as would-block, and the link stays up.
  EXPECT_EQ(
      errors,
      (std::vector<Report>{{kWsaEWouldBlock, "recvfrom() failed : " + std::string(kWouldBlock)}}));
  EXPECT_TRUE(socket.Active());
}

TEST_F(TcmSocketTest, RelayDumpAppendsAndWrapsAtTheBufferEnd) {
  socket.SetMaxBufSize(16);
  socket.SetRelayDump(true);
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  ServerWrites("ABCDEFGHIJ");
  ASSERT_TRUE(WaitForUnread(socket.Socket(), 10));
  socket.OnSocketMessage(kFdRead, 0);
  EXPECT_EQ(socket.BufOffset(), 10);

  ServerWrites("klmnopqrst");
  ASSERT_TRUE(WaitForUnread(socket.Socket(), 10));
  socket.OnSocketMessage(kFdRead, 0);

  ASSERT_EQ(Counts(receipts), (std::vector<int>{10, 6, 4}));
  const std::uint8_t* start = receipts[0].data;
  EXPECT_EQ(receipts[1].data, start + 10);
  EXPECT_EQ(receipts[2].data, start);
  EXPECT_EQ(Joined(receipts), "ABCDEFGHIJklmnopqrst");
  for (const auto& r : receipts) EXPECT_TRUE(r.zeroBehind);
  EXPECT_EQ(socket.BufOffset(), 4);
}

TEST_F(TcmSocketTest, ReceiverWaitingInsideItsEventIsNotReentered) {
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  int depth = 0;
  int deepest = 0;
  socket.OnReceive = [&](TcmSocket&, int, int count, const std::uint8_t* data, const std::string&,
                         int) {
    deepest = std::max(deepest, ++depth);
    const std::string bytes(reinterpret_cast<const char*>(data), count);
    receipts.push_back({0, bytes, data, true, {}, 0});
    if (receipts.size() == 1) {
      ServerWrites("second");
      WaitMs(50);
      // The bytes under the pointer are still the first event's.
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), count), bytes);
    }
    --depth;
  };
  ServerWrites("first");
  ASSERT_TRUE(WaitUntil([&] { return Joined(receipts) == "firstsecond"; }, 5s));
  EXPECT_EQ(deepest, 1);
}

TEST_F(TcmSocketTest, RefusedConnectionIsReportedAndStaysInactive) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  socket.SetRemotePort(closed.serverPort());
  closed.close();

  socket.SetActive(true);
  const int refused = (kWsaEConnRefused << 16) | kFdConnect;
  ASSERT_TRUE(WaitUntil([&] { return errors.size() >= 2; }, 5s));
  WaitMs(20);
  const std::vector<Report> expected = {
      {kWsaEWouldBlock, "connect() failed : " + std::string(kWouldBlock)},
      {refused, "1035 : Unknown error"}};
  EXPECT_EQ(errors, expected);
  EXPECT_FALSE(socket.Active());
  EXPECT_TRUE(activeChanges.empty());

  // Switching off still releases the failed socket.
  socket.SetActive(false);
  EXPECT_EQ(socket.Socket(), TcmSocket::kInvalidSocket);
  EXPECT_EQ(activeChanges, std::vector<bool>{false});
}

TEST_F(TcmSocketTest, ServerClosingEndsTheLink) {
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  peer->close();
  ASSERT_TRUE(WaitUntil([&] { return !socket.Active(); }, 5s));
  EXPECT_EQ(activeChanges, std::vector<bool>{false});
  EXPECT_EQ(socket.Socket(), TcmSocket::kInvalidSocket);
  EXPECT_FALSE(Send("x"));
}

TEST_F(TcmSocketTest, ServerResetIsReportedAndEndsTheLink) {
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  ResetOnClose(peer->socketDescriptor());
  peer->abort();
  ASSERT_TRUE(WaitUntil([&] { return !socket.Active(); }, 5s));
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors.front().code, kWsaEConnReset);
  EXPECT_TRUE(errors.front().text.starts_with("recv() failed : The virtual circuit was reset"));
  EXPECT_EQ(activeChanges, std::vector<bool>{false});
}

TEST_F(TcmSocketTest, ClosedRemainderOfUnsubscribedBytesIsStillSeen) {
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  socket.OnReceive = nullptr;
  ServerWrites(std::string(300, 'z'));
  peer->close();
  ASSERT_TRUE(WaitUntil([&] { return !socket.Active(); }, 5s));
  EXPECT_EQ(activeChanges, std::vector<bool>{false});
}

TEST_F(TcmSocketTest, SendToAResetPeerFailsWithoutEndingTheProgram) {
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  const int fd = socket.Socket();
  ResetOnClose(peer->socketDescriptor());
  peer->abort();
  pollfd watch{fd, POLLIN, 0};
  ASSERT_EQ(::poll(&watch, 1, 5000), 1);
  // Qt's own sockets ignore SIGPIPE process-wide; the program must not rely on that.
  const auto previous = std::signal(SIGPIPE, SIG_DFL);
  // The first send meets the reset, the second a closed pipe, which must not raise SIGPIPE.
  EXPECT_FALSE(Send(":E50001001A\r\n"));
  EXPECT_FALSE(Send(":E50001001A\r\n"));
  ASSERT_EQ(errors.size(), 2u);
  for (const auto& report : errors) {
    EXPECT_TRUE(report.code == kWsaEConnReset || report.code == kWsaEShutdown) << report.code;
    EXPECT_TRUE(report.text.starts_with("send() failed : ")) << report.text;
  }
  std::signal(SIGPIPE, previous);
}

TEST_F(TcmSocketTest, FullSendBufferIsNotASuccessfulSend) {
  ASSERT_NO_FATAL_FAILURE(ConnectToServer());
  const int small = 4096;
  ::setsockopt(socket.Socket(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  const std::string record(63, 'A');
  // The server reads nothing while the event loop does not run; the buffers must fill.
  bool failed = false;
  for (int i = 0; i < 1000000 && !failed; ++i) failed = !Send(record);
  ASSERT_TRUE(failed);
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors.back(),
            (Report{kWsaEWouldBlock, "send() failed : " + std::string(kWouldBlock)}));
  // Giving the link up is the caller's decision.
  EXPECT_TRUE(socket.Active());
}

TEST_F(TcmSocketTest, SendOnAnInactiveSocketFails) {
  EXPECT_FALSE(Send(":E50001001A\r\n"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(TcmSocketTest, BindFailureBeforeActivationClosesTheSocket) {
  socket.SetLocalHost("127.0.0.1");
  socket.SetLocalPort(server.serverPort());  // held by the listening server
  socket.SetActive(true);
  const std::vector<Report> expected = {
      {0, "!!!!!!!!socket closed for error2740"},
      {kWsaEAddrInUse, "bind() failed : The specified address is already in use."}};
  EXPECT_EQ(errors, expected);
  EXPECT_EQ(socket.Socket(), TcmSocket::kInvalidSocket);
  EXPECT_FALSE(socket.Active());
  EXPECT_EQ(activeChanges, std::vector<bool>{false});
}

TEST_F(TcmSocketTest, OnlyTheTcpClientIsBuilt) {
  socket.SetProtocol(cmUDP);
  socket.SetActive(true);
  EXPECT_EQ(socket.Socket(), TcmSocket::kInvalidSocket);
  EXPECT_FALSE(socket.Active());
  EXPECT_EQ(errors, (std::vector<Report>{{kWsaESocktNoSupport,
                                          "socket() failed : The specified socket type is not "
                                          "supported in this address family."}}));
}

TEST_F(TcmSocketTest, NotificationsWithoutAnActionAreReported) {
  const std::vector<std::pair<std::pair<int, int>, Report>> cases = {
      {{kFdOob, 0}, {0, "Message:FD_OOB"}},
      {{kFdAccept, 0}, {0, "Message:FD_ACCEPT"}},
      {{kFdConnect, 0}, {0, "Message:FD_CONNECT"}},
      {{64, 0}, {64, "1035 : Unknown error"}},
      {{kFdRead, kWsaENetDown}, {(kWsaENetDown << 16) | 1, "1035 : Unknown error"}},
  };
  for (const auto& [notification, report] : cases) {
    errors.clear();
    socket.OnSocketMessage(notification.first, notification.second);
    EXPECT_EQ(errors, std::vector<Report>{report}) << report.text;
  }
  EXPECT_TRUE(activeChanges.empty());
}

TEST_F(TcmSocketTest, ShowErrorAddsTheDescriptionToPositiveCodes) {
  socket.ShowError(kWsaEConnRefused, "connect() failed");
  socket.ShowError(0, "Message:FD_OOB");
  const std::vector<Report> expected = {
      {kWsaEConnRefused, "connect() failed : The attempt to connect was forcefully rejected."},
      {0, "Message:FD_OOB"}};
  EXPECT_EQ(errors, expected);
  socket.OnError = nullptr;
  socket.ShowError(kWsaEConnRefused, "nobody listens");
}

TEST_F(TcmSocketTest, DestructionClosesWithoutRaisingEvents) {
  auto owned = std::make_unique<TcmSocket>();
  owned->SetProtocol(cmTcpClient);
  owned->SetRemoteHost("127.0.0.1");
  owned->SetRemotePort(server.serverPort());
  int changes = 0;
  owned->OnActiveChanged = [&](TcmSocket&) { ++changes; };
  owned->SetActive(true);
  ASSERT_TRUE(WaitUntil([&] { return owned->Active() && server.hasPendingConnections(); }, 5s));
  peer.reset(server.nextPendingConnection());
  owned.reset();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(WaitUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }, 5s));
}

TEST(TcmSocketHosts, RecognisesDottedAddresses) {
  const std::vector<std::pair<std::string_view, bool>> cases = {
      {"1.2.3.4", true}, {"127.0.0.1", true},      {"10.10.100.254", true}, {"1.2.3", false},
      {"1.2.34", false}, {"256.1.1.1", false},     {"1.2.3.4.5", false},    {"localhost", false},
      {"", false},       {"10.10.100.25x", false},
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(TcmSocket::isValidIP(text), valid) << text;
}

TEST(TcmSocketHosts, AddressesConvertBothWays) {
  EXPECT_EQ(TcmSocket::get_ip_data("127.0.0.1"), 0x7F000001u);
  EXPECT_EQ(TcmSocket::get_ip_data("10.10.100.254"), 0x0A0A64FEu);
  EXPECT_EQ(TcmSocket::HostIP(0x0A0A64FEu), "10.10.100.254");
  EXPECT_EQ(TcmSocket::get_ip_data("localhost"), 0x7F000001u);
  EXPECT_FALSE(TcmSocket::HostName().empty());
}

}  // namespace
}  // namespace kdsp::device
