// SPDX-License-Identifier: GPL-3.0-or-later
// USB/IP headers and the framing of the host controller's byte stream.
#include "usbip_wire.h"

#include <algorithm>

namespace kdsp::usbmodel {
namespace {

using Header = std::array<std::uint8_t, kUsbipHeaderSize>;

void Put32(Header& header, std::size_t offset, std::uint32_t value) {
  header[offset] = static_cast<std::uint8_t>(value >> 24);
  header[offset + 1] = static_cast<std::uint8_t>(value >> 16);
  header[offset + 2] = static_cast<std::uint8_t>(value >> 8);
  header[offset + 3] = static_cast<std::uint8_t>(value);
}

std::uint32_t Get32(std::span<const std::uint8_t, kUsbipHeaderSize> header, std::size_t offset) {
  return static_cast<std::uint32_t>(header[offset]) << 24 |
         static_cast<std::uint32_t>(header[offset + 1]) << 16 |
         static_cast<std::uint32_t>(header[offset + 2]) << 8 |
         static_cast<std::uint32_t>(header[offset + 3]);
}

void PutBasic(Header& header, std::uint32_t command, std::uint32_t seqnum, std::uint32_t devid,
              std::uint32_t direction, std::uint32_t ep) {
  Put32(header, 0x00, command);
  Put32(header, 0x04, seqnum);
  Put32(header, 0x08, devid);
  Put32(header, 0x0C, direction);
  Put32(header, 0x10, ep);
}

}  // namespace

Header EncodeCommandHeader(const UsbipCommand& command) {
  Header header{};
  PutBasic(header, command.command, command.seqnum, command.devid, command.direction, command.ep);
  if (command.command == kUsbipCmdUnlink) {
    Put32(header, 0x14, command.unlinkSeqnum);
    return header;
  }
  Put32(header, 0x14, command.transferFlags);
  Put32(header, 0x18, static_cast<std::uint32_t>(command.transferBufferLength));
  Put32(header, 0x1C, static_cast<std::uint32_t>(command.startFrame));
  Put32(header, 0x20, static_cast<std::uint32_t>(command.numberOfPackets));
  Put32(header, 0x24, static_cast<std::uint32_t>(command.interval));
  std::copy(command.setup.begin(), command.setup.end(), header.begin() + 0x28);
  return header;
}

Header EncodeRetSubmit(const UsbipRetSubmit& ret) {
  Header header{};
  PutBasic(header, kUsbipRetSubmit, ret.seqnum, 0, 0, 0);
  Put32(header, 0x14, static_cast<std::uint32_t>(ret.status));
  Put32(header, 0x18, static_cast<std::uint32_t>(ret.actualLength));
  Put32(header, 0x1C, static_cast<std::uint32_t>(ret.startFrame));
  Put32(header, 0x20, static_cast<std::uint32_t>(ret.numberOfPackets));
  Put32(header, 0x24, static_cast<std::uint32_t>(ret.errorCount));
  return header;
}

Header EncodeRetUnlink(std::uint32_t seqnum, std::int32_t status) {
  Header header{};
  PutBasic(header, kUsbipRetUnlink, seqnum, 0, 0, 0);
  Put32(header, 0x14, static_cast<std::uint32_t>(status));
  return header;
}

std::optional<UsbipCommand> DecodeCommandHeader(
    std::span<const std::uint8_t, kUsbipHeaderSize> header) {
  UsbipCommand command;
  command.command = Get32(header, 0x00);
  command.seqnum = Get32(header, 0x04);
  command.devid = Get32(header, 0x08);
  command.direction = Get32(header, 0x0C);
  command.ep = Get32(header, 0x10);
  if (command.command == kUsbipCmdUnlink) {
    command.unlinkSeqnum = Get32(header, 0x14);
    return command;
  }
  if (command.command != kUsbipCmdSubmit) return std::nullopt;
  command.transferFlags = Get32(header, 0x14);
  command.transferBufferLength = static_cast<std::int32_t>(Get32(header, 0x18));
  command.startFrame = static_cast<std::int32_t>(Get32(header, 0x1C));
  command.numberOfPackets = static_cast<std::int32_t>(Get32(header, 0x20));
  command.interval = static_cast<std::int32_t>(Get32(header, 0x24));
  std::copy_n(header.begin() + 0x28, 8, command.setup.begin());
  return command;
}

void UsbipCommandReader::append(std::span<const std::uint8_t> bytes) {
  // Consumed bytes are dropped before the buffer grows, so it holds at most one command more
  // than the socket gave at once.
  if (start_ > 0) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
  }
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<UsbipCommand> UsbipCommandReader::next() {
  if (broken() || buffered() < kUsbipHeaderSize) return std::nullopt;
  const std::span<const std::uint8_t, kUsbipHeaderSize> header(buffer_.data() + start_,
                                                               kUsbipHeaderSize);
  std::optional<UsbipCommand> command = DecodeCommandHeader(header);
  if (!command) {
    error_ = "unknown USB/IP command " + std::to_string(Get32(header, 0));
    return std::nullopt;
  }
  std::size_t dataLength = 0;
  std::size_t isoLength = 0;
  if (command->command == kUsbipCmdSubmit) {
    if (command->transferBufferLength < 0 || command->transferBufferLength > kUsbipMaxTransfer) {
      error_ = "bad transfer length " + std::to_string(command->transferBufferLength);
      return std::nullopt;
    }
    if (command->direction == kUsbipDirOut)
      dataLength = static_cast<std::size_t>(command->transferBufferLength);
    // Not isochronous: 0, or -1 as some hosts write it.
    const std::int32_t packets = command->numberOfPackets;
    if (packets > kUsbipMaxIsoPackets || packets < -1) {
      error_ = "bad packet count " + std::to_string(packets);
      return std::nullopt;
    }
    if (packets > 0) isoLength = static_cast<std::size_t>(packets) * kUsbipIsoDescriptorSize;
  }
  const std::size_t total = kUsbipHeaderSize + dataLength + isoLength;
  if (buffered() < total) return std::nullopt;
  const auto data = buffer_.begin() + static_cast<std::ptrdiff_t>(start_ + kUsbipHeaderSize);
  command->data.assign(data, data + static_cast<std::ptrdiff_t>(dataLength));
  start_ += total;
  return command;
}

}  // namespace kdsp::usbmodel
