// SPDX-License-Identifier: GPL-3.0-or-later
// The traffic of one whole session, kept in tests/fixtures/traffic/whole_session.txt: the link
// replayed against the recorded replies sends exactly the recorded records, and a live session
// with the simulated processor still goes as recorded. Any change in what goes on the wire shows
// as a line diff against the file.
//
// To rewrite the file after a deliberate change on the wire, run the live session with
// KDSP_RECORD_TRAFFIC=1 in the environment:
//   KDSP_RECORD_TRAFFIC=1 build/tests/device/traffic_tests --gtest_filter='*Simulated*'
// and review the file's diff before committing it.
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "device/command_codes.h"
#include "device/record_codec.h"
#include "sim/simulated_hid_device.h"
#include "support/line_diff.h"
#include "support/temp_dir.h"
#include "traffic_session.h"

#ifndef KDSP_TRAFFIC_FIXTURE
#error "the test target must define KDSP_TRAFFIC_FIXTURE as the path of the recorded session"
#endif

namespace kdsp::device {
namespace {

using testing::ReplayedProcessor;
using testing::WholeSessionTest;

constexpr char kDescription[] =
    "Traffic of one whole connection between kdsp's device link and the simulated processor on\n"
    "USB: the greeting and the version and status replies; Yes to the sync question and the read\n"
    "of the processor's working settings; three edits through the change flags (mix fader 12,\n"
    "EQ band 30, echo delay); an upload of the working block into preset slot 3.\n"
    "send: program to processor, recv: processor to program; command code, then payload, in hex.\n"
    "Rewrite with KDSP_RECORD_TRAFFIC=1 build/tests/device/traffic_tests "
    "--gtest_filter='*Simulated*'";

bool Recording() {
  const char* value = std::getenv("KDSP_RECORD_TRAFFIC");
  return value != nullptr && std::string(value) == "1";
}

std::vector<std::string> Lines(const std::vector<TrafficRecord>& records) {
  std::vector<std::string> lines;
  for (const TrafficRecord& record : records) lines.push_back(FormatTrafficLine(record));
  return lines;
}

// The recorded session; a test that cannot read it fails with the reason.
std::vector<TrafficRecord> RecordedSession() {
  const ParsedTraffic parsed = ParseTraffic(kdsp::testing::ReadBytes(KDSP_TRAFFIC_FIXTURE));
  EXPECT_EQ(parsed.error, "") << KDSP_TRAFFIC_FIXTURE;
  EXPECT_FALSE(parsed.records.empty()) << KDSP_TRAFFIC_FIXTURE << " holds no records";
  return parsed.records;
}

// The traffic of this run against the recorded session, with a line diff when they part.
void ExpectTheRecordedTraffic(const std::vector<TrafficRecord>& recorded,
                              const std::vector<TrafficRecord>& traffic) {
  const std::string diff = kdsp::testing::LineDiff(Lines(recorded), Lines(traffic));
  if (!diff.empty())
    ADD_FAILURE() << "the traffic (+) differs from " << KDSP_TRAFFIC_FIXTURE
                  << " (-); hunks are numbered in records, not file lines:\n"
                  << diff;
}

TEST_F(WholeSessionTest, OnlyRecordsThatWentOutAreRecordedAndTheLinkIsGivenBackWhole) {
  link = std::make_unique<DeviceLink>(controller, working, prompts);
  Transport* const own = link->insides().sender.transport();
  recorder = std::make_unique<TrafficRecorder>(*link);
  const std::uint8_t greeting[] = {0x00}, taken[] = {0x01};
  // No processor: the link's own transport discards the greeting.
  EXPECT_EQ(recorder->transmit(EncodedRecord(code::kGreeting, greeting)),
            TransmitResult::kDiscarded);
  link->HandleReply(code::kAcknowledge, taken);
  EXPECT_EQ(Lines(recorder->records()), std::vector<std::string>{"recv F0 01"});

  recorder.reset();
  EXPECT_EQ(link->insides().sender.transport(), own);
  link->HandleReply(code::kAcknowledge, taken);  // nobody watches any more
}

TEST_F(WholeSessionTest, TheLinkSendsTheRecordedRecordsToTheRecordedReplies) {
  const std::vector<TrafficRecord> recorded = RecordedSession();
  ASSERT_FALSE(recorded.empty());
  runSession(std::make_shared<ReplayedProcessor>(recorded));
  ExpectTheRecordedTraffic(recorded, recorder->records());
}

TEST_F(WholeSessionTest, ASessionWithTheSimulatedProcessorGoesAsRecorded) {
  auto processor = std::make_shared<sim::SimulatedHidDevice>();
  runSession(processor);
  ASSERT_FALSE(HasFatalFailure());
  // What the session did, seen from the processor's side.
  EXPECT_TRUE(processor->processor().slot(kUploadSlot) == working);
  EXPECT_EQ(processor->processor().working().bands[30].gain, -75);
  EXPECT_EQ(processor->processor().working().echoA.delay, 250);

  if (Recording()) {
    std::ofstream(KDSP_TRAFFIC_FIXTURE, std::ios::binary) << recorder->text(kDescription);
    std::printf("rewrote %s with %zu records\n", KDSP_TRAFFIC_FIXTURE, recorder->records().size());
    return;
  }
  ExpectTheRecordedTraffic(RecordedSession(), recorder->records());
}

}  // namespace
}  // namespace kdsp::device
