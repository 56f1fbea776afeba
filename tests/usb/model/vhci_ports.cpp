// SPDX-License-Identifier: GPL-3.0-or-later
// Reading vhci-hcd's port table and writing its attach line.
#include "vhci_ports.h"

#include <charconv>

namespace kdsp::usbmodel {
namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

bool Number(std::string_view text, unsigned base, std::uint32_t& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::vector<VhciPort> ParseVhciStatus(std::string_view text) {
  std::vector<VhciPort> ports;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == text.npos ? std::string_view() : text.substr(end + 1);
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() < 5 || (f[0] != "hs" && f[0] != "ss")) continue;
    VhciPort port;
    port.superSpeedHub = f[0] == "ss";
    std::uint32_t number = 0;
    std::uint32_t status = 0;
    // f[3] is the speed.
    if (!Number(f[1], 10, number) || !Number(f[2], 10, status) || !Number(f[4], 16, port.devid))
      continue;
    port.port = number;
    port.status = status;
    ports.push_back(port);
  }
  return ports;
}

std::vector<unsigned> FreeHighSpeedPorts(std::string_view statusText) {
  std::vector<unsigned> free;
  for (const VhciPort& p : ParseVhciStatus(statusText))
    if (!p.superSpeedHub && p.status == kVhciPortFree) free.push_back(p.port);
  return free;
}

bool PortHoldsDevice(std::string_view statusText, unsigned port, std::uint32_t devid) {
  for (const VhciPort& p : ParseVhciStatus(statusText))
    if (!p.superSpeedHub && p.port == port) return p.status == kVhciPortInUse && p.devid == devid;
  return false;
}

std::string AttachRequest(unsigned port, int sockfd, std::uint32_t devid, unsigned speed) {
  return std::to_string(port) + " " + std::to_string(sockfd) + " " + std::to_string(devid) + " " +
         std::to_string(speed);
}

std::uint32_t ChooseDevid(long processId, unsigned plugCount) {
  // Bus 1..0x7FFF and device 1..127, as a real bus numbers them.
  const auto bus = static_cast<std::uint32_t>(processId % 0x7FFF) + 1;
  const auto device = static_cast<std::uint32_t>(plugCount % 127) + 1;
  return bus << 16 | device;
}

}  // namespace kdsp::usbmodel
