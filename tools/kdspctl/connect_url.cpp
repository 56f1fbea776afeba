// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a connection URL.
#include "connect_url.h"

#include "cli_support.h"

namespace kdsp::tools {

std::string ConnectTarget::describe() const {
  switch (kind) {
    case Kind::kUsb:
      return usbPath.empty() ? "the processor on USB" : "the processor at " + usbPath;
    case Kind::kSim:
      return "the simulated processor";
    case Kind::kTcp:
      return host + ":" + std::to_string(port);
  }
  return {};
}

ConnectTarget ParseConnectUrl(std::string_view url) {
  if (url == "usb") return {};
  constexpr std::string_view kUsb = "usb:";
  if (url.starts_with(kUsb) && url.size() > kUsb.size()) {
    ConnectTarget target;
    target.usbPath = std::string(url.substr(kUsb.size()));
    return target;
  }
  if (url == "sim") return {ConnectTarget::Kind::kSim, {}, 0, {}};
  constexpr std::string_view kTcp = "tcp://";
  if (url.starts_with(kTcp)) {
    const std::string_view rest = url.substr(kTcp.size());
    const std::size_t colon = rest.rfind(':');
    if (colon != std::string_view::npos && colon > 0) {
      const int port = static_cast<int>(
          ParseNumber(rest.substr(colon + 1), 1, 65535, std::string(url) + ": port"));
      return {ConnectTarget::Kind::kTcp, std::string(rest.substr(0, colon)), port, {}};
    }
  }
  throw UsageError("--connect takes usb, usb:PATH, sim or tcp://HOST:PORT, not '" +
                   std::string(url) + "'");
}

}  // namespace kdsp::tools
