// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's USB device as the host sees it, on plain state: the host submits URBs, the
// device answers each one now or holds it. Endpoint 0 answers the enumeration and the HID class
// requests; interrupt in endpoint 0x81 holds the URBs the host keeps submitting until an input
// report is ready, and answers them in order; interrupt out endpoint 0x01 (or SET_REPORT on
// endpoint 0, when the interface has no out endpoint) takes the output reports. No I/O: the
// transport turns commands into URBs and answers into its own wire form.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "usb_hid_descriptors.h"

namespace kdsp::usbmodel {

// The eight bytes of a control transfer's setup stage, fields little-endian as on the bus.
struct SetupPacket {
  std::uint8_t requestType = 0;
  std::uint8_t request = 0;
  std::uint16_t value = 0;
  std::uint16_t index = 0;
  std::uint16_t length = 0;

  static SetupPacket From(const std::array<std::uint8_t, 8>& bytes);
  std::array<std::uint8_t, 8> bytes() const;
  bool in() const { return (requestType & 0x80) != 0; }
};

// A transfer the host submitted.
struct Urb {
  std::uint32_t seqnum = 0;
  std::uint8_t endpoint = 0;            // the endpoint number, without the direction bit
  bool in = false;                      // the direction of the transfer
  std::uint32_t length = 0;             // room the host gave: the most an in transfer returns
  std::array<std::uint8_t, 8> setup{};  // endpoint 0 only
  std::vector<std::uint8_t> data;       // what an out transfer carries
  std::int32_t numberOfPackets = 0;     // handed back unchanged in the answer
};

// The device's answer to one URB.
struct UrbAnswer {
  std::uint32_t seqnum = 0;
  std::int32_t status = 0;         // 0, or -EPIPE for a stall
  std::uint32_t actualLength = 0;  // bytes moved in either direction
  std::vector<std::uint8_t> data;  // an in transfer's bytes (actualLength of them); else empty
  std::int32_t numberOfPackets = 0;

  bool operator==(const UrbAnswer&) const = default;
};

// Standard and HID class request codes.
namespace request {
inline constexpr std::uint8_t kGetStatus = 0x00;
inline constexpr std::uint8_t kClearFeature = 0x01;
inline constexpr std::uint8_t kSetAddress = 0x05;
inline constexpr std::uint8_t kGetDescriptor = 0x06;
inline constexpr std::uint8_t kGetConfiguration = 0x08;
inline constexpr std::uint8_t kSetConfiguration = 0x09;
inline constexpr std::uint8_t kGetInterface = 0x0A;
inline constexpr std::uint8_t kSetInterface = 0x0B;
inline constexpr std::uint8_t kHidGetReport = 0x01;
inline constexpr std::uint8_t kHidGetIdle = 0x02;
inline constexpr std::uint8_t kHidGetProtocol = 0x03;
inline constexpr std::uint8_t kHidSetReport = 0x09;
inline constexpr std::uint8_t kHidSetIdle = 0x0A;
inline constexpr std::uint8_t kHidSetProtocol = 0x0B;
}  // namespace request

// HID report types, the high byte of GET_REPORT's and SET_REPORT's wValue.
inline constexpr std::uint8_t kInputReportType = 1;
inline constexpr std::uint8_t kOutputReportType = 2;

class UsbHidFunction {
 public:
  UsbHidFunction(UsbDeviceIdentity identity, bool outEndpoint);

  // Answers a submitted URB, or holds it (an interrupt in URB while no input report is ready):
  // nothing comes back then, and the URB is answered later by sendInputReport.
  std::optional<UrbAnswer> submit(Urb urb);

  // An input report (kReportBytes, no report ID) is ready: it answers the oldest held in URB,
  // or waits for the next one the host submits.
  std::optional<UrbAnswer> sendInputReport(std::span<const std::uint8_t> report);

  // The host takes back a URB: -ECONNRESET when it was still held (it is dropped and will never
  // be answered), 0 when it had been answered already.
  std::int32_t unlink(std::uint32_t seqnum);

  bool configured() const { return configuration_ != 0; }
  std::size_t heldInUrbs() const { return heldIn_.size(); }
  std::size_t waitingReports() const { return waiting_.size(); }

  // Every output report the host sends (the interrupt out data or the SET_REPORT data), as
  // it came: normally kReportBytes without a report ID.
  std::function<void(std::span<const std::uint8_t> report)> onOutputReport;
  // SET_CONFIGURATION chose the configuration: the host has the device.
  std::function<void()> onConfigured;

 private:
  UrbAnswer control(const Urb& urb);
  // The in data of a control request, or nothing to stall it; out requests give an empty
  // vector when they are taken.
  std::optional<std::vector<std::uint8_t>> standardDevice(const SetupPacket& s);
  std::optional<std::vector<std::uint8_t>> standardInterface(const SetupPacket& s);
  std::optional<std::vector<std::uint8_t>> standardEndpoint(const SetupPacket& s);
  std::optional<std::vector<std::uint8_t>> hidClass(const SetupPacket& s, const Urb& urb);
  bool hasEndpoint(std::uint16_t address) const;

  const UsbDeviceIdentity identity_;
  const bool outEndpoint_;
  std::uint8_t configuration_ = 0;
  std::uint8_t idleRate_ = 0;
  std::uint8_t protocol_ = 1;                      // report protocol
  std::deque<Urb> heldIn_;                         // in submit order
  std::deque<std::vector<std::uint8_t>> waiting_;  // reports no URB has taken yet
};

}  // namespace kdsp::usbmodel
