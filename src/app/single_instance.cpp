// The single-instance check through a local socket.
#include "app/single_instance.h"

#include <unistd.h>

#include <QLocalSocket>

namespace kdsp::app {
namespace {

constexpr int kConnectMs = 500;

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

QString SingleInstance::DefaultName() {
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
