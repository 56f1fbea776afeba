// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the USB/IP headers: each field at its offset, big-endian, the setup packet as on the
// bus, byte for byte.
#include "usbip_wire.h"

#include <gtest/gtest.h>

#include "usb_test_support.h"

namespace kdsp::usbmodel {
namespace {

using testing::Hex;
using testing::ToHex;

std::span<const std::uint8_t, kUsbipHeaderSize> Header(const std::vector<std::uint8_t>& bytes) {
  return std::span<const std::uint8_t, kUsbipHeaderSize>(bytes.data(), kUsbipHeaderSize);
}

TEST(UsbipWireTest, InterruptInSubmitAsTheHostControllerWritesItDecodesFieldByField) {
  const auto bytes =
      Hex("00000001 00000d05 0001000f 00000001 00000001 00000200 00000040 ffffffff 00000000 "
          "00000004 00000000 00000000");
  const auto command = DecodeCommandHeader(Header(bytes));
  ASSERT_TRUE(command);
  EXPECT_EQ(command->command, kUsbipCmdSubmit);
  EXPECT_EQ(command->seqnum, 0xd05u);
  EXPECT_EQ(command->devid, 0x0001000fu);
  EXPECT_EQ(command->direction, kUsbipDirIn);
  EXPECT_EQ(command->ep, 1u);
  EXPECT_EQ(command->transferFlags, 0x200u);
  EXPECT_EQ(command->transferBufferLength, 64);
  EXPECT_EQ(command->startFrame, -1);
  EXPECT_EQ(command->numberOfPackets, 0);
  EXPECT_EQ(command->interval, 4);
  EXPECT_EQ(command->setup, (std::array<std::uint8_t, 8>{}));
}

TEST(UsbipWireTest, ControlSubmitCarriesTheSetupPacketUnswappedAtOffset0x28) {
  UsbipCommand c;
  c.command = kUsbipCmdSubmit;
  c.seqnum = 1;
  c.devid = 0x00010002;
  c.direction = kUsbipDirIn;
  c.ep = 0;
  c.transferBufferLength = 18;
  // GET_DESCRIPTOR(device), wLength 18: little-endian fields as on the bus.
  c.setup = {0x80, 0x06, 0x00, 0x01, 0x00, 0x00, 0x12, 0x00};
  EXPECT_EQ(ToHex(EncodeCommandHeader(c)),
            ToHex(Hex("00000001 00000001 00010002 00000001 00000000 00000000 00000012 00000000 "
                      "00000000 00000000 80060001 00001200")));
  const auto encoded = EncodeCommandHeader(c);
  const auto decoded =
      DecodeCommandHeader(std::span<const std::uint8_t, kUsbipHeaderSize>(encoded));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, c);
}

TEST(UsbipWireTest, RetSubmitPutsStatusLengthAndCountsBigEndianWithZeroAddressing) {
  struct Case {
    const char* name;
    UsbipRetSubmit ret;
    const char* hex;
  };
  const Case cases[] = {
      {"in report of 64 bytes",
       {0xd05, 0, 64, -1, 0, 0},
       "00000003 00000d05 00000000 00000000 00000000 00000000 00000040 ffffffff 00000000 "
       "00000000 00000000 00000000"},
      {"stall",
       {0x12345678, -32, 0, 0, 0, 0},
       "00000003 12345678 00000000 00000000 00000000 ffffffe0 00000000 00000000 00000000 "
       "00000000 00000000 00000000"},
      {"counts of a non-isochronous transfer as some hosts write them",
       {7, 0, 9, 0, -1, 0},
       "00000003 00000007 00000000 00000000 00000000 00000000 00000009 00000000 ffffffff "
       "00000000 00000000 00000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ToHex(EncodeRetSubmit(c.ret)), ToHex(Hex(c.hex)));
  }
}

TEST(UsbipWireTest, RetUnlinkCarriesItsOwnSeqnumAndTheStatus) {
  EXPECT_EQ(ToHex(EncodeRetUnlink(0x0d06, -104)),
            ToHex(Hex("00000004 00000d06 00000000 00000000 00000000 ffffff98 00000000 00000000 "
                      "00000000 00000000 00000000 00000000")));
  EXPECT_EQ(ToHex(EncodeRetUnlink(9, 0)),
            ToHex(Hex("00000004 00000009 00000000 00000000 00000000 00000000 00000000 00000000 "
                      "00000000 00000000 00000000 00000000")));
}

TEST(UsbipWireTest, UnlinkNamesTheSubmitToTakeBack) {
  const auto bytes =
      Hex("00000002 00000d07 0001000f 00000000 00000000 00000d05 00000000 00000000 00000000 "
          "00000000 00000000 00000000");
  const auto command = DecodeCommandHeader(Header(bytes));
  ASSERT_TRUE(command);
  EXPECT_EQ(command->command, kUsbipCmdUnlink);
  EXPECT_EQ(command->seqnum, 0xd07u);
  EXPECT_EQ(command->unlinkSeqnum, 0xd05u);
  EXPECT_EQ(ToHex(EncodeCommandHeader(*command)), ToHex(bytes));
}

TEST(UsbipWireTest, HeadersOfTheDeviceSideOrUnknownCommandsAreNoCommands) {
  for (const char* command : {"00000000", "00000003", "00000004", "00008003", "01000000"}) {
    auto bytes = Hex(command);
    bytes.resize(kUsbipHeaderSize, 0);
    EXPECT_FALSE(DecodeCommandHeader(Header(bytes))) << command;
  }
}

}  // namespace
}  // namespace kdsp::usbmodel
