// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the kdsp-usb-device command line: its own options, the simulator options it shares
// with kdsp-sim, and the refusals.
#include "usb_device_command_line.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace kdsp::usbmodel {
namespace {

UsbDeviceCommandLineParse Parse(std::vector<std::string_view> args) {
  return ParseUsbDeviceCommandLine(args);
}

TEST(UsbDeviceCommandLineTest, DefaultsAreTheProcessorOnUhid) {
  const auto parse = Parse({"--uhid"});
  ASSERT_TRUE(parse.line) << parse.error;
  const UsbDeviceCommandLine& line = *parse.line;
  EXPECT_EQ(line.carrier, Carrier::kUhid);
  EXPECT_TRUE(line.outEndpoint);
  EXPECT_EQ(line.identity.vendorId, 0x0483);
  EXPECT_EQ(line.identity.productId, 0x0157);
  EXPECT_EQ(line.identity.product, "Simulated processor");
  EXPECT_FALSE(line.mute);
  EXPECT_FALSE(line.help);
  EXPECT_FALSE(line.processor.stateFile);
  EXPECT_EQ(line.processor.options.version, 0x21);
}

TEST(UsbDeviceCommandLineTest, EveryOptionIsTaken) {
  const auto parse = Parse({"--usbip",
                            "--no-out-endpoint",
                            "--vendor",
                            "1209",
                            "--product=0x0001",
                            "--name",
                            "Other device",
                            "--state=/tmp/s",
                            "--firmware-version",
                            "20",
                            "--locked",
                            "12",
                            "--no-ack",
                            "--ack-delay-ms=5",
                            "--slow-reply",
                            "226:3500",
                            "--corrupt-chunk",
                            "3",
                            "--drop-chunk",
                            "4",
                            "--read-end-only",
                            "--read-faults-from",
                            "2",
                            "--close-after",
                            "7"});
  ASSERT_TRUE(parse.line) << parse.error;
  const UsbDeviceCommandLine& line = *parse.line;
  EXPECT_EQ(line.carrier, Carrier::kUsbip);
  EXPECT_FALSE(line.outEndpoint);
  EXPECT_EQ(line.identity.vendorId, 0x1209);
  EXPECT_EQ(line.identity.productId, 0x0001);
  EXPECT_EQ(line.identity.product, "Other device");
  EXPECT_EQ(line.processor.stateFile, std::filesystem::path("/tmp/s"));
  const sim::SimOptions& o = line.processor.options;
  EXPECT_EQ(o.version, 0x20);
  EXPECT_EQ(o.lockedPassword, 12);
  EXPECT_TRUE(o.noAck);
  EXPECT_EQ(o.ackDelayMs, 5);
  EXPECT_EQ(o.slowReplyMs, (std::map<std::uint8_t, int>{{226, 3500}}));
  EXPECT_EQ(o.corruptChunk, 3);
  EXPECT_EQ(o.dropChunk, 4);
  EXPECT_TRUE(o.readEndOnly);
  EXPECT_EQ(o.readFaultsFrom, 2);
  EXPECT_EQ(o.closeAfter, 7);

  const auto mute = Parse({"--uhid", "--mute", "--vendor", "1209", "--product", "1"});
  ASSERT_TRUE(mute.line) << mute.error;
  EXPECT_TRUE(mute.line->mute);
  EXPECT_EQ(mute.line->identity.productId, 0x0001);
  EXPECT_TRUE(Parse({"--help"}).line->help);
  EXPECT_TRUE(Parse({"-h"}).line->help);
}

TEST(UsbDeviceCommandLineTest, WrongArgumentsAreRefusedWithAReason) {
  struct Case {
    std::vector<std::string_view> args;
    std::string_view error;
  };
  const std::string longName(127, 'n');
  const Case cases[] = {
      {{}, "choose --uhid or --usbip"},
      {{"--uhid", "--usbip"}, "exclude each other"},
      {{"--uhid", "--no-out-endpoint"}, "--no-out-endpoint goes with --usbip"},
      {{"--uhid", "--vendor", "12345"}, "bad value '12345' for --vendor"},
      {{"--uhid", "--vendor", "0x"}, "for --vendor"},
      {{"--uhid", "--product", "g1"}, "for --product"},
      {{"--uhid", "--product"}, "--product needs a value"},
      {{"--uhid", "--name", ""}, "a name of 1 to 126 bytes"},
      {{"--uhid", "--name", longName}, "1 to 126 bytes"},
      {{"--uhid", "--mute", "--no-ack"}, "simulator options do not apply"},
      {{"--uhid=1"}, "--uhid takes no value"},
      {{"--uhid", "--slow-reply", "226"}, "bad value '226' for --slow-reply"},
      {{"--uhid", "--close-after"}, "--close-after needs a value"},
      {{"--uhid", "--listen", "127.0.0.1:0"}, "unknown argument '--listen'"},
      {{"--uhid", "--verbose"}, "unknown argument '--verbose'"},
  };
  for (const Case& c : cases) {
    const auto parse = Parse(c.args);
    EXPECT_FALSE(parse.line) << c.error;
    EXPECT_NE(parse.error.find(c.error), std::string::npos) << parse.error;
  }
}

TEST(UsbDeviceCommandLineTest, UsageDescribesTheSimulatorOptionsOnceWithKdspSim) {
  const std::string_view usage = UsbDeviceUsage();
  const std::string_view shared = sim::SimProcessorOptionsUsage();
  EXPECT_NE(usage.find(shared), std::string_view::npos);
  EXPECT_NE(sim::SimUsage().find(shared), std::string_view::npos);
  for (std::string_view option : {"--slow-reply CODE:MS", "--close-after N", "--state FILE"})
    EXPECT_NE(shared.find(option), std::string_view::npos) << option;
}

}  // namespace
}  // namespace kdsp::usbmodel
