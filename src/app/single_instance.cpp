// SPDX-License-Identifier: GPL-3.0-or-later
// The single-instance check and the hand-over of arguments through a local socket.
#include "app/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <memory>

namespace kdsp::app {
namespace {

constexpr int kConnectMs = 500;
// How often a later start asks again while the first one is still starting.
constexpr unsigned long kRetryMs = 20;
// A request is a few hundred bytes; a peer that sends more speaks something else.
constexpr qsizetype kLargestRequest = 1 << 20;

InstanceReply Unanswered(const char* why) {
  return {"", std::string("kdsp: another kdsp is running, but ") + why + "\n", 1};
}

}  // namespace

QString SingleInstance::LockPath(const QString& name) {
  // A name that is no path lives in the temporary folder, as the local server puts it there.
  const QString socketPath = QDir::isAbsolutePath(name) ? name : QDir::temp().filePath(name);
  return socketPath + QStringLiteral(".lock");
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)), lock_(LockPath(name_)) {
  // Held for the whole run: it never goes stale while its holder lives, and a holder that
  // crashed is told by its process number.
  lock_.setStaleLockTime(0);
}

std::optional<InstanceReply> SingleInstance::handOver(const InstanceRequest& request) {
  QElapsedTimer clock;
  clock.start();
  // The first start may still be on its way to listening: ask until it answers, or until it
  // has gone and left the lock to be taken.
  while (!lock_.tryLock(0)) {
    if (lock_.error() != QLockFile::LockFailedError)
      return Unanswered("its lock file could not be read");
    if (auto reply = askRunning(request)) return reply;
    if (clock.elapsed() > kAnswerLimitMs) return Unanswered("it did not start listening");
    QThread::msleep(kRetryMs);
  }
  return std::nullopt;
}

QString SingleInstance::NameFor(const std::optional<std::string>& privateName) {
  const QString base = privateName
                           ? QStringLiteral("kdsp-instance-") + QString::fromStdString(*privateName)
                           : QStringLiteral("kdsp-karaoke-dsp-control");
  // In the session's own runtime folder when it has one (a path is a valid server name), so
  // the instance is one per user session.
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return QDir(runtime).filePath(base);
  return QStringLiteral("%1-%2").arg(base).arg(::getuid());
}

std::optional<InstanceReply> SingleInstance::askRunning(const InstanceRequest& request) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kConnectMs)) return std::nullopt;
  const std::string text = EncodeRequest(request);
  socket.write(text.data(), static_cast<qint64>(text.size()));
  QByteArray received;
  QElapsedTimer clock;
  clock.start();
  while (true) {
    received += socket.readAll();
    const auto reply = DecodeReply(std::string_view(received.constData(), received.size()));
    if (reply.state == MessageState::kComplete) return reply.message;
    if (reply.state == MessageState::kInvalid) return Unanswered("its answer could not be read");
    if (socket.state() != QLocalSocket::ConnectedState)
      return Unanswered("it closed the connection without an answer");
    const qint64 left = kAnswerLimitMs - clock.elapsed();
    if (left <= 0) return Unanswered("it did not answer");
    socket.waitForReadyRead(static_cast<int>(left));
  }
}

bool SingleInstance::listen(RequestHandler onRequest) {
  onRequest_ = std::move(onRequest);
  // A name left behind by a program that crashed would block every later start. Only the
  // holder of the lock removes it, so no running program's name is taken away.
  QLocalServer::removeServer(name_);
  if (!server_.listen(name_)) return false;
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) serve(client);
  });
  return true;
}

void SingleInstance::serve(QLocalSocket* client) {
  connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
  auto received = std::make_shared<QByteArray>();
  auto handled = std::make_shared<bool>(false);
  const auto handle = [this, handled](const InstanceRequest& request, QLocalSocket* answerTo) {
    *handled = true;
    // Out of the socket's own signal: acting on a request may run an event loop.
    QTimer::singleShot(0, this, [this, request, peer = QPointer<QLocalSocket>(answerTo)] {
      const InstanceReply reply = onRequest_ ? onRequest_(request) : InstanceReply{};
      if (!peer) return;
      const std::string text = EncodeReply(reply);
      peer->write(text.data(), static_cast<qint64>(text.size()));
      peer->disconnectFromServer();  // after what was written has gone
    });
  };
  connect(client, &QLocalSocket::readyRead, client, [client, received, handled, handle] {
    if (*handled) return;
    *received += client->readAll();
    const auto request = DecodeRequest(std::string_view(received->constData(), received->size()));
    if (request.state == MessageState::kComplete) handle(request.message, client);
    if (request.state == MessageState::kInvalid || received->size() > kLargestRequest) {
      handle({}, nullptr);
      client->disconnectFromServer();
    }
  });
  connect(client, &QLocalSocket::disconnected, this, [handled, handle] {
    if (!*handled) handle({}, nullptr);
  });
}

}  // namespace kdsp::app
