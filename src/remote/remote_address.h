// SPDX-License-Identifier: GPL-3.0-or-later
// Where the phone remote listens, as `--remote [ADDR:]PORT` gives it, and the address a phone
// on the same network reaches it at.
#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <optional>

namespace kdsp::remote {

struct ListenAddress {
  QHostAddress address{QHostAddress::Any};  // every interface unless an address is given
  quint16 port = 0;                         // 0: a free port of the system's choosing
};

// PORT, IPV4:PORT or [IPV6]:PORT, the port 0..65535. Nothing, with error set to a message
// naming the text, when it is anything else.
std::optional<ListenAddress> ParseListenAddress(const QString& text, QString& error);

// The address to show a phone: the machine's first non-loopback IPv4 address among
// machineAddresses when listening on every interface (the loopback address when there is none),
// else the address listened on.
QHostAddress ReachableAddress(const QHostAddress& listening,
                              const QList<QHostAddress>& machineAddresses);

// "http://ADDR:PORT/", an IPv6 address in brackets.
QString RemoteUrl(const QHostAddress& address, quint16 port);

// The line the program prints and shows: "remote: http://ADDR:PORT/ code NNNNNN".
QString RemoteLine(const QString& url, const QString& code);

}  // namespace kdsp::remote
