// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor on a TCP port, standing in for the processor behind its WiFi module:
// the record text passes unchanged between one connection and the processor.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>

#include "sim/simulated_processor.h"

namespace kdsp::sim {

// Serves one connection at a time. Further connections are accepted by the system but wait,
// unanswered, until the current one closes; then the oldest waiting one is served. Waiting
// beats refusing: a program that reconnects may open its new connection before the old one's
// close has been seen here.
class SimTcpServer : public QObject {
  Q_OBJECT

 public:
  explicit SimTcpServer(SimulatedProcessor& processor, QObject* parent = nullptr);
  ~SimTcpServer() override;

  // Starts listening; port 0 lets the system pick a free port. False with errorString() set
  // when the address cannot be used.
  bool listen(const QHostAddress& address, quint16 port);
  QString errorString() const { return server_.errorString(); }
  QHostAddress serverAddress() const { return server_.serverAddress(); }
  quint16 serverPort() const { return server_.serverPort(); }

  // Whether a connection is being served.
  bool hasClient() const { return !client_.isNull(); }

 signals:
  void clientConnected();
  void clientDisconnected();

 private:
  struct PendingReply {
    qint64 dueMs;
    QByteArray text;
  };

  void serveNextConnection();
  void onReadyRead();
  void onClientGone();
  // Writes every reply that is due, in order, and arms the timer for the next one.
  void sendDueReplies();
  void closeIfDropped();

  SimulatedProcessor& processor_;
  QTcpServer server_;
  QPointer<QTcpSocket> client_;
  std::deque<PendingReply> pending_;
  QElapsedTimer clock_;
  QTimer replyTimer_;
};

}  // namespace kdsp::sim
