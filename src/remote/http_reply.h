// SPDX-License-Identifier: GPL-3.0-or-later
// HTTP responses written straight onto a connection: the status line, the headers every answer
// of the remote carries, and the body. Written by hand rather than through a responder object so
// that an answer can follow later (a recall waits for the processor) on a connection that may
// have gone meanwhile.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>

class QTcpSocket;

namespace kdsp::remote {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

// The response's bytes: status line, Content-Type, Content-Length, Cache-Control: no-store, the
// extra headers, and the body; with close, "Connection: close".
QByteArray ReplyBytes(int status, const QByteArray& contentType, const QByteArray& body,
                      const HeaderList& extra = {}, bool close = false);

// Writes the response; with close the connection ends once it has gone out. A null socket
// (the client left) takes nothing.
void WriteReply(QTcpSocket* socket, int status, const QByteArray& contentType,
                const QByteArray& body, const HeaderList& extra = {}, bool close = false);
void WriteJson(QTcpSocket* socket, int status, const QJsonObject& body,
               const HeaderList& extra = {}, bool close = false);
// {"error": message}.
void WriteError(QTcpSocket* socket, int status, const QString& message,
                const HeaderList& extra = {}, bool close = false);

}  // namespace kdsp::remote
