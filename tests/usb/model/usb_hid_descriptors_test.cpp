// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the processor's USB descriptors, byte for byte, and of the report descriptor as the
// program's own parser reads it.
#include "usb_hid_descriptors.h"

#include <gtest/gtest.h>

#include "device/hid_report_descriptor.h"
#include "usb_test_support.h"

namespace kdsp::usbmodel {
namespace {

using testing::Hex;
using testing::ToHex;

TEST(UsbHidDescriptorsTest, DeviceDescriptorNamesTheProcessorAndItsStrings) {
  EXPECT_EQ(ToHex(DeviceDescriptor(UsbDeviceIdentity{})),
            "12 01 00 02 00 00 00 40 83 04 57 01 00 02 01 02 03 01");
  UsbDeviceIdentity other;
  other.vendorId = 0x1209;
  other.productId = 0x0001;
  other.bcdDevice = 0x0105;
  EXPECT_EQ(ToHex(DeviceDescriptor(other)),
            "12 01 00 02 00 00 00 40 09 12 01 00 05 01 01 02 03 01");
}

TEST(UsbHidDescriptorsTest, ConfigurationWithAndWithoutTheOutEndpoint) {
  EXPECT_EQ(ToHex(ConfigurationDescriptor(true)), ToHex(Hex("09 02 29 00 01 01 00 80 32"
                                                            "09 04 00 00 02 03 00 00 00"
                                                            "09 21 11 01 00 01 22 19 00"
                                                            "07 05 81 03 40 00 01"
                                                            "07 05 01 03 40 00 01")));
  EXPECT_EQ(ToHex(ConfigurationDescriptor(false)), ToHex(Hex("09 02 22 00 01 01 00 80 32"
                                                             "09 04 00 00 01 03 00 00 00"
                                                             "09 21 11 01 00 01 22 19 00"
                                                             "07 05 81 03 40 00 01")));
}

TEST(UsbHidDescriptorsTest, ConfigurationWalksAsTheHostParsesIt) {
  for (const bool out : {true, false}) {
    SCOPED_TRACE(out);
    const auto config = ConfigurationDescriptor(out);
    ASSERT_EQ(config[2] | config[3] << 8, static_cast<int>(config.size()));
    std::vector<int> types;
    for (std::size_t at = 0; at < config.size(); at += config[at]) {
      ASSERT_GE(config[at], 2);
      types.push_back(config[at + 1]);
    }
    const std::vector<int> expected =
        out ? std::vector<int>{2, 4, 0x21, 5, 5} : std::vector<int>{2, 4, 0x21, 5};
    EXPECT_EQ(types, expected);
    EXPECT_EQ(config[9 + 4], out ? 2 : 1);  // bNumEndpoints
  }
}

TEST(UsbHidDescriptorsTest, ReportDescriptorGivesSixtyFiveByteReportsWithoutIds) {
  const auto lengths = device::ParseReportDescriptor(kReportDescriptor);
  ASSERT_TRUE(lengths);
  EXPECT_EQ(lengths->input, 65);
  EXPECT_EQ(lengths->output, 65);
  EXPECT_EQ(lengths->feature, 0);
  EXPECT_FALSE(lengths->usesReportIds);
  // The HID descriptor announces exactly this descriptor.
  EXPECT_EQ(ToHex(HidDescriptor()), "09 21 11 01 00 01 22 19 00");
  EXPECT_EQ(kReportDescriptor.size(), 0x19u);
}

TEST(UsbHidDescriptorsTest, StringDescriptors) {
  UsbDeviceIdentity id;
  id.manufacturer = "KD";
  id.product = "Caf\xC3\xA9";            // é: one UTF-16 unit
  id.serialNumber = "\xF0\x9F\x8E\xA4";  // U+1F3A4: a surrogate pair
  struct Case {
    std::uint8_t index;
    const char* hex;
  };
  const Case cases[] = {
      {0, "04 03 09 04"},
      {1, "06 03 4B 00 44 00"},
      {2, "0A 03 43 00 61 00 66 00 E9 00"},
      {3, "06 03 3C D8 A4 DF"},
  };
  for (const Case& c : cases) {
    const auto descriptor = StringDescriptor(id, c.index);
    ASSERT_TRUE(descriptor) << int{c.index};
    EXPECT_EQ(ToHex(*descriptor), c.hex) << int{c.index};
  }
  EXPECT_FALSE(StringDescriptor(id, 4));
  EXPECT_FALSE(StringDescriptor(id, 0xEE));
}

TEST(UsbHidDescriptorsTest, LongStringsAreCutToWhatADescriptorHoldsWithoutSplittingAPair) {
  UsbDeviceIdentity id;
  id.product = std::string(200, 'x');
  const auto plain = StringDescriptor(id, kProductString);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->size(), 254u);
  EXPECT_EQ((*plain)[0], 254);
  // 125 letters and then a pair that would need units 126 and 127: the pair is left out whole.
  id.product = std::string(125, 'x') + "\xF0\x9F\x8E\xA4";
  const auto cut = StringDescriptor(id, kProductString);
  ASSERT_TRUE(cut);
  EXPECT_EQ((*cut)[0], 2 + 2 * 125);
}

TEST(UsbHidDescriptorsTest, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(ToHex(Utf16Le("a\xFF"
                          "b")),
            "61 00 FD FF 62 00");
  EXPECT_EQ(ToHex(Utf16Le("\xC3")), "FD FF");          // cut short
  EXPECT_EQ(ToHex(Utf16Le("\xC0\xAF")), "FD FF");      // overlong '/'
  EXPECT_EQ(ToHex(Utf16Le("\xED\xA0\x80")), "FD FF");  // a surrogate written as UTF-8
}

}  // namespace
}  // namespace kdsp::usbmodel
