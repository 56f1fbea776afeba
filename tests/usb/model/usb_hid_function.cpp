// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's USB device answering the host's URBs.
#include "usb_hid_function.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace kdsp::usbmodel {
namespace {

// bmRequestType: direction, type (standard 0, class 1) and recipient.
constexpr std::uint8_t kStandardDeviceIn = 0x80;
constexpr std::uint8_t kStandardDeviceOut = 0x00;
constexpr std::uint8_t kStandardInterfaceIn = 0x81;
constexpr std::uint8_t kStandardInterfaceOut = 0x01;
constexpr std::uint8_t kStandardEndpointIn = 0x82;
constexpr std::uint8_t kStandardEndpointOut = 0x02;
constexpr std::uint8_t kClassInterfaceIn = 0xA1;
constexpr std::uint8_t kClassInterfaceOut = 0x21;

constexpr std::uint16_t kEndpointHalt = 0;

using Reply = std::optional<std::vector<std::uint8_t>>;

Reply Taken() {
  return std::vector<std::uint8_t>{};
}

}  // namespace

SetupPacket SetupPacket::From(const std::array<std::uint8_t, 8>& b) {
  return {b[0], b[1], static_cast<std::uint16_t>(b[2] | b[3] << 8),
          static_cast<std::uint16_t>(b[4] | b[5] << 8),
          static_cast<std::uint16_t>(b[6] | b[7] << 8)};
}

std::array<std::uint8_t, 8> SetupPacket::bytes() const {
  return {requestType,
          request,
          static_cast<std::uint8_t>(value),
          static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(index),
          static_cast<std::uint8_t>(index >> 8),
          static_cast<std::uint8_t>(length),
          static_cast<std::uint8_t>(length >> 8)};
}

UsbHidFunction::UsbHidFunction(UsbDeviceIdentity identity, bool outEndpoint)
    : identity_(std::move(identity)), outEndpoint_(outEndpoint) {}

std::optional<UrbAnswer> UsbHidFunction::submit(Urb urb) {
  if (urb.endpoint == 0) return control(urb);
  UrbAnswer answer{urb.seqnum, 0, 0, {}, urb.numberOfPackets};
  if (configured() && urb.in && urb.endpoint == (kInterruptInEndpoint & 0x0F)) {
    if (waiting_.empty()) {
      heldIn_.push_back(std::move(urb));
      return std::nullopt;
    }
    std::vector<std::uint8_t> report = std::move(waiting_.front());
    waiting_.pop_front();
    report.resize(std::min<std::size_t>(report.size(), urb.length));
    answer.actualLength = static_cast<std::uint32_t>(report.size());
    answer.data = std::move(report);
    return answer;
  }
  if (configured() && !urb.in && outEndpoint_ && urb.endpoint == kInterruptOutEndpoint) {
    answer.actualLength = static_cast<std::uint32_t>(urb.data.size());
    if (onOutputReport) onOutputReport(urb.data);
    return answer;
  }
  // No such endpoint in the configuration the host chose.
  answer.status = -EPIPE;
  return answer;
}

std::optional<UrbAnswer> UsbHidFunction::sendInputReport(std::span<const std::uint8_t> report) {
  if (heldIn_.empty()) {
    waiting_.emplace_back(report.begin(), report.end());
    return std::nullopt;
  }
  const Urb urb = std::move(heldIn_.front());
  heldIn_.pop_front();
  const std::size_t n = std::min<std::size_t>(report.size(), urb.length);
  return UrbAnswer{urb.seqnum, 0, static_cast<std::uint32_t>(n),
                   std::vector<std::uint8_t>(report.begin(), report.begin() + n),
                   urb.numberOfPackets};
}

std::int32_t UsbHidFunction::unlink(std::uint32_t seqnum) {
  const auto held = std::find_if(heldIn_.begin(), heldIn_.end(),
                                 [&](const Urb& u) { return u.seqnum == seqnum; });
  if (held == heldIn_.end()) return 0;
  heldIn_.erase(held);
  return -ECONNRESET;
}

UrbAnswer UsbHidFunction::control(const Urb& urb) {
  const SetupPacket s = SetupPacket::From(urb.setup);
  UrbAnswer answer{urb.seqnum, -EPIPE, 0, {}, urb.numberOfPackets};
  // The data stage goes the way the setup packet says; a transfer the other way is refused.
  if (s.in() != urb.in) return answer;
  Reply reply;
  switch (s.requestType) {
    case kStandardDeviceIn:
    case kStandardDeviceOut:
      reply = standardDevice(s);
      break;
    case kStandardInterfaceIn:
    case kStandardInterfaceOut:
      reply = standardInterface(s);
      break;
    case kStandardEndpointIn:
    case kStandardEndpointOut:
      reply = standardEndpoint(s);
      break;
    case kClassInterfaceIn:
    case kClassInterfaceOut:
      reply = hidClass(s, urb);
      break;
    default:
      break;
  }
  if (!reply) return answer;
  answer.status = 0;
  if (urb.in) {
    const std::size_t n = std::min<std::size_t>({reply->size(), s.length, urb.length});
    reply->resize(n);
    answer.actualLength = static_cast<std::uint32_t>(n);
    answer.data = std::move(*reply);
  } else {
    answer.actualLength = static_cast<std::uint32_t>(urb.data.size());
  }
  return answer;
}

Reply UsbHidFunction::standardDevice(const SetupPacket& s) {
  const std::uint8_t type = static_cast<std::uint8_t>(s.value >> 8);
  const std::uint8_t index = static_cast<std::uint8_t>(s.value);
  switch (s.request) {
    case request::kGetDescriptor:
      if (!s.in()) return std::nullopt;
      if (type == kDeviceDescriptorType && index == 0) {
        const auto d = DeviceDescriptor(identity_);
        return std::vector<std::uint8_t>(d.begin(), d.end());
      }
      if (type == kConfigurationDescriptorType && index == 0)
        return ConfigurationDescriptor(outEndpoint_);
      if (type == kStringDescriptorType) return StringDescriptor(identity_, index);
      // A full-speed-only device has no device qualifier or other-speed configuration.
      return std::nullopt;
    case request::kGetStatus:
      // Bus powered, no remote wakeup.
      return s.in() ? Reply(std::vector<std::uint8_t>{0, 0}) : std::nullopt;
    case request::kGetConfiguration:
      return s.in() ? Reply(std::vector<std::uint8_t>{configuration_}) : std::nullopt;
    case request::kSetAddress:
      // The host controller takes this request itself; a host that passes it on is answered.
      return s.in() ? std::nullopt : Taken();
    case request::kSetConfiguration: {
      if (s.in() || s.value > kConfigurationValue) return std::nullopt;
      const bool chosen = !configured() && s.value == kConfigurationValue;
      configuration_ = static_cast<std::uint8_t>(s.value);
      if (chosen && onConfigured) onConfigured();
      return Taken();
    }
    default:
      return std::nullopt;
  }
}

Reply UsbHidFunction::standardInterface(const SetupPacket& s) {
  if (!configured() || s.index != kHidInterfaceNumber) return std::nullopt;
  switch (s.request) {
    case request::kGetDescriptor:
      if (!s.in()) return std::nullopt;
      if (s.value == kReportDescriptorType << 8)
        return std::vector<std::uint8_t>(kReportDescriptor.begin(), kReportDescriptor.end());
      if (s.value == kHidDescriptorType << 8) {
        const auto d = HidDescriptor();
        return std::vector<std::uint8_t>(d.begin(), d.end());
      }
      return std::nullopt;
    case request::kGetStatus:
      return s.in() ? Reply(std::vector<std::uint8_t>{0, 0}) : std::nullopt;
    case request::kGetInterface:
      return s.in() ? Reply(std::vector<std::uint8_t>{0}) : std::nullopt;
    case request::kSetInterface:
      // The one alternate setting.
      return !s.in() && s.value == 0 ? Taken() : std::nullopt;
    default:
      return std::nullopt;
  }
}

Reply UsbHidFunction::standardEndpoint(const SetupPacket& s) {
  if (!hasEndpoint(s.index)) return std::nullopt;
  switch (s.request) {
    case request::kGetStatus:
      // Never halted: the device stalls requests, not endpoints.
      return s.in() ? Reply(std::vector<std::uint8_t>{0, 0}) : std::nullopt;
    case request::kClearFeature:
      return !s.in() && s.value == kEndpointHalt ? Taken() : std::nullopt;
    default:
      return std::nullopt;
  }
}

Reply UsbHidFunction::hidClass(const SetupPacket& s, const Urb& urb) {
  if (!configured() || s.index != kHidInterfaceNumber) return std::nullopt;
  const std::uint8_t reportType = static_cast<std::uint8_t>(s.value >> 8);
  const std::uint8_t reportId = static_cast<std::uint8_t>(s.value);
  switch (s.request) {
    case request::kHidGetReport:
      // The records travel on the interrupt endpoint only, so a polled read never takes one out
      // of turn: the input report read here is an empty one (length byte 0).
      if (!s.in() || reportType != kInputReportType || reportId != 0) return std::nullopt;
      return std::vector<std::uint8_t>(kReportBytes, 0);
    case request::kHidSetReport:
      if (s.in() || reportType != kOutputReportType || reportId != 0) return std::nullopt;
      if (onOutputReport) onOutputReport(urb.data);
      return Taken();
    case request::kHidGetIdle:
      return s.in() ? Reply(std::vector<std::uint8_t>{idleRate_}) : std::nullopt;
    case request::kHidSetIdle:
      if (s.in()) return std::nullopt;
      idleRate_ = static_cast<std::uint8_t>(s.value >> 8);
      return Taken();
    case request::kHidGetProtocol:
      return s.in() ? Reply(std::vector<std::uint8_t>{protocol_}) : std::nullopt;
    case request::kHidSetProtocol:
      if (s.in() || s.value > 1) return std::nullopt;
      protocol_ = static_cast<std::uint8_t>(s.value);
      return Taken();
    default:
      return std::nullopt;
  }
}

bool UsbHidFunction::hasEndpoint(std::uint16_t address) const {
  if (address == 0x00 || address == 0x80) return true;
  if (!configured()) return false;
  return address == kInterruptInEndpoint || (outEndpoint_ && address == kInterruptOutEndpoint);
}

}  // namespace kdsp::usbmodel
