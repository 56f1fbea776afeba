// The single-instance check through a local socket.
#include "app/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace kdsp::app {
namespace {

constexpr int kConnectMs = 500;

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

QString SingleInstance::DefaultName() {
  // In the session's own runtime folder when it has one (a path is a valid server name), so
  // the instance is one per user session and a program run with another runtime folder (a
  // test) never meets the user's.
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
    return QDir(runtime).filePath(QStringLiteral("kdsp-karaoke-dsp-control"));
  return QStringLiteral("kdsp-karaoke-dsp-control-%1").arg(::getuid());
}

bool SingleInstance::activateRunning() {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kConnectMs)) return false;
  socket.write("activate\n");
  socket.waitForBytesWritten(kConnectMs);
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::listen(std::function<void()> onActivate) {
  onActivate_ = std::move(onActivate);
  // A name left behind by a program that crashed would block every later start.
  QLocalServer::removeServer(name_);
  if (!server_.listen(name_)) return false;
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      if (onActivate_) onActivate_();
    }
  });
  return true;
}

}  // namespace kdsp::app
