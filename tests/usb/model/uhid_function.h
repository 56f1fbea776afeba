// SPDX-License-Identifier: GPL-3.0-or-later
// The processor as a uhid device, on plain state: the events this program writes to /dev/uhid
// (create, input report, destroy) and its answers to the events the kernel's uhid driver sends
// (start, open, output report, GET_REPORT, SET_REPORT). No I/O: the transport reads and writes
// the events.
//
// uhid hands reports the way the HID core holds them: an output report written to hidraw comes
// with its report ID byte first (0 here, as the descriptor declares no IDs), so 65 bytes; so do
// SET_REPORT data and the GET_REPORT answer. An input report goes in without it, 64 bytes.
#pragma once

#include <linux/uhid.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "usb_hid_descriptors.h"

namespace kdsp::usbmodel {

// UHID_CREATE2 for a USB HID device named name (cut at 127 bytes), with the identity's vendor,
// product, bcdDevice as version, serial number as unique id, and the processor's report
// descriptor.
uhid_event CreateEvent(const UsbDeviceIdentity& identity, std::string_view name);
// UHID_INPUT2 carrying one input report (at most UHID_DATA_MAX bytes are taken).
uhid_event InputEvent(std::span<const std::uint8_t> report);
uhid_event DestroyEvent();

// The report data behind the report ID byte: a report of kReportBytes + 1 bytes starts with its
// ID; a shorter one (sent by a kernel driver rather than through hidraw) has none.
std::span<const std::uint8_t> ReportDataWithoutId(std::span<const std::uint8_t> report);

class UhidFunction {
 public:
  // Answers one event read from /dev/uhid; the event to write back, when it needs one.
  std::optional<uhid_event> handle(const uhid_event& event);

  // UHID_START came: the HID core has the device.
  bool started() const { return started_; }
  // Someone has the device open (hidraw or another reader of its reports).
  bool opened() const { return opened_; }

  // Every output report (UHID_OUTPUT, or SET_REPORT of the output report), without report ID.
  std::function<void(std::span<const std::uint8_t> data)> onOutputReport;
  std::function<void()> onStarted;

 private:
  uhid_event answerGetReport(const uhid_get_report_req& request) const;
  uhid_event answerSetReport(const uhid_set_report_req& request);

  bool started_ = false;
  bool opened_ = false;
};

}  // namespace kdsp::usbmodel
