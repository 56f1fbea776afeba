// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's USB device behind a USB/IP stream.
#include "usbip_device.h"

#include <utility>

namespace kdsp::usbmodel {

Urb UrbFor(const UsbipCommand& submit) {
  Urb urb;
  urb.seqnum = submit.seqnum;
  urb.endpoint = static_cast<std::uint8_t>(submit.ep & 0x0F);
  urb.in = submit.direction == kUsbipDirIn;
  urb.length = static_cast<std::uint32_t>(submit.transferBufferLength);
  urb.setup = submit.setup;
  urb.data = submit.data;
  urb.numberOfPackets = submit.numberOfPackets;
  return urb;
}

void AppendRetSubmit(const UrbAnswer& answer, std::vector<std::uint8_t>& out) {
  UsbipRetSubmit ret;
  ret.seqnum = answer.seqnum;
  ret.status = answer.status;
  ret.actualLength = static_cast<std::int32_t>(answer.actualLength);
  ret.numberOfPackets = answer.numberOfPackets;
  const auto header = EncodeRetSubmit(ret);
  out.insert(out.end(), header.begin(), header.end());
  // The host controller reads actual_length bytes behind the header of an in transfer only;
  // an out answer has no data.
  out.insert(out.end(), answer.data.begin(), answer.data.end());
}

UsbipDevice::UsbipDevice(UsbDeviceIdentity identity, bool outEndpoint)
    : function_(std::move(identity), outEndpoint) {}

bool UsbipDevice::receive(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& out) {
  reader_.append(bytes);
  while (std::optional<UsbipCommand> command = reader_.next()) {
    if (command->command == kUsbipCmdUnlink) {
      const auto ret = EncodeRetUnlink(command->seqnum, function_.unlink(command->unlinkSeqnum));
      out.insert(out.end(), ret.begin(), ret.end());
      continue;
    }
    if (const std::optional<UrbAnswer> answer = function_.submit(UrbFor(*command)))
      AppendRetSubmit(*answer, out);
  }
  return !reader_.broken();
}

void UsbipDevice::sendInputReport(std::span<const std::uint8_t> report,
                                  std::vector<std::uint8_t>& out) {
  if (const std::optional<UrbAnswer> answer = function_.sendInputReport(report))
    AppendRetSubmit(*answer, out);
}

}  // namespace kdsp::usbmodel
