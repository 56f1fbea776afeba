// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the remote's listening address: what --remote takes and refuses, the address a phone
// is shown, and the line the program prints.
#include "remote/remote_address.h"

#include <gtest/gtest.h>

namespace kdsp::remote {
namespace {

TEST(RemoteAddress, TakesPortAndAddressForms) {
  struct Case {
    const char* text;
    QHostAddress address;
    quint16 port;
  };
  const Case cases[] = {
      {"8080", QHostAddress(QHostAddress::Any), 8080},  // every interface, IPv4 and IPv6
      {"0", QHostAddress(QHostAddress::Any), 0},        // a free port
      {"127.0.0.1:0", QHostAddress("127.0.0.1"), 0},
      {"192.168.1.20:65535", QHostAddress("192.168.1.20"), 65535},
      {"[::1]:9000", QHostAddress("::1"), 9000},
      {"0.0.0.0:80", QHostAddress(QHostAddress::AnyIPv4), 80},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    QString error;
    const auto parsed = ParseListenAddress(c.text, error);
    ASSERT_TRUE(parsed.has_value()) << error.toStdString();
    EXPECT_EQ(parsed->address, c.address) << parsed->address.toString().toStdString();
    EXPECT_EQ(parsed->port, c.port);
    EXPECT_TRUE(error.isEmpty());
  }
}

TEST(RemoteAddress, RefusesEverythingElseNamingTheText) {
  for (const char* text :
       {"", "65536", "-1", "+80", " 80", "80 ", "http", "1.2.3.4:", ":80", "1.2.3.4:x",
        "1.2.3.4.5:80", "::1:80", "[1.2.3.4]:80", "[::1]", "host.example:80", "123456", "0x50"}) {
    SCOPED_TRACE(text);
    QString error;
    EXPECT_FALSE(ParseListenAddress(text, error).has_value());
    EXPECT_TRUE(error.startsWith("--remote takes [ADDR:]PORT")) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QString("not '%1'").arg(text))) << error.toStdString();
  }
}

TEST(RemoteAddress, PhoneIsShownTheFirstNonLoopbackIpv4WhenEveryInterfaceListens) {
  const QList<QHostAddress> machine = {QHostAddress("127.0.0.1"), QHostAddress("::1"),
                                       QHostAddress("fe80::1"), QHostAddress("10.0.0.7"),
                                       QHostAddress("192.168.1.20")};
  struct Case {
    QHostAddress listening;
    QList<QHostAddress> machine;
    const char* shown;
  };
  const Case cases[] = {
      {QHostAddress(QHostAddress::Any), machine, "10.0.0.7"},
      {QHostAddress(QHostAddress::AnyIPv4), machine, "10.0.0.7"},
      {QHostAddress(QHostAddress::AnyIPv6), machine, "10.0.0.7"},
      {QHostAddress(QHostAddress::Any),
       {QHostAddress("127.0.0.1"), QHostAddress("::1")},
       "127.0.0.1"},
      {QHostAddress(QHostAddress::Any), {}, "127.0.0.1"},
      {QHostAddress("192.168.1.20"), machine, "192.168.1.20"},
      {QHostAddress("127.0.0.1"), machine, "127.0.0.1"},
      {QHostAddress("::1"), machine, "::1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.listening.toString().toStdString());
    EXPECT_EQ(ReachableAddress(c.listening, c.machine).toString().toStdString(), c.shown);
  }
}

TEST(RemoteAddress, UrlAndLine) {
  EXPECT_EQ(RemoteUrl(QHostAddress("192.168.1.20"), 8080).toStdString(),
            "http://192.168.1.20:8080/");
  EXPECT_EQ(RemoteUrl(QHostAddress("::1"), 9000).toStdString(), "http://[::1]:9000/");
  EXPECT_EQ(RemoteLine("http://10.0.0.7:41234/", "004217").toStdString(),
            "remote: http://10.0.0.7:41234/ code 004217");
}

}  // namespace
}  // namespace kdsp::remote
