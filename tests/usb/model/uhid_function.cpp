// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's uhid events.
#include "uhid_function.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kdsp::usbmodel {
namespace {

constexpr std::uint16_t kBusUsb = 0x03;  // BUS_USB of <linux/input.h>

void CopyText(std::uint8_t* into, std::size_t room, std::string_view text) {
  const std::size_t n = std::min(text.size(), room - 1);  // the last byte stays 0
  std::memcpy(into, text.data(), n);
}

}  // namespace

uhid_event CreateEvent(const UsbDeviceIdentity& identity, std::string_view name) {
  uhid_event event{};
  event.type = UHID_CREATE2;
  uhid_create2_req& create = event.u.create2;
  CopyText(create.name, sizeof create.name, name);
  CopyText(create.uniq, sizeof create.uniq, identity.serialNumber);
  create.bus = kBusUsb;
  create.vendor = identity.vendorId;
  create.product = identity.productId;
  create.version = identity.bcdDevice;
  create.country = 0;
  create.rd_size = static_cast<std::uint16_t>(kReportDescriptor.size());
  static_assert(kReportDescriptor.size() <= sizeof create.rd_data);
  std::copy(kReportDescriptor.begin(), kReportDescriptor.end(), create.rd_data);
  return event;
}

uhid_event InputEvent(std::span<const std::uint8_t> report) {
  uhid_event event{};
  event.type = UHID_INPUT2;
  const std::size_t n = std::min<std::size_t>(report.size(), UHID_DATA_MAX);
  event.u.input2.size = static_cast<std::uint16_t>(n);
  std::copy_n(report.begin(), n, event.u.input2.data);
  return event;
}

uhid_event DestroyEvent() {
  uhid_event event{};
  event.type = UHID_DESTROY;
  return event;
}

std::span<const std::uint8_t> ReportDataWithoutId(std::span<const std::uint8_t> report) {
  return report.size() == kReportBytes + 1 ? report.subspan(1) : report;
}

std::optional<uhid_event> UhidFunction::handle(const uhid_event& event) {
  switch (event.type) {
    case UHID_START:
      if (!started_) {
        started_ = true;
        if (onStarted) onStarted();
      }
      return std::nullopt;
    case UHID_STOP:
      started_ = false;
      opened_ = false;
      return std::nullopt;
    case UHID_OPEN:
      opened_ = true;
      return std::nullopt;
    case UHID_CLOSE:
      opened_ = false;
      return std::nullopt;
    case UHID_OUTPUT: {
      const uhid_output_req& output = event.u.output;
      if (output.rtype != UHID_OUTPUT_REPORT) return std::nullopt;
      const std::size_t n = std::min<std::size_t>(output.size, UHID_DATA_MAX);
      if (onOutputReport) onOutputReport(ReportDataWithoutId({output.data, n}));
      return std::nullopt;
    }
    case UHID_GET_REPORT:
      return answerGetReport(event.u.get_report);
    case UHID_SET_REPORT:
      return answerSetReport(event.u.set_report);
    default:
      return std::nullopt;
  }
}

uhid_event UhidFunction::answerGetReport(const uhid_get_report_req& request) const {
  uhid_event answer{};
  answer.type = UHID_GET_REPORT_REPLY;
  uhid_get_report_reply_req& reply = answer.u.get_report_reply;
  reply.id = request.id;
  // As on the USB control pipe: the input report read on request is an empty one (length byte
  // 0), so no record is taken out of turn; there is nothing else to read.
  if (request.rtype != UHID_INPUT_REPORT || request.rnum != 0) {
    reply.err = EIO;
    return answer;
  }
  reply.err = 0;
  reply.size = static_cast<std::uint16_t>(kReportBytes + 1);  // the ID byte 0, then zeros
  return answer;
}

uhid_event UhidFunction::answerSetReport(const uhid_set_report_req& request) {
  uhid_event answer{};
  answer.type = UHID_SET_REPORT_REPLY;
  uhid_set_report_reply_req& reply = answer.u.set_report_reply;
  reply.id = request.id;
  if (request.rtype != UHID_OUTPUT_REPORT || request.rnum != 0) {
    reply.err = EIO;
    return answer;
  }
  const std::size_t n = std::min<std::size_t>(request.size, UHID_DATA_MAX);
  if (onOutputReport) onOutputReport(ReportDataWithoutId({request.data, n}));
  reply.err = 0;
  return answer;
}

}  // namespace kdsp::usbmodel
