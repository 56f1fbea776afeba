// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the processor's USB device answering the host: the enumeration the kernel runs, the
// HID class requests, interrupt in URBs held and answered in order, unlinks, output reports on
// the out endpoint or through SET_REPORT, and a greeting answered end to end by the simulator.
#include "usb_hid_function.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "processor_reports.h"
#include "sim/simulated_processor.h"
#include "usb_test_support.h"
#include "usbip_device.h"

namespace kdsp::usbmodel {
namespace {

using testing::Control;
using testing::Hex;
using testing::Interrupt;
using testing::OutputData;
using testing::SubmitBytes;
using testing::ToHex;
using testing::UnlinkBytes;

struct Step {
  const char* what;
  const char* setup;
  std::uint32_t length;
  std::int32_t status;
  const char* data;  // the in data, hex
};

void RunSteps(UsbHidFunction& function, std::span<const Step> steps) {
  std::uint32_t seqnum = 100;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    const auto answer = function.submit(Control(++seqnum, step.setup, step.length));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->seqnum, seqnum);
    EXPECT_EQ(answer->status, step.status);
    EXPECT_EQ(ToHex(answer->data), ToHex(Hex(step.data)));
    EXPECT_EQ(answer->actualLength, answer->data.size());
  }
}

TEST(UsbHidFunctionTest, AnswersTheKernelsEnumerationStepByStep) {
  UsbHidFunction function(UsbDeviceIdentity{}, true);
  int configured = 0;
  function.onConfigured = [&] { ++configured; };
  const Step steps[] = {
      // The hub driver: the first eight bytes for the packet size (the old scheme), 64 bytes of
      // room (the new one), then the whole descriptor.
      {"device, 8 bytes", "80 06 00 01 00 00 08 00", 8, 0, "12 01 00 02 00 00 00 40"},
      {"device, 64 bytes of room", "80 06 00 01 00 00 40 00", 64, 0,
       "12 01 00 02 00 00 00 40 83 04 57 01 00 02 01 02 03 01"},
      {"device", "80 06 00 01 00 00 12 00", 18, 0,
       "12 01 00 02 00 00 00 40 83 04 57 01 00 02 01 02 03 01"},
      {"configuration header", "80 06 00 02 00 00 09 00", 9, 0, "09 02 29 00 01 01 00 80 32"},
      {"configuration", "80 06 00 02 00 00 29 00", 41, 0,
       "09 02 29 00 01 01 00 80 32 09 04 00 00 02 03 00 00 00 09 21 11 01 00 01 22 19 00"
       "07 05 81 03 40 00 01 07 05 01 03 40 00 01"},
      {"languages", "80 06 00 03 00 00 FF 00", 255, 0, "04 03 09 04"},
      {"product", "80 06 02 03 09 04 FF 00", 255, 0,
       "28 03 53 00 69 00 6D 00 75 00 6C 00 61 00 74 00 65 00 64 00 20 00 70 00 72 00 6F 00 63 "
       "00 65 00 73 00 73 00 6F 00 72 00"},
      {"manufacturer, first two bytes for the length", "80 06 01 03 09 04 02 00", 2, 0, "28 03"},
      {"serial number", "80 06 03 03 09 04 FF 00", 255, 0,
       "12 03 53 00 49 00 4D 00 2D 00 30 00 30 00 30 00 31 00"},
      {"no device qualifier at full speed", "80 06 00 06 00 00 0A 00", 10, -EPIPE, ""},
      {"no other-speed configuration", "80 06 00 07 00 00 09 00", 9, -EPIPE, ""},
      {"no string 4", "80 06 04 03 09 04 FF 00", 255, -EPIPE, ""},
      {"no report descriptor before the configuration", "81 06 00 22 00 00 19 00", 25, -EPIPE, ""},
      {"status", "80 00 00 00 00 00 02 00", 2, 0, "00 00"},
      {"set address, should the host controller pass it on", "00 05 02 00 00 00 00 00", 0, 0, ""},
      {"not configured yet", "80 08 00 00 00 00 01 00", 1, 0, "00"},
      {"set configuration 1", "00 09 01 00 00 00 00 00", 0, 0, ""},
      {"configured", "80 08 00 00 00 00 01 00", 1, 0, "01"},
      {"no configuration 2", "00 09 02 00 00 00 00 00", 0, -EPIPE, ""},
      // The HID driver.
      {"set idle", "21 0A 00 00 00 00 00 00", 0, 0, ""},
      {"report descriptor", "81 06 00 22 00 00 19 00", 25, 0,
       "06 00 FF 09 01 A1 01 15 00 26 FF 00 75 08 95 40 09 02 81 02 09 03 91 02 C0"},
      {"HID descriptor", "81 06 00 21 00 00 09 00", 9, 0, "09 21 11 01 00 01 22 19 00"},
      {"report descriptor of an interface that is not there", "81 06 00 22 01 00 19 00", 25, -EPIPE,
       ""},
      {"idle rate", "A1 02 00 00 00 00 01 00", 1, 0, "00"},
      {"report protocol", "A1 03 00 00 00 00 01 00", 1, 0, "01"},
      {"set boot protocol", "21 0B 00 00 00 00 00 00", 0, 0, ""},
      {"boot protocol", "A1 03 00 00 00 00 01 00", 1, 0, "00"},
      {"clear halt of endpoint 0x81", "02 01 00 00 81 00 00 00", 0, 0, ""},
      {"status of endpoint 0x01", "82 00 00 00 01 00 02 00", 2, 0, "00 00"},
      {"no endpoint 0x82", "82 00 00 00 82 00 02 00", 2, -EPIPE, ""},
      {"a vendor request", "C0 01 00 00 00 00 04 00", 4, -EPIPE, ""},
      {"remote wakeup is not offered", "00 03 01 00 00 00 00 00", 0, -EPIPE, ""},
  };
  RunSteps(function, steps);
  EXPECT_EQ(configured, 1);
  EXPECT_TRUE(function.configured());
}

TEST(UsbHidFunctionTest, ConfigurationWithoutTheOutEndpointIsShorter) {
  UsbHidFunction function(UsbDeviceIdentity{}, false);
  const Step steps[] = {
      {"configuration", "80 06 00 02 00 00 FF 00", 255, 0,
       "09 02 22 00 01 01 00 80 32 09 04 00 00 01 03 00 00 00 09 21 11 01 00 01 22 19 00"
       "07 05 81 03 40 00 01"},
      {"set configuration 1", "00 09 01 00 00 00 00 00", 0, 0, ""},
      {"no endpoint 0x01", "82 00 00 00 01 00 02 00", 2, -EPIPE, ""},
  };
  RunSteps(function, steps);
}

UsbHidFunction Configured(bool outEndpoint) {
  UsbHidFunction function(UsbDeviceIdentity{}, outEndpoint);
  EXPECT_EQ(function.submit(Control(1, "00 09 01 00 00 00 00 00", 0))->status, 0);
  return function;
}

std::vector<std::uint8_t> Report(std::uint8_t mark) {
  std::vector<std::uint8_t> report(64, 0);
  report[0] = 2;
  report[1] = mark;
  return report;
}

TEST(UsbHidFunctionTest, InUrbsWaitForReportsAndAreAnsweredInOrder) {
  UsbHidFunction function = Configured(true);
  EXPECT_FALSE(function.submit(Interrupt(10, true)));
  EXPECT_FALSE(function.submit(Interrupt(11, true)));
  EXPECT_EQ(function.heldInUrbs(), 2u);

  const auto first = function.sendInputReport(Report('a'));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->seqnum, 10u);
  EXPECT_EQ(first->status, 0);
  EXPECT_EQ(first->actualLength, 64u);
  EXPECT_EQ(first->data, Report('a'));
  const auto second = function.sendInputReport(Report('b'));
  ASSERT_TRUE(second);
  EXPECT_EQ(second->seqnum, 11u);
  EXPECT_EQ(second->data, Report('b'));

  // No URB waiting: the reports wait, and the next URBs take them at once, oldest first.
  EXPECT_FALSE(function.sendInputReport(Report('c')));
  EXPECT_FALSE(function.sendInputReport(Report('d')));
  EXPECT_EQ(function.waitingReports(), 2u);
  const auto third = function.submit(Interrupt(12, true));
  ASSERT_TRUE(third);
  EXPECT_EQ(third->seqnum, 12u);
  EXPECT_EQ(third->data, Report('c'));
  EXPECT_EQ(function.submit(Interrupt(13, true))->data, Report('d'));
  EXPECT_EQ(function.waitingReports(), 0u);
  EXPECT_EQ(function.heldInUrbs(), 0u);
}

TEST(UsbHidFunctionTest, UnlinkTakesBackAHeldUrbForGoodAndAnAnsweredOneIsNoLongerThere) {
  UsbHidFunction function = Configured(true);
  EXPECT_FALSE(function.submit(Interrupt(20, true)));
  EXPECT_FALSE(function.submit(Interrupt(21, true)));
  EXPECT_EQ(function.unlink(20), -ECONNRESET);
  EXPECT_EQ(function.heldInUrbs(), 1u);
  // The next report goes to the URB still held, never to the one taken back.
  const auto answer = function.sendInputReport(Report('a'));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->seqnum, 21u);
  EXPECT_EQ(function.unlink(21), 0);   // answered already
  EXPECT_EQ(function.unlink(20), 0);   // taken back already
  EXPECT_EQ(function.unlink(999), 0);  // never seen
}

TEST(UsbHidFunctionTest, OutputReportsComeByTheOutEndpointOrBySetReport) {
  struct Case {
    const char* name;
    bool outEndpoint;
    Urb urb;
    std::int32_t status;
    bool delivered;
  };
  const auto data = OutputData(":E50001001A\r\n");
  const Case cases[] = {
      {"interrupt out", true, Interrupt(30, false, data), 0, true},
      {"interrupt out without the endpoint", false, Interrupt(30, false, data), -EPIPE, false},
      {"SET_REPORT output", false, Control(30, "21 09 00 02 00 00 40 00", 64, data), 0, true},
      {"SET_REPORT output beside the endpoint", true,
       Control(30, "21 09 00 02 00 00 40 00", 64, data), 0, true},
      {"SET_REPORT feature", false, Control(30, "21 09 00 03 00 00 40 00", 64, data), -EPIPE,
       false},
      {"SET_REPORT with an id", false, Control(30, "21 09 01 02 00 00 40 00", 64, data), -EPIPE,
       false},
      {"SET_REPORT to another interface", false, Control(30, "21 09 00 02 01 00 40 00", 64, data),
       -EPIPE, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UsbHidFunction function = Configured(c.outEndpoint);
    std::vector<std::vector<std::uint8_t>> reports;
    function.onOutputReport = [&](std::span<const std::uint8_t> r) {
      reports.emplace_back(r.begin(), r.end());
    };
    const auto answer = function.submit(c.urb);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->seqnum, 30u);
    EXPECT_EQ(answer->status, c.status);
    EXPECT_TRUE(answer->data.empty());  // an out transfer brings nothing back
    EXPECT_EQ(answer->actualLength, c.status == 0 ? 64u : 0u);
    EXPECT_EQ(reports, c.delivered ? std::vector<std::vector<std::uint8_t>>{data}
                                   : std::vector<std::vector<std::uint8_t>>{});
  }
}

TEST(UsbHidFunctionTest, GetReportReadsAnEmptyInputReportWithoutTakingAWaitingOne) {
  UsbHidFunction function = Configured(true);
  EXPECT_FALSE(function.sendInputReport(Report('a')));
  const auto read = function.submit(Control(40, "A1 01 00 01 00 00 40 00", 64));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->status, 0);
  EXPECT_EQ(read->data, std::vector<std::uint8_t>(64, 0));
  EXPECT_EQ(function.waitingReports(), 1u);
  EXPECT_EQ(function.submit(Control(41, "A1 01 00 03 00 00 40 00", 64))->status, -EPIPE);
  EXPECT_EQ(function.submit(Control(42, "A1 01 00 02 00 00 40 00", 64))->status, -EPIPE);
}

TEST(UsbHidFunctionTest, TransfersTheDeviceCannotTakeAreStalled) {
  UsbHidFunction unconfigured(UsbDeviceIdentity{}, true);
  // The interrupt endpoints exist only in the configuration.
  const auto early = unconfigured.submit(Interrupt(50, true));
  ASSERT_TRUE(early);
  EXPECT_EQ(early->status, -EPIPE);
  EXPECT_EQ(unconfigured.heldInUrbs(), 0u);

  UsbHidFunction function = Configured(true);
  // A setup packet that reads, on a transfer that writes: refused, not answered with data.
  Urb mismatched = Control(51, "80 06 00 01 00 00 12 00", 18);
  mismatched.in = false;
  const auto answer = function.submit(mismatched);
  EXPECT_EQ(answer->status, -EPIPE);
  EXPECT_TRUE(answer->data.empty());
  Urb elsewhere = Interrupt(52, true);
  elsewhere.endpoint = 2;
  EXPECT_EQ(function.submit(elsewhere)->status, -EPIPE);
}

TEST(UsbHidFunctionTest, AShortInUrbGetsTheFrontOfTheReport) {
  UsbHidFunction function = Configured(true);
  Urb urb = Interrupt(60, true);
  urb.length = 8;
  urb.numberOfPackets = -1;
  EXPECT_FALSE(function.submit(urb));
  const auto answer = function.sendInputReport(Report('z'));
  ASSERT_TRUE(answer);
  EXPECT_EQ(ToHex(answer->data), "02 7A 00 00 00 00 00 00");
  EXPECT_EQ(answer->numberOfPackets, -1);  // handed back as it came
}

// The whole way over USB/IP: the host enumerates, keeps an in URB waiting, writes the greeting
// to the out endpoint; the simulator's replies come back on the in URBs, one record a report.
TEST(UsbHidFunctionTest, GreetingThroughTheDeviceGetsTheVersionReplyBackAsAnInReport) {
  sim::SimulatedProcessor processor;
  std::vector<std::string> log;
  processor.onRecordLog = [&](std::string_view line) { log.emplace_back(line); };
  ProcessorReports reports(&processor);
  reports.beginLink();
  const auto now = ProcessorReports::Clock::time_point{} + std::chrono::hours(1);
  UsbipDevice device(UsbDeviceIdentity{}, true);
  device.function().onOutputReport = [&](std::span<const std::uint8_t> data) {
    reports.outputReport(data, now);
  };

  std::vector<std::uint8_t> out;
  ASSERT_TRUE(device.receive(SubmitBytes(Control(1, "00 09 01 00 00 00 00 00", 0)), out));
  ASSERT_TRUE(device.receive(SubmitBytes(Interrupt(2, true)), out));
  ASSERT_TRUE(device.receive(SubmitBytes(Interrupt(3, false, OutputData(":E50001001A\r\n"))), out));
  // SET_CONFIGURATION and the out transfer are answered; the in URB waits.
  EXPECT_EQ(ToHex(out),
            ToHex(Hex("00000003 00000001 00000000 00000000 00000000 00000000 00000000 00000000 "
                      "00000000 00000000 00000000 00000000 "
                      "00000003 00000003 00000000 00000000 00000000 00000000 00000040 00000000 "
                      "00000000 00000000 00000000 00000000")));
  EXPECT_EQ(log, std::vector<std::string>{"229 (E5) greeting: 00"});

  // Acknowledgement, version and status, in that order.
  const auto due = reports.takeDue(now);
  ASSERT_EQ(due.size(), 3u);
  out.clear();
  for (const auto& report : due) device.sendInputReport(report, out);
  ASSERT_TRUE(device.receive(SubmitBytes(Interrupt(4, true)), out));
  ASSERT_TRUE(device.receive(SubmitBytes(Interrupt(5, true)), out));
  ASSERT_EQ(out.size(), 3u * (48 + 64));
  auto retHeader = [](std::uint32_t seqnum) {
    UsbipRetSubmit ret;
    ret.seqnum = seqnum;
    ret.actualLength = 64;
    const auto h = EncodeRetSubmit(ret);
    return std::vector<std::uint8_t>(h.begin(), h.end());
  };
  auto inReport = [](std::string_view text) {
    std::vector<std::uint8_t> r(64, 0);
    r[0] = static_cast<std::uint8_t>(text.size());
    std::copy(text.begin(), text.end(), r.begin() + 1);
    return r;
  };
  const auto part = [&](std::size_t k) {
    return std::vector<std::uint8_t>(out.begin() + static_cast<std::ptrdiff_t>(k * 112),
                                     out.begin() + static_cast<std::ptrdiff_t>((k + 1) * 112));
  };
  auto expected = [&](std::uint32_t seqnum, std::string_view text) {
    auto bytes = retHeader(seqnum);
    const auto r = inReport(text);
    bytes.insert(bytes.end(), r.begin(), r.end());
    return ToHex(bytes);
  };
  EXPECT_EQ(ToHex(part(0)), expected(2, ":F00001010E\r\n"));
  EXPECT_EQ(ToHex(part(1)), expected(4, ":E6000121F8\r\n"));
  EXPECT_EQ(ToHex(part(2)), expected(5, ":BA00083737000000FF0000D1\r\n"));
  // The version reply's report, byte for byte: its length, then the record text.
  EXPECT_EQ(ToHex(std::span(out).subspan(112 + 48, 14)),
            "0D 3A 45 36 30 30 30 31 32 31 46 38 0D 0A");
}

}  // namespace
}  // namespace kdsp::usbmodel
