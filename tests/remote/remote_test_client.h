// SPDX-License-Identifier: GPL-3.0-or-later
// An HTTP and WebSocket client of the remote for tests: requests made and waited for with the
// event loop running, and the messages an event socket receives.
#pragma once

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QWebSocket>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/event_loop_wait.h"

namespace kdsp::testing {

// A hung server, not a slow one, reaches it.
inline constexpr std::chrono::seconds kRemoteAnswerLimit{20};

struct HttpAnswer {
  int status = 0;  // 0: no answer
  QByteArray body;
  QByteArray contentType;
  QNetworkReply* reply = nullptr;  // for its headers; owned by the client

  QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
  std::string error() const { return json().value("error").toString().toStdString(); }
  QByteArray header(const char* name) const { return reply->rawHeader(name); }
};

class RemoteClient {
 public:
  explicit RemoteClient(quint16 port) : base_(QStringLiteral("http://127.0.0.1:%1").arg(port)) {}

  void setToken(QByteArray token) { token_ = std::move(token); }

  // Starts a request; answer() waits for it.
  QNetworkReply* send(const QByteArray& method, const QString& path, const QByteArray& body = {},
                      std::optional<QByteArray> authorization = std::nullopt) {
    QNetworkRequest request(QUrl(base_ + path));
    if (!body.isEmpty()) request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    if (authorization)
      request.setRawHeader("Authorization", *authorization);
    else if (!token_.isEmpty())
      request.setRawHeader("Authorization", "Bearer " + token_);
    QNetworkReply* reply = manager_.sendCustomRequest(request, method, body);
    reply->setParent(&manager_);
    return reply;
  }
  static HttpAnswer answer(QNetworkReply* reply) {
    device::WaitUntil([reply] { return reply->isFinished(); }, kRemoteAnswerLimit);
    HttpAnswer a;
    a.reply = reply;
    if (!reply->isFinished()) return a;
    a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    a.body = reply->readAll();
    a.contentType = reply->rawHeader("Content-Type");
    return a;
  }
  HttpAnswer request(const QByteArray& method, const QString& path, const QByteArray& body = {},
                     std::optional<QByteArray> authorization = std::nullopt) {
    return answer(send(method, path, body, std::move(authorization)));
  }
  HttpAnswer get(const QString& path) { return request("GET", path); }
  HttpAnswer post(const QString& path, const QByteArray& body) {
    return request("POST", path, body);
  }

  // Pairs with the code; the token is used from then on.
  bool pair(const QString& code) {
    const HttpAnswer a = post("/api/v1/pair", "{\"code\":\"" + code.toLatin1() + "\"}");
    token_ = a.json().value("token").toString().toLatin1();
    return a.status == 200 && !token_.isEmpty();
  }
  const QByteArray& token() const { return token_; }
  QString wsUrl(const QString& pathAndQuery) const {
    return QString(base_).replace("http://", "ws://") + pathAndQuery;
  }

 private:
  QString base_;
  QByteArray token_;
  QNetworkAccessManager manager_;
};

// An event socket and everything it received.
class EventSocket {
 public:
  explicit EventSocket(const QString& url, const QByteArray& authorization = {}) {
    QObject::connect(&socket_, &QWebSocket::textMessageReceived, [this](const QString& text) {
      messages_.push_back(QJsonDocument::fromJson(text.toUtf8()).object());
    });
    QObject::connect(&socket_, &QWebSocket::disconnected, [this] { closed_ = true; });
    // A refused handshake ends in an error, without a close.
    QObject::connect(&socket_, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error),
                     [this] { closed_ = true; });
    QNetworkRequest request{QUrl(url)};
    if (!authorization.isEmpty()) request.setRawHeader("Authorization", authorization);
    socket_.open(request);
  }

  // Waits for the n-th message (from 1); an empty object when it does not come.
  QJsonObject message(std::size_t n) {
    device::WaitUntil([&] { return messages_.size() >= n || closed_; }, kRemoteAnswerLimit);
    return messages_.size() >= n ? messages_[n - 1] : QJsonObject();
  }
  // Waits for the socket to close; its close code, or -1.
  int closeCode() {
    device::WaitUntil([&] { return closed_; }, kRemoteAnswerLimit);
    return closed_ ? static_cast<int>(socket_.closeCode()) : -1;
  }
  std::size_t received() const { return messages_.size(); }
  QWebSocket& socket() { return socket_; }

 private:
  QWebSocket socket_;
  std::vector<QJsonObject> messages_;
  bool closed_ = false;
};

}  // namespace kdsp::testing
