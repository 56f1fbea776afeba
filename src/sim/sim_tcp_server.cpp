// SPDX-License-Identifier: GPL-3.0-or-later
// The TCP carrier of the simulated processor.
#include "sim/sim_tcp_server.h"

#include <algorithm>

namespace kdsp::sim {

SimTcpServer::SimTcpServer(SimulatedProcessor& processor, QObject* parent)
    : QObject(parent), processor_(processor) {
  clock_.start();
  replyTimer_.setSingleShot(true);
  // A coarse timer may fire a little early; the replies would then wait for another round.
  replyTimer_.setTimerType(Qt::PreciseTimer);
  connect(&replyTimer_, &QTimer::timeout, this, &SimTcpServer::sendDueReplies);
  connect(&server_, &QTcpServer::newConnection, this, &SimTcpServer::serveNextConnection);
}

SimTcpServer::~SimTcpServer() {
  if (client_) {
    client_->disconnect(this);
    client_->abort();
  }
}

bool SimTcpServer::listen(const QHostAddress& address, quint16 port) {
  return server_.listen(address, port);
}

void SimTcpServer::serveNextConnection() {
  while (!client_ && server_.hasPendingConnections()) {
    QTcpSocket* socket = server_.nextPendingConnection();
    // A connection that gave up while it waited is let go: nobody is left to read the answers.
    if (socket->state() != QAbstractSocket::ConnectedState) {
      socket->deleteLater();
      continue;
    }
    client_ = socket;
    pending_.clear();
    replyTimer_.stop();
    processor_.beginLink();
    connect(socket, &QTcpSocket::readyRead, this, &SimTcpServer::onReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &SimTcpServer::onClientGone);
    emit clientConnected();
    // Bytes may have arrived while the connection waited its turn.
    if (socket->bytesAvailable() > 0) onReadyRead();
    closeIfDropped();
  }
}

void SimTcpServer::onReadyRead() {
  if (!client_) return;
  const QByteArray bytes = client_->readAll();
  const auto replies = processor_.receive(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
  const qint64 now = clock_.elapsed();
  for (const SimReply& reply : replies) {
    qint64 due = now + reply.delayMs;
    // Replies leave in the order they were made, whatever their delays.
    if (!pending_.empty()) due = std::max(due, pending_.back().dueMs);
    pending_.push_back({due, QByteArray::fromStdString(reply.text)});
  }
  sendDueReplies();
}

void SimTcpServer::sendDueReplies() {
  if (!client_) return;
  const qint64 now = clock_.elapsed();
  while (!pending_.empty() && pending_.front().dueMs <= now) {
    client_->write(pending_.front().text);
    pending_.pop_front();
  }
  if (!pending_.empty()) {
    replyTimer_.start(static_cast<int>(pending_.front().dueMs - now));
    return;
  }
  closeIfDropped();
}

void SimTcpServer::closeIfDropped() {
  // The link goes down once the last record has been answered in full.
  if (client_ && processor_.linkDropped() && pending_.empty() &&
      client_->state() == QAbstractSocket::ConnectedState)
    client_->disconnectFromHost();
}

void SimTcpServer::onClientGone() {
  if (client_) {
    client_->disconnect(this);
    client_->deleteLater();
    client_.clear();
  }
  pending_.clear();
  replyTimer_.stop();
  emit clientDisconnected();
  serveNextConnection();
}

}  // namespace kdsp::sim
