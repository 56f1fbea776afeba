// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote's routes, its pairing and token check, and its event sockets.
#include "remote/remote_server.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <QWebSocket>
#include <algorithm>
#include <cmath>

#include "remote/http_reply.h"
#include "remote/web/page_texts.h"
#include "remote/web/web_files.h"

namespace kdsp::remote {
namespace {

constexpr char kApiPrefix[] = "/api/v1/";
constexpr char kPairPath[] = "/api/v1/pair";
constexpr char kStatePath[] = "/api/v1/state";
constexpr char kSetPath[] = "/api/v1/set";
constexpr char kRecallPath[] = "/api/v1/recall";
constexpr char kEventsPath[] = "/api/v1/events";
// The page's texts in the program's language; the pairing screen needs them, so no token.
constexpr char kTextsPath[] = "/texts.json";
// How long a refused event socket may take to answer the close before it is cut.
constexpr int kCloseAnswerMs = 5000;

bool WantsClose(const QHttpServerRequest& request) {
  return request.value("connection").trimmed().compare("close", Qt::CaseInsensitive) == 0;
}

bool IsUpgrade(const QHttpServerRequest& request) {
  return request.value("upgrade").trimmed().compare("websocket", Qt::CaseInsensitive) == 0;
}

// The token of "Authorization: Bearer TOKEN"; empty when there is none.
QByteArray BearerToken(const QByteArray& authorization) {
  const QByteArray value = authorization.trimmed();
  const qsizetype space = value.indexOf(' ');
  if (space < 0 || value.left(space).compare("bearer", Qt::CaseInsensitive) != 0) return {};
  return value.mid(space + 1).trimmed();
}

// A body that is one JSON object; nothing otherwise.
std::optional<QJsonObject> BodyObject(const QByteArray& body) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(body, &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
  return document.object();
}

}  // namespace

RemoteServer::RemoteServer(RemoteTarget& target, Pairing& pairing, QObject* parent)
    : QAbstractHttpServer(parent), target_(target), pairing_(pairing) {
  connect(this, &QAbstractHttpServer::newWebSocketConnection, this,
          &RemoteServer::acceptWebSockets);
  connect(&target_, &RemoteTarget::fieldsChanged, this, &RemoteServer::onFieldsChanged);
  connect(&target_, &RemoteTarget::statusChanged, this, &RemoteServer::onStatusChanged);
  lastStatus_ = target_.status();
}

RemoteServer::~RemoteServer() {
  // A socket going tells of its disconnection, which must not come back into the list.
  for (EventClient& client : clients_) client.socket->disconnect(this);
  clients_.clear();
}

bool RemoteServer::start(const ListenAddress& address, QString& error) {
  auto* listener = new QTcpServer(this);
  if (!listener->listen(address.address, address.port)) {
    error = tr("the remote cannot listen on %1 port %2: %3")
                .arg(address.address.toString())
                .arg(address.port)
                .arg(listener->errorString());
    delete listener;
    return false;
  }
  bind(listener);
  listener_ = listener;
  return true;
}

quint16 RemoteServer::port() const {
  return listener_ ? listener_->serverPort() : 0;
}

bool RemoteServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  const QString path = request.url().path();
  if (IsUpgrade(request)) {
    // The events path is taken over as a WebSocket, whose token is checked once it is open, so
    // the page learns of a refusal by its close code; no other path takes an upgrade.
    if (path == kEventsPath) return true;
    // Refused: the server closes the connection after the answer.
    WriteError(socket, 404, tr("not found"));
    return false;
  }
  if (path == kPairPath)
    servePair(request, socket);
  else if (path == kTextsPath)
    serveTexts(request, socket);
  else if (path.startsWith(kApiPrefix))
    serveApi(request, socket);
  else
    serveFile(request, socket);
  return true;
}

void RemoteServer::missingHandler(const QHttpServerRequest&, QTcpSocket*) {
  // Only an upgrade refused by handleRequest comes here, and it has had its answer.
}

void RemoteServer::serveFile(const QHttpServerRequest& request, QTcpSocket* socket) {
  const bool close = WantsClose(request);
  const web::WebFile* file = web::FindWebFile(request.url().path().toStdString());
  if (file == nullptr) {
    WriteError(socket, 404, tr("not found"), {}, close);
    return;
  }
  if (request.method() != QHttpServerRequest::Method::Get) {
    WriteError(socket, 405, tr("this address takes GET"), {{"Allow", "GET"}}, close);
    return;
  }
  QFile resource(QString::fromUtf8(file->resourcePath.data(),
                                   static_cast<qsizetype>(file->resourcePath.size())));
  if (!resource.open(QIODevice::ReadOnly)) {
    WriteError(socket, 500, tr("the page's file is missing from the program"), {}, close);
    return;
  }
  WriteReply(socket, 200,
             QByteArray(file->contentType.data(), static_cast<qsizetype>(file->contentType.size())),
             resource.readAll(), {}, close);
}

void RemoteServer::serveTexts(const QHttpServerRequest& request, QTcpSocket* socket) {
  const bool close = WantsClose(request);
  if (request.method() != QHttpServerRequest::Method::Get) {
    WriteError(socket, 405, tr("this address takes GET"), {{"Allow", "GET"}}, close);
    return;
  }
  WriteJson(socket, 200, web::TranslatedPageTexts(pageLanguage_), {}, close);
}

void RemoteServer::servePair(const QHttpServerRequest& request, QTcpSocket* socket) {
  const bool close = WantsClose(request);
  if (request.method() != QHttpServerRequest::Method::Post) {
    WriteError(socket, 405, tr("this address takes POST"), {{"Allow", "POST"}}, close);
    return;
  }
  const auto body = BodyObject(request.body());
  const QJsonValue code = body ? body->value("code") : QJsonValue();
  if (!code.isString() || !Pairing::IsCodeShaped(code.toString())) {
    WriteError(socket, 400, tr("send {\"code\":\"NNNNNN\"}, the six digits the PC shows"), {},
               close);
    return;
  }
  const PairAnswer answer = pairing_.pair(code.toString());
  switch (answer.kind) {
    case PairAnswer::Kind::kPaired:
      WriteJson(socket, 200, {{"token", QString::fromLatin1(answer.token)}}, {}, close);
      // A token kept no longer to make room for this one ends its phone's events.
      closeUnpaired();
      return;
    case PairAnswer::Kind::kWrongCode:
      WriteError(socket, 403, tr("wrong code"), {}, close);
      return;
    case PairAnswer::Kind::kTooSoon:
      WriteJson(
          socket, 429,
          {{"error", tr("too many wrong codes: try again in %1 s").arg(answer.retryAfterSeconds)},
           {"retryAfter", answer.retryAfterSeconds}},
          {{"Retry-After", QByteArray::number(answer.retryAfterSeconds)}}, close);
      return;
  }
}

bool RemoteServer::paired(const QHttpServerRequest& request) const {
  const QByteArray token = BearerToken(request.value("authorization"));
  return !token.isEmpty() && pairing_.accepts(token);
}

void RemoteServer::serveApi(const QHttpServerRequest& request, QTcpSocket* socket) {
  const bool close = WantsClose(request);
  if (!paired(request)) {
    WriteError(socket, 401, tr("pair this phone first"), {{"WWW-Authenticate", "Bearer"}}, close);
    return;
  }
  using Method = QHttpServerRequest::Method;
  struct Route {
    const char* path;
    Method method;
    void (RemoteServer::*serve)(const QHttpServerRequest&, QTcpSocket*);
  };
  static constexpr Route kRoutes[] = {
      {kStatePath, Method::Get, nullptr},
      {kSetPath, Method::Post, &RemoteServer::serveSet},
      {kRecallPath, Method::Post, &RemoteServer::serveRecall},
      {kEventsPath, Method::Get, nullptr},
  };
  const QString path = request.url().path();
  const auto route = std::find_if(std::begin(kRoutes), std::end(kRoutes),
                                  [&](const Route& r) { return path == r.path; });
  if (route == std::end(kRoutes)) {
    WriteError(socket, 404, tr("not found"), {}, close);
    return;
  }
  if (request.method() != route->method) {
    const QByteArray allowed = route->method == Method::Get ? "GET" : "POST";
    WriteError(socket, 405, tr("this address takes %1").arg(QString::fromLatin1(allowed)),
               {{"Allow", allowed}}, close);
    return;
  }
  if (path == kEventsPath) {
    WriteError(socket, 400, tr("this address takes a WebSocket"), {}, close);
    return;
  }
  if (route->serve == nullptr) {
    WriteJson(socket, 200, stateObject(), {}, close);
    return;
  }
  (this->*route->serve)(request, socket);
}

void RemoteServer::serveSet(const QHttpServerRequest& request, QTcpSocket* socket) {
  const bool close = WantsClose(request);
  const auto body = BodyObject(request.body());
  if (!body) {
    WriteError(socket, 400, tr("send a JSON object of fields and values"), {}, close);
    return;
  }
  const ApplyResult result = target_.applyFields(*body);
  switch (result.kind) {
    case ApplyResult::Kind::kApplied:
      WriteJson(socket, 200, {{"changed", result.changed}}, {}, close);
      return;
    case ApplyResult::Kind::kRefused:
      WriteError(socket, 400, result.error, {}, close);
      return;
    case ApplyResult::Kind::kNotConnected:
    case ApplyResult::Kind::kBusy:
      WriteError(socket, 409, result.error, {}, close);
      return;
  }
}

void RemoteServer::serveRecall(const QHttpServerRequest& request, QTcpSocket* socket) {
  const bool close = WantsClose(request);
  const auto body = BodyObject(request.body());
  const QJsonValue slot = body ? body->value("slot") : QJsonValue();
  const double number = slot.toDouble(-1);
  // A whole number, and small enough to be one before it is taken for one.
  if (!slot.isDouble() || std::abs(number) > 1e6 || std::floor(number) != number) {
    WriteError(socket, 400, tr("send {\"slot\": S}, a slot the PC's recall menu offers"), {},
               close);
    return;
  }
  // The answer comes once the processor has sent the slot; the client may have gone by then.
  QPointer<QTcpSocket> client(socket);
  target_.recall(static_cast<int>(number), [client, close](RecallResult result) {
    switch (result) {
      case RecallResult::kRecalled:
        WriteJson(client.data(), 200, {}, {}, close);
        return;
      case RecallResult::kBadSlot:
        WriteError(client.data(), 400, tr("no such slot in the PC's recall menu"), {}, close);
        return;
      case RecallResult::kNotConnected:
        WriteError(client.data(), 409, tr("the processor is not connected"), {}, close);
        return;
      case RecallResult::kBusy:
        WriteError(client.data(), 409, tr("the processor is busy with another transfer"), {},
                   close);
        return;
      case RecallResult::kNotAnswered:
        WriteError(client.data(), 504, tr("the processor did not send the slot's settings"), {},
                   close);
        return;
    }
  });
}

QJsonObject RemoteServer::statusObject(const RemoteStatus& status) const {
  return {{"link", status.connected ? "connected" : "disconnected"},
          {"source", status.source},
          {"modified", status.modified},
          {"ranges", status.ranges}};
}

QJsonObject RemoteServer::stateObject() const {
  QJsonObject state = statusObject(target_.status());
  state.insert("settings", target_.fields());
  QJsonArray presets;
  for (const PresetEntry& entry : target_.presets())
    presets.append(QJsonObject{{"slot", entry.slot}, {"name", entry.name}});
  state.insert("slots", presets);
  return state;
}

void RemoteServer::acceptWebSockets() {
  while (hasPendingWebSocketConnections()) {
    std::unique_ptr<QWebSocket> socket = nextPendingWebSocketConnection();
    if (!socket) continue;
    const QUrl url = socket->requestUrl();
    if (url.path() != kEventsPath) {
      refuse(std::move(socket), kCloseNotFound, tr("not found"));
      continue;
    }
    // A browser cannot set headers on a WebSocket, so the token may come in the address.
    QByteArray token = QUrlQuery(url).queryItemValue("token").toLatin1();
    if (token.isEmpty()) token = BearerToken(socket->request().rawHeader("Authorization"));
    if (token.isEmpty() || !pairing_.accepts(token)) {
      refuse(std::move(socket), kCloseUnpaired, tr("pair this phone first"));
      continue;
    }
    QWebSocket* raw = socket.get();
    connect(raw, &QWebSocket::disconnected, this, [this, raw] { dropClient(raw); });
    QJsonObject state = stateObject();
    state.insert("type", "state");
    lastStatus_ = target_.status();
    raw->sendTextMessage(QString::fromUtf8(QJsonDocument(state).toJson(QJsonDocument::Compact)));
    clients_.push_back({std::move(socket), Pairing::HashOf(token)});
    emit eventClientsChanged();
  }
}

void RemoteServer::refuse(std::unique_ptr<QWebSocket> socket, quint16 code, const QString& reason) {
  QWebSocket* raw = socket.release();
  raw->setParent(this);
  connect(raw, &QWebSocket::disconnected, raw, &QObject::deleteLater);
  // A client that never answers the close is cut.
  QTimer::singleShot(kCloseAnswerMs, raw, [raw] { raw->abort(); });
  raw->close(static_cast<QWebSocketProtocol::CloseCode>(code), reason);
}

void RemoteServer::dropClient(QWebSocket* socket) {
  const auto at = std::find_if(clients_.begin(), clients_.end(),
                               [socket](const EventClient& c) { return c.socket.get() == socket; });
  if (at == clients_.end()) return;
  // The socket is inside its own signal: it goes once that has returned.
  at->socket.release()->deleteLater();
  clients_.erase(at);
  emit eventClientsChanged();
}

void RemoteServer::newCode() {
  pairing_.newCode();
  closeUnpaired();
}

void RemoteServer::closeUnpaired() {
  for (auto it = clients_.begin(); it != clients_.end();) {
    if (pairing_.knowsHash(it->tokenHash)) {
      ++it;
      continue;
    }
    std::unique_ptr<QWebSocket> socket = std::move(it->socket);
    it = clients_.erase(it);
    socket->disconnect(this);
    refuse(std::move(socket), kCloseUnpaired, tr("pair this phone first"));
    emit eventClientsChanged();
  }
}

void RemoteServer::broadcast(const QJsonObject& message) {
  if (clients_.empty()) return;
  const QString text = QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
  for (const EventClient& client : clients_) client.socket->sendTextMessage(text);
}

void RemoteServer::onFieldsChanged(const QJsonObject& fields) {
  if (fields.isEmpty()) return;
  broadcast({{"type", "fields"}, {"fields", fields}});
}

void RemoteServer::onStatusChanged() {
  const RemoteStatus status = target_.status();
  if (status == lastStatus_) return;
  lastStatus_ = status;
  QJsonObject message = statusObject(status);
  message.insert("type", "status");
  broadcast(message);
}

}  // namespace kdsp::remote
