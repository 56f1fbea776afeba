// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the processor's uhid events: what the create event declares, output reports with their
// ID byte taken off, the answers to GET_REPORT and SET_REPORT, and a greeting answered by the
// simulator as an input event.
#include "uhid_function.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "processor_reports.h"
#include "sim/simulated_processor.h"
#include "usb_test_support.h"

namespace kdsp::usbmodel {
namespace {

using testing::OutputData;
using testing::ToHex;

uhid_event Event(std::uint32_t type) {
  uhid_event event{};
  event.type = type;
  return event;
}

uhid_event Output(std::span<const std::uint8_t> data, std::uint8_t rtype = UHID_OUTPUT_REPORT) {
  uhid_event event = Event(UHID_OUTPUT);
  std::copy(data.begin(), data.end(), event.u.output.data);
  event.u.output.size = static_cast<std::uint16_t>(data.size());
  event.u.output.rtype = rtype;
  return event;
}

// An output report as hidraw passes it on: the report ID 0 first.
std::vector<std::uint8_t> WithId(std::vector<std::uint8_t> data) {
  data.insert(data.begin(), 0);
  return data;
}

TEST(UhidFunctionTest, CreateEventDeclaresAUsbHidDeviceWithTheReportDescriptor) {
  UsbDeviceIdentity id;
  const uhid_event event = CreateEvent(id, "Simulated processor");
  EXPECT_EQ(event.type, UHID_CREATE2);
  const uhid_create2_req& c = event.u.create2;
  EXPECT_STREQ(reinterpret_cast<const char*>(c.name), "Simulated processor");
  EXPECT_STREQ(reinterpret_cast<const char*>(c.uniq), "SIM-0001");
  EXPECT_STREQ(reinterpret_cast<const char*>(c.phys), "");
  EXPECT_EQ(c.bus, 0x03);
  EXPECT_EQ(c.vendor, 0x0483u);
  EXPECT_EQ(c.product, 0x0157u);
  EXPECT_EQ(c.version, 0x0200u);
  EXPECT_EQ(c.country, 0u);
  EXPECT_EQ(c.rd_size, 25);
  EXPECT_EQ(ToHex({c.rd_data, c.rd_size}),
            "06 00 FF 09 01 A1 01 15 00 26 FF 00 75 08 95 40 09 02 81 02 09 03 91 02 C0");
  EXPECT_EQ(c.rd_data[25], 0);

  // A name longer than the field is cut, its last byte left 0.
  const uhid_event longName = CreateEvent(id, std::string(200, 'n'));
  EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(longName.u.create2.name)), 127u);
}

TEST(UhidFunctionTest, InputAndDestroyEvents) {
  std::vector<std::uint8_t> report(64, 0);
  report[0] = 0x0D;
  report[63] = 0x7F;
  const uhid_event input = InputEvent(report);
  EXPECT_EQ(input.type, UHID_INPUT2);
  EXPECT_EQ(input.u.input2.size, 64);
  EXPECT_EQ(input.u.input2.data[0], 0x0D);
  EXPECT_EQ(input.u.input2.data[63], 0x7F);
  EXPECT_EQ(input.u.input2.data[64], 0);
  EXPECT_EQ(DestroyEvent().type, UHID_DESTROY);
}

TEST(UhidFunctionTest, OutputReportsLoseTheirIdByteOnlyWhenTheyHaveOne) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> data;
    std::uint8_t rtype;
    std::vector<std::vector<std::uint8_t>> expected;
  };
  const auto report = OutputData(":E50001001A\r\n");
  const Case cases[] = {
      {"written to hidraw: 65 bytes, ID first", WithId(report), UHID_OUTPUT_REPORT, {report}},
      {"from a kernel driver: 64 bytes without ID", report, UHID_OUTPUT_REPORT, {report}},
      {"a feature report is no output report", WithId(report), UHID_FEATURE_REPORT, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UhidFunction function;
    std::vector<std::vector<std::uint8_t>> got;
    function.onOutputReport = [&](std::span<const std::uint8_t> d) {
      got.emplace_back(d.begin(), d.end());
    };
    EXPECT_FALSE(function.handle(Output(c.data, c.rtype)));
    EXPECT_EQ(got, c.expected);
  }
}

TEST(UhidFunctionTest, StartOpenCloseAndStopAreFollowed) {
  UhidFunction function;
  int starts = 0;
  function.onStarted = [&] { ++starts; };
  EXPECT_FALSE(function.started());
  EXPECT_FALSE(function.handle(Event(UHID_START)));
  EXPECT_FALSE(function.handle(Event(UHID_START)));
  EXPECT_TRUE(function.started());
  EXPECT_EQ(starts, 1);
  function.handle(Event(UHID_OPEN));
  EXPECT_TRUE(function.opened());
  function.handle(Event(UHID_CLOSE));
  EXPECT_FALSE(function.opened());
  function.handle(Event(UHID_STOP));
  EXPECT_FALSE(function.started());
}

TEST(UhidFunctionTest, GetReportOfTheInputReportIsAnsweredWithAnEmptyOne) {
  struct Case {
    const char* name;
    std::uint8_t rtype;
    std::uint8_t rnum;
    std::uint16_t err;
    std::uint16_t size;
  };
  const Case cases[] = {
      {"input report", UHID_INPUT_REPORT, 0, 0, 65},
      {"output report", UHID_OUTPUT_REPORT, 0, EIO, 0},
      {"feature report", UHID_FEATURE_REPORT, 0, EIO, 0},
      {"input report with an id", UHID_INPUT_REPORT, 3, EIO, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UhidFunction function;
    uhid_event request = Event(UHID_GET_REPORT);
    request.u.get_report.id = 0x01020304;
    request.u.get_report.rtype = c.rtype;
    request.u.get_report.rnum = c.rnum;
    const auto answer = function.handle(request);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type, UHID_GET_REPORT_REPLY);
    EXPECT_EQ(answer->u.get_report_reply.id, 0x01020304u);
    EXPECT_EQ(answer->u.get_report_reply.err, c.err);
    EXPECT_EQ(answer->u.get_report_reply.size, c.size);
    for (int i = 0; i < 65; ++i) EXPECT_EQ(answer->u.get_report_reply.data[i], 0) << i;
  }
}

TEST(UhidFunctionTest, SetReportOfTheOutputReportIsAnOutputReport) {
  struct Case {
    const char* name;
    std::uint8_t rtype;
    std::uint16_t err;
    bool delivered;
  };
  const Case cases[] = {
      {"output report", UHID_OUTPUT_REPORT, 0, true},
      {"feature report", UHID_FEATURE_REPORT, EIO, false},
  };
  const auto report = OutputData(":E50001001A\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UhidFunction function;
    std::vector<std::vector<std::uint8_t>> got;
    function.onOutputReport = [&](std::span<const std::uint8_t> d) {
      got.emplace_back(d.begin(), d.end());
    };
    uhid_event request = Event(UHID_SET_REPORT);
    request.u.set_report.id = 77;
    request.u.set_report.rtype = c.rtype;
    request.u.set_report.rnum = 0;
    const auto data = WithId(report);
    request.u.set_report.size = static_cast<std::uint16_t>(data.size());
    std::copy(data.begin(), data.end(), request.u.set_report.data);
    const auto answer = function.handle(request);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type, UHID_SET_REPORT_REPLY);
    EXPECT_EQ(answer->u.set_report_reply.id, 77u);
    EXPECT_EQ(answer->u.set_report_reply.err, c.err);
    EXPECT_EQ(got.size(), c.delivered ? 1u : 0u);
    if (c.delivered) {
      EXPECT_EQ(got[0], report);
    }
  }
}

TEST(UhidFunctionTest, GreetingWrittenToHidrawComesBackAsInputEventsOneRecordEach) {
  sim::SimulatedProcessor processor;
  ProcessorReports reports(&processor);
  reports.beginLink();
  const auto now = ProcessorReports::Clock::time_point{} + std::chrono::hours(1);
  UhidFunction function;
  function.onOutputReport = [&](std::span<const std::uint8_t> data) {
    reports.outputReport(data, now);
  };
  function.handle(Output(WithId(OutputData(":E50001001A\r\n"))));
  std::vector<std::string> texts;
  for (const auto& report : reports.takeDue(now)) {
    const uhid_event input = InputEvent(report);
    ASSERT_EQ(input.u.input2.size, 64);
    const std::uint8_t* data = input.u.input2.data;
    texts.emplace_back(reinterpret_cast<const char*>(data + 1), data[0]);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{":F00001010E\r\n", ":E6000121F8\r\n",
                                             ":BA00083737000000FF0000D1\r\n"}));
}

}  // namespace
}  // namespace kdsp::usbmodel
