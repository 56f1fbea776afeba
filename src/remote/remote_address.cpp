// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the remote's listening address and naming the one a phone reaches.
#include "remote/remote_address.h"

#include <QCoreApplication>

#include "core/whole_number.h"

namespace kdsp::remote {
namespace {

bool IsEveryInterface(const QHostAddress& address) {
  return address == QHostAddress(QHostAddress::Any) ||
         address == QHostAddress(QHostAddress::AnyIPv4) ||
         address == QHostAddress(QHostAddress::AnyIPv6);
}

std::optional<quint16> ParsePort(const QString& text) {
  const core::WholeNumber port = core::ReadWholeNumber(text.toStdString(), 0, 65535);
  if (!port) return std::nullopt;
  return static_cast<quint16>(port.value);
}

}  // namespace

std::optional<ListenAddress> ParseListenAddress(const QString& text, QString& error) {
  const auto refuse = [&]() -> std::optional<ListenAddress> {
    error = QCoreApplication::translate("kdsp::remote",
                                        "--remote takes [ADDR:]PORT (a port 0..65535, an "
                                        "IPv4 address or an IPv6 address in brackets), not '%1'")
                .arg(text);
    return std::nullopt;
  };
  ListenAddress listen;
  const qsizetype colon = text.lastIndexOf(':');
  QString portText = text;
  if (colon >= 0) {
    QString host = text.left(colon);
    portText = text.mid(colon + 1);
    const bool bracketed = host.startsWith('[') && host.endsWith(']');
    if (bracketed) host = host.mid(1, host.size() - 2);
    // An IPv6 address has colons of its own, so it must come in brackets.
    if (host.isEmpty() || (!bracketed && host.contains(':'))) return refuse();
    if (!listen.address.setAddress(host)) return refuse();
    if (bracketed != (listen.address.protocol() == QAbstractSocket::IPv6Protocol)) return refuse();
  }
  const auto port = ParsePort(portText);
  if (!port) return refuse();
  listen.port = *port;
  return listen;
}

QHostAddress ReachableAddress(const QHostAddress& listening,
                              const QList<QHostAddress>& machineAddresses) {
  if (!IsEveryInterface(listening)) return listening;
  for (const QHostAddress& a : machineAddresses)
    if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) return a;
  return QHostAddress(QHostAddress::LocalHost);
}

QString RemoteUrl(const QHostAddress& address, quint16 port) {
  const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                           ? '[' + address.toString() + ']'
                           : address.toString();
  return QStringLiteral("http://%1:%2/").arg(host).arg(port);
}

QString RemoteLine(const QString& url, const QString& code) {
  return QStringLiteral("remote: %1 code %2").arg(url, code);
}

}  // namespace kdsp::remote
