// SPDX-License-Identifier: GPL-3.0-or-later
// Writing HTTP responses.
#include "remote/http_reply.h"

#include <QJsonDocument>
#include <QTcpSocket>

namespace kdsp::remote {
namespace {

QByteArray ReasonOf(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 409:
      return "Conflict";
    case 429:
      return "Too Many Requests";
    case 500:
      return "Internal Server Error";
    case 504:
      return "Gateway Timeout";
    default:
      return "Status";
  }
}

}  // namespace

QByteArray ReplyBytes(int status, const QByteArray& contentType, const QByteArray& body,
                      const HeaderList& extra, bool close) {
  QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + ReasonOf(status) + "\r\n";
  out += "Content-Type: " + contentType + "\r\n";
  out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
  // The page and the state change as the program runs: a phone never shows a stale copy.
  out += "Cache-Control: no-store\r\n";
  out += "X-Content-Type-Options: nosniff\r\n";
  for (const auto& [name, value] : extra) out += name + ": " + value + "\r\n";
  if (close) out += "Connection: close\r\n";
  return out + "\r\n" + body;
}

void WriteReply(QTcpSocket* socket, int status, const QByteArray& contentType,
                const QByteArray& body, const HeaderList& extra, bool close) {
  if (socket == nullptr || socket->state() != QAbstractSocket::ConnectedState) return;
  socket->write(ReplyBytes(status, contentType, body, extra, close));
  if (close) socket->disconnectFromHost();
}

void WriteJson(QTcpSocket* socket, int status, const QJsonObject& body, const HeaderList& extra,
               bool close) {
  WriteReply(socket, status, "application/json", QJsonDocument(body).toJson(QJsonDocument::Compact),
             extra, close);
}

void WriteError(QTcpSocket* socket, int status, const QString& message, const HeaderList& extra,
                bool close) {
  WriteJson(socket, status, QJsonObject{{"error", message}}, extra, close);
}

}  // namespace kdsp::remote
