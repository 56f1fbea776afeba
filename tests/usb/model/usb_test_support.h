// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers of the device model's tests: bytes written as hex text, and URBs and USB/IP commands
// as the kernel's host controller makes them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "usb_hid_function.h"
#include "usbip_wire.h"

namespace kdsp::usbmodel::testing {

// "12 01 00 02" or "12010002": the bytes; spaces and line breaks are ignored.
inline std::vector<std::uint8_t> Hex(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  int high = -1;
  for (const char c : text) {
    int v;
    if (c >= '0' && c <= '9') {
      v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      v = c - 'A' + 10;
    } else {
      continue;
    }
    if (high < 0) {
      high = v;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high << 4 | v));
      high = -1;
    }
  }
  return bytes;
}

inline std::string ToHex(std::span<const std::uint8_t> bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text += ' ';
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

// The 64 bytes of an output report as the program's HID layer hands them to the bus: the
// count of the two leading bytes and the text, the text, zeros.
inline std::vector<std::uint8_t> OutputData(std::string_view text) {
  std::vector<std::uint8_t> data(64, 0);
  data[0] = static_cast<std::uint8_t>(2 + text.size());
  for (std::size_t i = 0; i < text.size(); ++i) data[1 + i] = static_cast<std::uint8_t>(text[i]);
  return data;
}

// A control transfer on endpoint 0.
inline Urb Control(std::uint32_t seqnum, std::string_view setupHex, std::uint32_t length,
                   std::vector<std::uint8_t> data = {}) {
  Urb urb;
  urb.seqnum = seqnum;
  urb.endpoint = 0;
  const std::vector<std::uint8_t> setup = Hex(setupHex);
  for (std::size_t i = 0; i < 8 && i < setup.size(); ++i) urb.setup[i] = setup[i];
  urb.in = (urb.setup[0] & 0x80) != 0;
  urb.length = length;
  urb.data = std::move(data);
  return urb;
}

// An interrupt transfer on endpoint 1, in or out.
inline Urb Interrupt(std::uint32_t seqnum, bool in, std::vector<std::uint8_t> data = {}) {
  Urb urb;
  urb.seqnum = seqnum;
  urb.endpoint = 1;
  urb.in = in;
  urb.length = in ? 64 : static_cast<std::uint32_t>(data.size());
  urb.data = std::move(data);
  return urb;
}

// The CMD_SUBMIT of a URB as vhci-hcd writes it, header and out data.
inline std::vector<std::uint8_t> SubmitBytes(const Urb& urb, std::uint32_t devid = 0x00010002) {
  UsbipCommand c;
  c.command = kUsbipCmdSubmit;
  c.seqnum = urb.seqnum;
  c.devid = devid;
  c.direction = urb.in ? kUsbipDirIn : kUsbipDirOut;
  c.ep = urb.endpoint;
  c.transferBufferLength = static_cast<std::int32_t>(urb.length);
  c.interval = urb.endpoint == 0 ? 0 : 1;
  c.setup = urb.setup;
  const auto header = EncodeCommandHeader(c);
  std::vector<std::uint8_t> bytes(header.size() + (urb.in ? 0 : urb.data.size()));
  const auto data = std::copy(header.begin(), header.end(), bytes.begin());
  if (!urb.in) std::copy(urb.data.begin(), urb.data.end(), data);
  return bytes;
}

inline std::vector<std::uint8_t> UnlinkBytes(std::uint32_t seqnum, std::uint32_t unlinkSeqnum) {
  UsbipCommand c;
  c.command = kUsbipCmdUnlink;
  c.seqnum = seqnum;
  c.devid = 0x00010002;
  c.unlinkSeqnum = unlinkSeqnum;
  const auto header = EncodeCommandHeader(c);
  return {header.begin(), header.end()};
}

}  // namespace kdsp::usbmodel::testing
