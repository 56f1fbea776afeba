// SPDX-License-Identifier: GPL-3.0-or-later
// The socket component of the WiFi link: a TCP client on a non-blocking socket whose readiness,
// watched by the event loop, arrives as Winsock-style notifications (read, write, connect,
// close) and is handled the way the component's window-message handler handles them.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QSocketNotifier;

namespace kdsp::device {

// The component's modes; only the TCP client is built, the others are refused at opening.
enum TcmSocketProtocol : int { cmICMP, cmIGMP, cmUDP, cmRawIP, cmTcpServer, cmTcpClient };

// Events may close or reopen the component, but must not delete it (use deleteLater).
class TcmSocket : public QObject {
  Q_OBJECT

 public:
  using ErrorEvent = std::function<void(TcmSocket& sender, int code, const std::string& text)>;
  // data points at count bytes in the receive buffer, followed by a 0.
  using ReceiveEvent =
      std::function<void(TcmSocket& sender, int socket, int count, const std::uint8_t* data,
                         const std::string& peerAddress, int peerPort)>;
  using ActiveChangedEvent = std::function<void(TcmSocket& sender)>;

  static constexpr int kInvalidSocket = -1;
  static constexpr int kDefaultMaxBufSize = 2048;

  explicit TcmSocket(QObject* parent = nullptr);
  // Closes the socket without raising events: the owner may already be half destroyed.
  ~TcmSocket() override;

  ErrorEvent OnError;
  ReceiveEvent OnReceive;
  ActiveChangedEvent OnActiveChanged;

  TcmSocketProtocol Protocol() const { return protocol_; }
  void SetProtocol(TcmSocketProtocol protocol) { protocol_ = protocol; }
  // When false every receive starts at the beginning of the receive buffer.
  bool RelayDump() const { return relayDump_; }
  void SetRelayDump(bool relayDump) { relayDump_ = relayDump; }
  int Socket() const { return fd_; }
  int BufOffset() const { return bufOffset_; }
  void SetBufOffset(int offset);
  int RemotePort() const { return remotePort_; }
  void SetRemotePort(int port) { remotePort_ = port; }
  const std::string& RemoteHost() const { return remoteHost_; }
  void SetRemoteHost(std::string host) { remoteHost_ = std::move(host); }
  int LocalPort() const { return localPort_; }
  void SetLocalPort(int port) { localPort_ = port; }
  // "0" or empty binds to every local interface.
  const std::string& LocalHost() const { return localHost_; }
  void SetLocalHost(std::string host) { localHost_ = std::move(host); }
  // At least 1; the buffer is sized from it when the socket next becomes active.
  int MaxBufSize() const { return maxBufSize_; }
  void SetMaxBufSize(int size);
  bool Active() const { return active_; }
  void SetActive(bool active);

  // Starts connecting; the socket becomes active when the connection is made.
  void Open();
  // Closes the socket and reports the component inactive.
  void Close();
  // True only when every byte was handed to the network. A socket whose send buffer is full
  // takes none or part of the bytes: that is a failure (the caller gives the link up), and the
  // report carries the would-block code.
  bool Send(const std::uint8_t* data, int length);

  // Handles one notification: event in the low word, error code in the high word, matched as a
  // whole, so a notification with an error matches no event and is reported as such.
  void OnSocketMessage(int event, int error);
  // For a result of -1: the error code of the failed call (reported, and a socket that failed
  // before it became active is closed); otherwise 0.
  int ErrorCheck(int result, const char* text);
  // A report to OnError: text, then for a code above 0 " : " and the code's description.
  void ShowError(int code, std::string_view text);

  // This computer's name.
  static std::string HostName();
  // This computer's first IPv4 address as dotted text; empty when it has none.
  static std::string HostIP();
  // An IPv4 address (host byte order) as dotted text.
  static std::string HostIP(std::uint32_t address);
  // Longer than 6 characters and a dotted IPv4 address.
  static bool isValidIP(std::string_view text);
  // A dotted address, else the address the name resolves to (empty: this computer's name);
  // host byte order; nothing when the name does not resolve.
  static std::optional<std::uint32_t> get_ip_data(std::string_view text);

 private:
  void reportFailure(int code, const char* text);
  void activate();
  void releaseSocket();
  void onReadable();
  void onWritable();
  void receiveAvailable();
  void discardAvailable();

  TcmSocketProtocol protocol_ = cmUDP;
  bool relayDump_ = false;
  int fd_ = kInvalidSocket;
  int bufOffset_ = 0;
  int remotePort_ = 0;
  std::string remoteHost_;
  int localPort_ = 0;
  std::string localHost_ = "0";
  int maxBufSize_ = kDefaultMaxBufSize;
  bool active_ = false;

  bool bound_ = false;
  // Counts openings, so a handler that closed or reopened the socket is noticed afterwards
  // even when the new socket got the old descriptor number.
  unsigned generation_ = 0;
  std::string peerAddress_;
  int peerPort_ = 0;
  std::vector<std::uint8_t> buffer_;  // MaxBufSize bytes and a terminating 0
  QSocketNotifier* readNotifier_ = nullptr;
  QSocketNotifier* writeNotifier_ = nullptr;
};

}  // namespace kdsp::device
