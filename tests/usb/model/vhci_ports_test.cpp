// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of reading vhci-hcd's port table and of the attach line.
#include "vhci_ports.h"

#include <gtest/gtest.h>

namespace kdsp::usbmodel {
namespace {

// As the kernel prints it: two ports of each hub, one of each in use.
constexpr std::string_view kStatus =
    "hub port sta spd dev      sockfd local_busid\n"
    "hs  0000 006 002 00010002 000003 3-1\n"
    "hs  0001 004 000 00000000 000000 0-0\n"
    "hs  0002 005 000 00000000 000000 0-0\n"
    "hs  0003 004 000 00000000 000000 0-0\n"
    "ss  0004 004 000 00000000 000000 0-0\n"
    "ss  0005 006 005 00020003 000009 4-1\n";

TEST(VhciPortsTest, StatusLinesAreReadPortByPort) {
  const std::vector<VhciPort> ports = ParseVhciStatus(kStatus);
  const std::vector<VhciPort> expected = {
      {false, 0, 6, 0x00010002}, {false, 1, 4, 0}, {false, 2, 5, 0},
      {false, 3, 4, 0},          {true, 4, 4, 0},  {true, 5, 6, 0x00020003},
  };
  EXPECT_EQ(ports, expected);
}

TEST(VhciPortsTest, AFullSpeedDeviceGoesOnAFreePortOfTheHighSpeedHub) {
  EXPECT_EQ(FreeHighSpeedPorts(kStatus), (std::vector<unsigned>{1, 3}));
  // Ports being set up (sta 5) and SuperSpeed ports are never offered.
  EXPECT_TRUE(FreeHighSpeedPorts("hub port sta spd dev      sockfd local_busid\n"
                                 "hs  0000 005 000 00000000 000000 0-0\n"
                                 "ss  0001 004 000 00000000 000000 0-0\n")
                  .empty());
  EXPECT_TRUE(FreeHighSpeedPorts("").empty());
  // Garbage lines and a missing final newline are taken in stride.
  EXPECT_EQ(FreeHighSpeedPorts("garbage\nhs  00x0 004\nhs  0007 004 000 00000000 000000 0-0"),
            std::vector<unsigned>{7});
}

TEST(VhciPortsTest, OnlyAPortShowingThisDeviceIsDetached) {
  struct Case {
    const char* name;
    unsigned port;
    std::uint32_t devid;
    bool holds;
  };
  const Case cases[] = {
      {"in use by this device", 0, 0x00010002, true},
      {"in use by another device", 0, 0x00010003, false},
      {"free again", 1, 0, false},
      {"not yet addressed", 2, 0, false},
      {"the same number on the SuperSpeed hub does not count", 5, 0x00020003, false},
      {"no such port", 9, 0x00010002, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PortHoldsDevice(kStatus, c.port, c.devid), c.holds) << c.name;
}

TEST(VhciPortsTest, AttachLineAndDeviceIds) {
  EXPECT_EQ(AttachRequest(3, 7, 0x00010002, kUsbSpeedFull), "3 7 65538 2");
  EXPECT_EQ(ChooseDevid(1234, 0), (1235u << 16) | 1u);
  EXPECT_EQ(ChooseDevid(1234, 1), (1235u << 16) | 2u);
  EXPECT_EQ(ChooseDevid(0x7FFF, 127), (1u << 16) | 1u);
}

}  // namespace
}  // namespace kdsp::usbmodel
