// SPDX-License-Identifier: GPL-3.0-or-later
// The processors --connect names: USB (the one found or one by its path), the simulator, a WiFi
// module's address; anything else is a usage error that says what is taken.
#include <gtest/gtest.h>

#include "cli_support.h"
#include "device_session.h"

namespace kdsp::tools {
namespace {

using Kind = ConnectTarget::Kind;

TEST(ConnectUrlTest, EachFormNamesItsProcessor) {
  const struct {
    const char* url;
    Kind kind;
    const char* host;
    int port;
    const char* usbPath;
    const char* described;
  } cases[] = {
      {"usb", Kind::kUsb, "", 0, "", "the processor on USB"},
      {"usb:/dev/hidraw3", Kind::kUsb, "", 0, "/dev/hidraw3", "the processor at /dev/hidraw3"},
      {"sim", Kind::kSim, "", 0, "", "the simulated processor"},
      {"tcp://192.168.4.1:8899", Kind::kTcp, "192.168.4.1", 8899, "", "192.168.4.1:8899"},
      {"tcp://room-3.local:1", Kind::kTcp, "room-3.local", 1, "", "room-3.local:1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const ConnectTarget target = ParseConnectUrl(c.url);
    EXPECT_EQ(target.kind, c.kind);
    EXPECT_EQ(target.host, c.host);
    EXPECT_EQ(target.port, c.port);
    EXPECT_EQ(target.usbPath, c.usbPath);
    EXPECT_EQ(target.describe(), c.described);
  }
}

TEST(ConnectUrlTest, AnythingElseIsAUsageError) {
  for (const char* url : {"usb:", "USB", "tcp://host", "tcp://:80", "tcp://host:0",
                          "tcp://host:65536", "http://host:80", ""}) {
    SCOPED_TRACE(url);
    EXPECT_THROW(ParseConnectUrl(url), UsageError);
  }
}

}  // namespace
}  // namespace kdsp::tools
