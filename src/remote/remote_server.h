// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote's server: the page's files, the pairing, the API over HTTP and the events over
// a WebSocket, on Qt's HTTP server. Every API request but the pairing needs a token; what the
// requests do is the target's business.
#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QJsonObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

#include "remote/pairing.h"
#include "remote/remote_address.h"
#include "remote/remote_target.h"

class QTcpServer;
class QWebSocket;

namespace kdsp::remote {

// The WebSocket close code for a token unknown or dropped: the page goes back to pairing.
inline constexpr quint16 kCloseUnpaired = 4401;
// The WebSocket close code for an upgrade to a path that takes none.
inline constexpr quint16 kCloseNotFound = 4404;

class RemoteServer : public QAbstractHttpServer {
  Q_OBJECT

 public:
  RemoteServer(RemoteTarget& target, Pairing& pairing, QObject* parent = nullptr);
  ~RemoteServer() override;

  // Listens; false, with error set, when the address cannot be taken.
  bool start(const ListenAddress& address, QString& error);
  // The port listened on, once started.
  quint16 port() const;

  // A new pairing code: every token is dropped and every event socket closed with
  // kCloseUnpaired.
  void newCode();
  const QString& code() const { return pairing_.code(); }
  // The language tag the page is served with ("en" until told otherwise): the installed
  // translation's.
  void setPageLanguage(const QString& tag) { pageLanguage_ = tag; }
  // Event sockets open and paired.
  int eventClients() const { return static_cast<int>(clients_.size()); }

 signals:
  // A phone began or stopped following the events.
  void eventClientsChanged();

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  struct EventClient {
    std::unique_ptr<QWebSocket> socket;
    QByteArray tokenHash;
  };

  void serveFile(const QHttpServerRequest& request, QTcpSocket* socket);
  void serveTexts(const QHttpServerRequest& request, QTcpSocket* socket);
  void servePair(const QHttpServerRequest& request, QTcpSocket* socket);
  void serveApi(const QHttpServerRequest& request, QTcpSocket* socket);
  void serveSet(const QHttpServerRequest& request, QTcpSocket* socket);
  void serveRecall(const QHttpServerRequest& request, QTcpSocket* socket);
  bool paired(const QHttpServerRequest& request) const;

  // Closes, with kCloseUnpaired, the event sockets whose token is no longer kept.
  void closeUnpaired();
  void acceptWebSockets();
  // Closes a socket that is not taken in and lets it go once the other side has answered.
  void refuse(std::unique_ptr<QWebSocket> socket, quint16 code, const QString& reason);
  void dropClient(QWebSocket* socket);
  void broadcast(const QJsonObject& message);
  void onFieldsChanged(const QJsonObject& fields);
  void onStatusChanged();

  // The members of GET /api/v1/state and of the "state" and "status" events.
  QJsonObject stateObject() const;
  QJsonObject statusObject(const RemoteStatus& status) const;

  RemoteTarget& target_;
  Pairing& pairing_;
  QPointer<QTcpServer> listener_;
  std::vector<EventClient> clients_;
  RemoteStatus lastStatus_;
  QString pageLanguage_ = QStringLiteral("en");
};

}  // namespace kdsp::remote
