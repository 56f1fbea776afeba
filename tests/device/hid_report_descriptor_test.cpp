// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of report descriptor reading against descriptors of real devices and broken ones.
#include "device/hid_report_descriptor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kdsp::device {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Vendor-defined page, 64 bytes in and 64 out, no report IDs (the usual shape of a
// microcontroller's custom HID interface).
// clang-format off
const Bytes kVendor64 = {
    0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x09, 0x02,        //   Usage (2)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x81, 0x02,        //   Input (Data, Var, Abs)
    0x09, 0x03,        //   Usage (3)
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40,
    0x91, 0x02,        //   Output (Data, Var, Abs)
    0xC0,              // End Collection
};
// clang-format on

// The boot keyboard: modifiers, a reserved byte and six key codes in; five LEDs and three
// padding bits out.
const Bytes kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0,
};

// A wireless receiver's vendor interface: a short (ID 0x10, 6 bytes) and a long (ID 0x11,
// 19 bytes) message in each direction.
const Bytes kTwoReportIds = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x10, 0x75, 0x08, 0x95, 0x06, 0x15,
    0x00, 0x26, 0xFF, 0x00, 0x09, 0x01, 0x81, 0x00, 0x09, 0x01, 0x91, 0x00, 0xC0, 0x06,
    0x00, 0xFF, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x11, 0x75, 0x08, 0x95, 0x13, 0x15, 0x00,
    0x26, 0xFF, 0x00, 0x09, 0x02, 0x81, 0x00, 0x09, 0x02, 0x91, 0x00, 0xC0,
};

// Three report IDs; Push and Pop around report 2 bring back size 8, count 4 and ID 1, so
// report 1 grows to 8 bytes. A feature report 3 of 32 bytes.
const Bytes kPushPop = {
    0x05, 0x01, 0x09, 0x00, 0xA1, 0x01, 0x85, 0x01,
    0x75, 0x08, 0x95, 0x04, 0x81, 0x02,              // ID 1: 4 bytes in
    0xA4,                                            // Push
    0x85, 0x02, 0x75, 0x10, 0x95, 0x08, 0x81, 0x02,  // ID 2: 16 bytes in
    0xB4,                                            // Pop
    0x81, 0x02,                                      // ID 1: 4 more bytes in
    0x85, 0x03, 0x95, 0x20, 0xB1, 0x02,              // ID 3: 32 bytes feature
    0xC0,
};

struct Case {
  std::string name;
  Bytes descriptor;
  HidReportLengths expected;
};

class LengthsTest : public ::testing::TestWithParam<Case> {};

TEST_P(LengthsTest, GivesTheLongestReportOfEachKindWithItsIdByte) {
  const auto lengths = ParseReportDescriptor(GetParam().descriptor);
  ASSERT_TRUE(lengths.has_value());
  EXPECT_EQ(lengths->input, GetParam().expected.input);
  EXPECT_EQ(lengths->output, GetParam().expected.output);
  EXPECT_EQ(lengths->feature, GetParam().expected.feature);
  EXPECT_EQ(lengths->usesReportIds, GetParam().expected.usesReportIds);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, LengthsTest,
    ::testing::Values(
        Case{"Vendor64", kVendor64, {65, 65, 0, false}},
        Case{"BootKeyboard", kBootKeyboard, {9, 2, 0, false}},
        Case{"TwoReportIds", kTwoReportIds, {20, 20, 0, true}},
        Case{"PushPop", kPushPop, {17, 0, 33, true}},
        // Three bits still take a byte.
        Case{"PartialByte", {0x75, 0x01, 0x95, 0x03, 0x81, 0x02}, {2, 0, 0, false}},
        // A long item (tag 0x10 with two bytes) is stepped over.
        Case{"LongItem",
             {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02},
             {3, 0, 0, false}},
        // Report Count given in four bytes (258).
        Case{"FourByteData",
             {0x75, 0x08, 0x97, 0x02, 0x01, 0x00, 0x00, 0xB1, 0x02},
             {0, 0, 259, false}},
        Case{"Empty", {}, {0, 0, 0, false}},
        // Collections and usages alone declare no report.
        Case{"NoFields", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0}, {0, 0, 0, false}}),
    [](const auto& param) { return param.param.name; });

TEST(ReportDescriptor, BrokenDescriptorsGiveNothing) {
  const std::vector<std::pair<std::string, Bytes>> broken = {
      {"item data cut off", {0x75, 0x08, 0x96, 0x40}},
      {"long item header cut off", {0xFE, 0x02}},
      {"long item data cut off", {0xFE, 0x04, 0x10, 0xAA}},
      {"pop without push", {0x75, 0x08, 0xB4}},
      {"report ID 0", {0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}},
      {"report ID 256", {0x86, 0x00, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}},
      {"report beyond a 16-bit length",
       {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02}},
      {"one byte too long", {0x75, 0x08, 0x96, 0xFF, 0xFF, 0x81, 0x02}},
  };
  for (const auto& [name, bytes] : broken) {
    EXPECT_FALSE(ParseReportDescriptor(bytes).has_value()) << name;
  }
}

TEST(ReportDescriptor, ReportOfTheLongestLengthIsAccepted) {
  // 65534 data bytes: with its ID byte exactly the largest 16-bit length.
  const Bytes longest = {0x75, 0x08, 0x96, 0xFE, 0xFF, 0x81, 0x02};
  const auto lengths = ParseReportDescriptor(longest);
  ASSERT_TRUE(lengths.has_value());
  EXPECT_EQ(lengths->input, 0xFFFF);
}

TEST(ReportDescriptor, PushesAreBounded) {
  Bytes deep(16, 0xA4);
  EXPECT_TRUE(ParseReportDescriptor(deep).has_value());
  deep.push_back(0xA4);
  EXPECT_FALSE(ParseReportDescriptor(deep).has_value());
}

// Each descriptor is cut short at every length while the real bytes go on behind the cut: a cut
// inside an item must fail (so nothing behind the cut was read), a cut between items gives
// lengths no larger than the whole descriptor's.
TEST(ReportDescriptor, NeverReadsPastTheEnd) {
  for (const Bytes* descriptor : {&kVendor64, &kBootKeyboard, &kTwoReportIds, &kPushPop}) {
    const auto whole = ParseReportDescriptor(*descriptor);
    ASSERT_TRUE(whole.has_value());
    constexpr std::size_t kDataSizes[4] = {0, 1, 2, 4};
    std::vector<bool> boundary(descriptor->size() + 1, false);
    for (std::size_t pos = 0; pos < descriptor->size();) {
      boundary[pos] = true;
      pos += 1 + kDataSizes[(*descriptor)[pos] & 3];
    }
    boundary[descriptor->size()] = true;
    for (std::size_t cut = 0; cut <= descriptor->size(); ++cut) {
      const auto part = ParseReportDescriptor(std::span(descriptor->data(), cut));
      ASSERT_EQ(part.has_value(), boundary[cut]) << "cut at " << cut;
      if (part) {
        EXPECT_LE(part->input, whole->input);
        EXPECT_LE(part->output, whole->output);
        EXPECT_LE(part->feature, whole->feature);
      }
    }
  }
}

}  // namespace
}  // namespace kdsp::device
