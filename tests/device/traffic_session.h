// SPDX-License-Identifier: GPL-3.0-or-later
// One whole connection of the device link with a processor on the virtual HID bus, driven step
// by step so that its traffic is the same on every run, and a processor that answers from a
// recorded session instead of simulating one.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/traffic_recorder.h"
#include "device/virtual_hid_platform.h"
#include "sim/sim_hid_reports.h"
#include "support/device_fakes.h"

namespace kdsp::device::testing {

// The processor of a recorded session: the k-th record the link writes is answered with the
// replies recorded after the k-th send (replies recorded before the first send go out with the
// first answer). It answers by position, not by content, so a link that sends one record
// differently still runs to the session's end and the comparison shows just that record.
class ReplayedProcessor : public VirtualHidDevice {
 public:
  explicit ReplayedProcessor(std::span<const TrafficRecord> session)
      : VirtualHidDevice({core::kProcessorVendorId, core::kProcessorProductId, 0x0100,
                          "Karaoke DSP Control", "Replayed processor", "REPLAY-1"},
                         {sim::kSimulatedReportLength, sim::kSimulatedReportLength, 0}) {
    std::vector<TrafficRecord> leading;
    for (const TrafficRecord& record : session) {
      if (record.direction == TrafficDirection::kSend)
        answers_.emplace_back();
      else
        (answers_.empty() ? leading : answers_.back()).push_back(record);
    }
    if (!answers_.empty())
      answers_.front().insert(answers_.front().begin(), leading.begin(), leading.end());
  }

  void writeOutputReport(std::span<const std::uint8_t> report) override {
    if (sim::OutputReportText(report).empty()) return;
    const std::size_t k = written_++;
    if (k >= answers_.size()) return;
    for (const TrafficRecord& reply : answers_[k]) {
      const EncodedRecord record(reply.command, reply.payload);
      pushInputReport(sim::InputReportFor(record.textView()));
    }
  }

 private:
  std::vector<std::vector<TrafficRecord>> answers_;
  std::size_t written_ = 0;
};

// The session: greeting and version, Yes to the sync question and the read of the processor's
// working settings, three edits sent through the change flags (a mix fader, an EQ band, the
// echo delay), and an upload into preset slot 3. The synchronisation timer stays off and every
// step waits for the replies to its records, so no tick falls between a record and its answer.
class WholeSessionTest : public ::testing::Test {
 protected:
  // Far beyond what any step takes; only a processor that stopped answering reaches it.
  static constexpr std::chrono::seconds kStepLimit{20};
  static constexpr std::uint8_t kUploadSlot = 3;

  ~WholeSessionTest() override {
    recorder.reset();
    link.reset();
  }

  // Runs the session against the processor; recorder then holds its traffic. A step that does
  // not end as it should fails the test and ends the session there.
  void runSession(std::shared_ptr<VirtualHidDevice> processor) {
    platform.plug(std::move(processor));
    link = std::make_unique<DeviceLink>(controller, working, prompts);
    recorder = std::make_unique<TrafficRecorder>(*link);
    link->setAcknowledgementLimit(kStepLimit);
    prompts.holdQuestions = true;
    link->attachHid();
    link->FormShow();
    ASSERT_TRUE(link->state().connected);

    link->SyncTick();  // the greeting; the sync question stays open
    ASSERT_TRUE(WaitUntil([&] { return link->lastStatus() && idle(); }, kStepLimit));
    ASSERT_TRUE(link->state().versionOk);

    ASSERT_TRUE(prompts.answerHeldQuestion(true));
    ASSERT_TRUE(link->waitForReadComplete(kStepLimit));
    ASSERT_TRUE(idle());
    ASSERT_EQ(link->lastReadResult(), BlockReadback::EndResult::kInstalled);

    struct Edit {
      const char* what;
      void (*apply)(settings::ParameterBlock& block);
      int flag;
    };
    const Edit edits[] = {
        {"mix fader 12", [](settings::ParameterBlock& b) { b.mix[2][0] = 0x80 | 33; },
         flag::kMixFaders.at(12)},
        {"EQ band 30", [](settings::ParameterBlock& b) { b.bands[30].gain = -75; },
         flag::kBands.at(30)},
        {"echo delay", [](settings::ParameterBlock& b) { b.echoA.delay = 250; },
         flag::kEchoDelay.first},
    };
    for (const Edit& edit : edits) {
      SCOPED_TRACE(edit.what);
      edit.apply(working);
      link->markChanged(edit.flag);
      link->SyncTick();
      ASSERT_EQ(link->awaitAcknowledgements(), WaitOutcome::kAcknowledged);
    }

    ASSERT_EQ(link->StoreBlockToDevice(kUploadSlot), StoreResult::kStored);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{});
  }

  // Every record sent has been acknowledged.
  bool idle() const { return link->insides().sender.outstandingRecords() == 0; }

  VirtualHidPlatform platform;
  HidDeviceController controller{platform};
  RecordingPrompts prompts;
  settings::ParameterBlock working = settings::FactoryDefaults();
  std::unique_ptr<DeviceLink> link;
  std::unique_ptr<TrafficRecorder> recorder;
};

}  // namespace kdsp::device::testing
