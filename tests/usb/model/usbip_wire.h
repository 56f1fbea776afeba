// SPDX-License-Identifier: GPL-3.0-or-later
// USB/IP, the device's side: the headers the kernel's virtual host controller (vhci-hcd) sends
// over its stream socket, the answers it takes back, and the framing of that byte stream.
// No I/O: the transport feeds bytes in and writes the encoded answers out.
//
// Every header is 48 bytes; every field is a 32-bit big-endian number except the setup packet,
// which travels as it does on the bus (little-endian fields). The first 20 bytes are common:
//   0x00 command   0x04 seqnum   0x08 devid   0x0C direction (0 out, 1 in)   0x10 ep
// then, by command:
//   CMD_SUBMIT (1), host to device:
//     0x14 transfer_flags  0x18 transfer_buffer_length  0x1C start_frame
//     0x20 number_of_packets  0x24 interval  0x28 setup packet (8 bytes)
//     followed by transfer_buffer_length bytes of data when the direction is out, then, for an
//     isochronous transfer, number_of_packets descriptors of 16 bytes.
//   CMD_UNLINK (2), host to device:  0x14 seqnum of the submit to take back, zeros to 0x30.
//   RET_SUBMIT (3), device to host:
//     0x14 status (0, or a negative errno)  0x18 actual_length  0x1C start_frame
//     0x20 number_of_packets  0x24 error_count  zeros to 0x30
//     followed by actual_length bytes of data when the submit was an in transfer.
//   RET_UNLINK (4), device to host:  0x14 status (-ECONNRESET: taken back, 0: already answered).
// The device answers with devid, direction and ep all 0; the seqnum of an answer is the seqnum
// of the command it answers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kdsp::usbmodel {

inline constexpr std::size_t kUsbipHeaderSize = 48;

inline constexpr std::uint32_t kUsbipCmdSubmit = 1;
inline constexpr std::uint32_t kUsbipCmdUnlink = 2;
inline constexpr std::uint32_t kUsbipRetSubmit = 3;
inline constexpr std::uint32_t kUsbipRetUnlink = 4;

inline constexpr std::uint32_t kUsbipDirOut = 0;
inline constexpr std::uint32_t kUsbipDirIn = 1;

// A command from the host controller: a submitted URB or the unlink of one.
struct UsbipCommand {
  std::uint32_t command = 0;  // kUsbipCmdSubmit or kUsbipCmdUnlink
  std::uint32_t seqnum = 0;
  std::uint32_t devid = 0;
  std::uint32_t direction = 0;
  std::uint32_t ep = 0;
  // CMD_SUBMIT only.
  std::uint32_t transferFlags = 0;
  std::int32_t transferBufferLength = 0;
  std::int32_t startFrame = 0;
  std::int32_t numberOfPackets = 0;
  std::int32_t interval = 0;
  std::array<std::uint8_t, 8> setup{};
  // CMD_UNLINK only.
  std::uint32_t unlinkSeqnum = 0;
  // The data of an out transfer (transferBufferLength bytes); empty otherwise.
  std::vector<std::uint8_t> data;

  bool operator==(const UsbipCommand&) const = default;
};

// The answer to a CMD_SUBMIT.
struct UsbipRetSubmit {
  std::uint32_t seqnum = 0;
  std::int32_t status = 0;
  std::int32_t actualLength = 0;
  std::int32_t startFrame = 0;
  std::int32_t numberOfPackets = 0;
  std::int32_t errorCount = 0;
};

// The 48-byte header of a command (its data is not part of it).
std::array<std::uint8_t, kUsbipHeaderSize> EncodeCommandHeader(const UsbipCommand& command);
// A RET_SUBMIT header; the data of an in transfer goes right behind it.
std::array<std::uint8_t, kUsbipHeaderSize> EncodeRetSubmit(const UsbipRetSubmit& ret);
std::array<std::uint8_t, kUsbipHeaderSize> EncodeRetUnlink(std::uint32_t seqnum,
                                                           std::int32_t status);

// Reads a command header; nothing when the command field is neither CMD_SUBMIT nor CMD_UNLINK.
std::optional<UsbipCommand> DecodeCommandHeader(std::span<const std::uint8_t, kUsbipHeaderSize>);

// The bytes of an isochronous packet descriptor, which follow an isochronous submit.
inline constexpr std::size_t kUsbipIsoDescriptorSize = 16;
// Out data larger than this is taken for a broken stream rather than waited for.
inline constexpr std::int32_t kUsbipMaxTransfer = 1 << 20;
// More isochronous packets than this in one submit: a broken stream.
inline constexpr std::int32_t kUsbipMaxIsoPackets = 1024;

// Cuts the byte stream from the host controller into whole commands. Bytes come in as the
// socket gives them, in pieces of any size; a command comes out once its header and its data
// are all in. The isochronous packet descriptors of a submit are read and dropped: the device
// has no isochronous endpoint and refuses such a submit.
class UsbipCommandReader {
 public:
  void append(std::span<const std::uint8_t> bytes);
  // The next whole command, in stream order; nothing until one is complete or once broken.
  std::optional<UsbipCommand> next();
  // The stream held something no host controller sends (an unknown command, a negative or
  // huge length): nothing after it can be framed. error() says what.
  bool broken() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  // Bytes received but not yet part of a whole command.
  std::size_t buffered() const { return buffer_.size() - start_; }

 private:
  std::vector<std::uint8_t> buffer_;
  std::size_t start_ = 0;  // where the first unread byte is
  std::string error_;
};

}  // namespace kdsp::usbmodel
