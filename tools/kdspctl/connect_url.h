// SPDX-License-Identifier: GPL-3.0-or-later
// The processor a --connect URL or a hosts file's line names: USB (the one found or one by its
// hidraw path), the simulated processor inside kdspctl, or a WiFi module's HOST:PORT. Plain
// text reading, apart from the connection it leads to.
#pragma once

#include <string>
#include <string_view>

namespace kdsp::tools {

struct ConnectTarget {
  enum class Kind { kUsb, kTcp, kSim };
  Kind kind = Kind::kUsb;
  std::string host;
  int port = 0;
  std::string usbPath;  // kUsb: the processor at this hidraw path; empty: the one found
  std::string describe() const;
};

// "usb", "usb:PATH", "sim" or "tcp://HOST:PORT" with the port 1..65535; throws UsageError naming
// the URL for anything else.
ConnectTarget ParseConnectUrl(std::string_view url);

}  // namespace kdsp::tools
