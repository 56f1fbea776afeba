// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of connection, reception and synchronisation against the simulated processor on the
// virtual HID bus.
#include <QTimer>
#include <algorithm>

#include "device/command_codes.h"
#include "link_fixture.h"

namespace kdsp::device {
namespace {

using testing::LinkFixture;
using testing::UnrelatedDevice;

TEST_F(LinkFixture, ConnectionGreetsAsksAndReadsTheWorkingSettingsOnYes) {
  processor = plugProcessor();
  working.bands[3].gain = 99;  // the read replaces this
  prompts.answerYes = true;
  startLink();
  EXPECT_TRUE(link->state().connected);
  ASSERT_TRUE(waitFor([&] { return link->state().readComplete; }));
  EXPECT_EQ(prompts.questions, (std::vector<std::string>{"Sync with connecting device?"}));
  ASSERT_GE(received.size(), 2u);
  EXPECT_EQ(received[0], code::kGreeting);
  EXPECT_EQ(received[1], code::kReadBlock);
  EXPECT_TRUE(working == processor->processor().working());
  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(LinkFixture, YesBeforeTheVersionReplySendsNoReadRequest) {
  processor = plugProcessor({.ackDelayMs = 300});
  prompts.answerYes = true;
  prompts.thinkMs = 0;
  startLink();
  waitFor([&] { return link->state().versionOk; });
  EXPECT_EQ(received, (std::vector<int>{code::kGreeting}));
  EXPECT_FALSE(link->state().readComplete);
}

// The sync question left on screen until the test answers it.
class SyncQuestionTest : public LinkFixture {
 protected:
  SyncQuestionTest() { prompts.holdQuestions = true; }

  // Connected, greeted, and asked; with the version reply in unless the options hold it back.
  void connectWithTheQuestionOpen(sim::SimOptions options = {}, bool versionFirst = true) {
    processor = plugProcessor(options);
    startLink();
    ASSERT_TRUE(waitFor([&] {
      return prompts.heldQuestions.size() == 1 && (!versionFirst || link->state().versionOk);
    }));
    EXPECT_TRUE(link->syncQuestionOpen());
    EXPECT_EQ(received, (std::vector<int>{code::kGreeting}));
  }
  // The request for the processor's working settings: 224 with [0xF0, 0x00].
  int workingSettingsReads() const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
      return l.starts_with("224 ") && l.ends_with(": F0 00");
    }));
  }
};

TEST_F(SyncQuestionTest, EditsReachTheProcessorWhileTheQuestionIsOpen) {
  connectWithTheQuestionOpen();
  working.bands[30].gain = -75;
  working.mix[2][0] = 0x80 | 33;
  link->markChanged(flag::kBands.at(30));
  link->markChanged(flag::kMixFaders.at(12));
  ASSERT_TRUE(waitFor([&] { return received.size() == 3; }));
  EXPECT_EQ(processor->processor().working().bands[30].gain, -75);
  EXPECT_EQ(processor->processor().working().mix[2][0], 0x80 | 33);
  EXPECT_TRUE(link->syncQuestionOpen());
  EXPECT_EQ(prompts.questions.size(), 1u);
}

TEST_F(SyncQuestionTest, TheAnswerReadsTheWorkingSettingsOnlyOnYesAfterTheVersionReply) {
  struct Case {
    const char* what;
    bool yes;
    bool versionFirst;
    int reads;
  };
  const Case cases[] = {
      {"Yes after the version reply", true, true, 1},
      {"Yes before any version reply", true, false, 0},
      {"No after the version reply", false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Without a version reply the greeting's answer is held back for longer than the test runs.
    sim::SimOptions options;
    if (!c.versionFirst) options.slowReplyMs = {{code::kGreeting, 600000}};
    connectWithTheQuestionOpen(options, c.versionFirst);
    working.bands[2].gain = 7;  // a read would replace it
    prompts.answerHeldQuestion(c.yes);
    EXPECT_FALSE(link->syncQuestionOpen());
    EXPECT_EQ(workingSettingsReads(), c.reads);
    if (c.reads == 1) {
      ASSERT_TRUE(link->waitForReadComplete(std::chrono::seconds(2)));
      EXPECT_TRUE(working == processor->processor().working());
    }
    WaitMs(50);  // a few ticks: nothing else goes out
    EXPECT_EQ(received.size(), 1u + c.reads);
    EXPECT_TRUE(prompts.messages.empty());

    link.reset();
    platform.unplug(processorId);
    working = settings::FactoryDefaults();
    received.clear();
    lines.clear();
    prompts.questions.clear();
  }
}

TEST_F(SyncQuestionTest, YesAfterTheProcessorWentSendsNoRead) {
  connectWithTheQuestionOpen();
  platform.unplug(processorId);
  ASSERT_TRUE(waitFor([&] { return !link->state().connected; }));
  prompts.answerHeldQuestion(true);
  EXPECT_EQ(workingSettingsReads(), 0);
  EXPECT_TRUE(prompts.messages.empty());  // not even "No connecting device!"
}

TEST_F(SyncQuestionTest, AProcessorPluggedInAgainIsGreetedAndTheOpenQuestionStandsForIt) {
  connectWithTheQuestionOpen();
  platform.unplug(processorId);
  ASSERT_TRUE(waitFor([&] { return !link->state().connected; }));
  received.clear();
  lines.clear();
  processor = plugProcessor();
  ASSERT_TRUE(waitFor([&] {
    return link->state().connected && received.size() == 1 &&
           link->insides().sender.outstandingRecords() == 0;  // the greeting was answered
  }));
  EXPECT_EQ(received, (std::vector<int>{code::kGreeting}));
  WaitMs(50);
  EXPECT_EQ(prompts.questions.size(), 1u);
  EXPECT_EQ(prompts.heldQuestions.size(), 1u);
  // Yes now reads from the processor that is there.
  prompts.answerHeldQuestion(true);
  EXPECT_EQ(workingSettingsReads(), 1);
  ASSERT_TRUE(link->waitForReadComplete(std::chrono::seconds(2)));
  EXPECT_TRUE(working == processor->processor().working());
}

TEST_F(SyncQuestionTest, AnAnswerAfterTheLinkIsGoneIsNotHeard) {
  connectWithTheQuestionOpen();
  link.reset();
  prompts.answerHeldQuestion(true);
  WaitMs(50);
  EXPECT_EQ(received, (std::vector<int>{code::kGreeting}));
}

TEST_F(LinkFixture, OneRecordPerTickInTableOrder) {
  connectAndGreet();
  link->syncTimer().stop();
  link->markChanged(flag::kPinkNoise.first);     // row 56
  link->markChanged(flag::Compressor(1).at(0));  // row 13
  link->markChanged(flag::kMasterFaders.at(1));  // row 3
  link->SyncTick();
  waitFor([&] { return received.size() == 1; }, 200);
  EXPECT_EQ(received, (std::vector<int>{code::kMasterMic}));
  link->syncTimer().start();
  ASSERT_TRUE(waitFor([&] { return received.size() == 3; }));
  EXPECT_EQ(received, (std::vector<int>{code::kMasterMic, code::kCompressor, code::kPinkNoise}));
  EXPECT_EQ(processor->processor().pinkNoiseMask(), link->state().pinkNoiseMask);
}

TEST_F(LinkFixture, EditsReachTheProcessorsWorkingBlock) {
  connectAndGreet();
  working.bands[30].gain = -75;
  working.filters[9].frequency = 140;
  working.mix[2][0] = 0x80 | 33;
  link->markChanged(flag::kBands.at(30));
  link->markChanged(flag::Filter(9).at(1));
  link->markChanged(flag::kMixFaders.at(12));
  ASSERT_TRUE(waitFor([&] { return received.size() == 3; }));
  const auto& remote = processor->processor().working();
  EXPECT_EQ(remote.bands[30].gain, -75);
  EXPECT_EQ(remote.filters[9].frequency, 140);
  EXPECT_EQ(remote.mix[2][0], 0x80 | 33);
}

TEST_F(LinkFixture, UploadIsThirtyOneAcknowledgedRecordsIntoTheSlot) {
  connectAndGreet();
  working.bands[44].gain = 55;
  EXPECT_EQ(link->StoreBlockToDevice(4), StoreResult::kStored);
  ASSERT_EQ(received.size(), 31u);
  for (int k = 0; k < 30; ++k) EXPECT_EQ(received[k], code::kBlockChunk);
  EXPECT_EQ(received[30], code::kStoreBlock);
  EXPECT_TRUE(processor->processor().slot(4) == working);
  EXPECT_TRUE(link->syncTimer().isActive());
}

TEST_F(LinkFixture, ProcessorThatNeverAcknowledgesEndsTheWaitWithAMessage) {
  connectAndGreet({.noAck = true});
  working.bands[20].gain = -33;
  link->setAcknowledgementLimit(std::chrono::milliseconds(200));
  EXPECT_EQ(link->StoreBlockToDevice(2), StoreResult::kNotAcknowledged);
  EXPECT_EQ(received, (std::vector<int>{code::kBlockChunk}));  // the next waits for the ack
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], message::kUploadNotAcknowledged);
  EXPECT_TRUE(link->syncTimer().isActive());
  EXPECT_FALSE(processor->processor().slot(2) == working);
}

TEST_F(LinkFixture, ReadBackWithBadChecksumInstallsTheFactoryDefaults) {
  connectAndGreet({.corruptChunk = 7});
  working.bands[1].gain = 12;
  ASSERT_TRUE(link->ReadBlockFromDevice(3, 3));
  ASSERT_TRUE(link->waitForReadComplete(std::chrono::seconds(2)));
  EXPECT_EQ(prompts.messages, (std::vector<std::string>{"Empty or checksum error record!"}));
  EXPECT_TRUE(working == settings::FactoryDefaults());
  EXPECT_EQ(link->lastReadResult(), BlockReadback::EndResult::kFactoryInstalled);
}

TEST_F(LinkFixture, WrongVersionStopsAllSending) {
  processor = plugProcessor({.version = 0x20});
  startLink();
  ASSERT_TRUE(waitFor([&] { return !prompts.messages.empty(); }));
  EXPECT_EQ(prompts.messages[0], "Version no match!");
  EXPECT_FALSE(link->state().versionOk);
  received.clear();
  link->markChanged(flag::kMasterFaders.at(0));
  WaitMs(100);
  EXPECT_TRUE(received.empty());
}

TEST_F(LinkFixture, UnplugDuringUploadEndsItsWaits) {
  connectAndGreet({.ackDelayMs = 40});
  QTimer::singleShot(150, [&] { platform.unplug(processorId); });
  EXPECT_EQ(link->StoreBlockToDevice(5), StoreResult::kDisconnected);
  EXPECT_FALSE(link->state().connected);
  EXPECT_LT(received.size(), 31u);
  EXPECT_EQ(link->insides().sender.outstandingRecords(), 0u);
  EXPECT_EQ(prompts.messages.back(), message::kUploadInterrupted);
}

// Plugs and unplugs an unrelated device every few milliseconds while the test runs.
class BusChurn {
 public:
  explicit BusChurn(VirtualHidPlatform& platform) : platform_(platform) {
    timer_.setInterval(15);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (plugged_ != 0) {
        platform_.unplug(std::exchange(plugged_, 0));
      } else {
        plugged_ = platform_.plug(std::make_shared<UnrelatedDevice>());
      }
      ++changes;
    });
    timer_.start();
  }
  ~BusChurn() {
    if (plugged_ != 0) platform_.unplug(plugged_);
  }
  int changes = 0;

 private:
  VirtualHidPlatform& platform_;
  QTimer timer_;
  std::uint32_t plugged_ = 0;
};

TEST_F(LinkFixture, UnrelatedDevicesComingAndGoingLeaveTransfersAlone) {
  int drops = 0;
  observer.connectionChanged = [&] { drops += !link->state().connected; };
  connectAndGreet({.ackDelayMs = 2});
  BusChurn churn(platform);
  working.bands[7].gain = -33;
  EXPECT_EQ(link->StoreBlockToDevice(4), StoreResult::kStored);
  settings::ParameterBlock stored = working;
  working = settings::FactoryDefaults();
  ASSERT_TRUE(link->ReadBlockFromDevice(4, 3));
  ASSERT_TRUE(link->waitForReadComplete(std::chrono::seconds(5)));
  EXPECT_EQ(link->lastReadResult(), BlockReadback::EndResult::kInstalled);
  EXPECT_TRUE(working == stored);
  EXPECT_GE(churn.changes, 2);
  EXPECT_EQ(drops, 0);
  EXPECT_EQ(prompts.questions.size(), 1u);  // the processor was not greeted or asked again
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(LinkFixture, AFailingReadIsAnUnplugEvenWithoutANotice) {
  connectAndGreet({.ackDelayMs = 40});
  QTimer::singleShot(100, [&] { processor->failNextRead(EIO); });
  EXPECT_EQ(link->StoreBlockToDevice(5), StoreResult::kDisconnected);
  EXPECT_FALSE(link->state().connected);
  EXPECT_EQ(link->lastLoss(), LinkLoss::kUnplugged);
  EXPECT_EQ(prompts.messages.back(), message::kUploadInterrupted);
  // Still on the bus: the next change finds it again and greets it.
  ASSERT_TRUE(waitFor([&] { return link->device() == nullptr; }));
  platform.plug(std::make_shared<UnrelatedDevice>());
  EXPECT_TRUE(waitFor([&] { return link->state().connected && prompts.questions.size() == 2; }));
}

TEST_F(LinkFixture, EveryReadStartsEmptyAndNamesTheChunksItLacks) {
  connectAndGreet();
  settings::ParameterBlock slot3 = settings::FactoryDefaults();
  slot3.bands[9].gain = 21;
  working = slot3;
  ASSERT_EQ(link->StoreBlockToDevice(3), StoreResult::kStored);
  PrepareBlockForUpload(slot3);

  struct Case {
    sim::SimOptions options;
    BlockReadback::EndResult result;
    std::string message;
  };
  // Options built by assignment: GCC 12 takes a designated initializer's map for uninitialised.
  const auto options = [](auto set) {
    sim::SimOptions o;
    set(o);
    return o;
  };
  const Case cases[] = {
      {options([](sim::SimOptions& o) { o.readEndOnly = true; }),
       BlockReadback::EndResult::kIncomplete,
       "The processor's settings arrived incomplete: chunks 0-29 of 30 did not arrive. Nothing "
       "was changed."},
      {options([](sim::SimOptions& o) { o.dropChunk = 7; }), BlockReadback::EndResult::kIncomplete,
       "The processor's settings arrived incomplete: chunk 7 of 30 did not arrive. Nothing was "
       "changed."},
  };
  for (const Case& c : cases) {
    // A whole read first: its block must not stand in for the broken one's.
    ASSERT_TRUE(link->ReadBlockFromDevice(3, 3));
    ASSERT_TRUE(link->waitForReadComplete(std::chrono::seconds(2)));
    ASSERT_TRUE(working == slot3);
    processor->processor().setOptions(c.options);
    working.bands[0].gain = 5;
    const settings::ParameterBlock before = working;
    prompts.messages.clear();
    ASSERT_TRUE(link->ReadBlockFromDevice(3, 3));
    ASSERT_TRUE(link->waitForReadComplete(std::chrono::seconds(2)));
    EXPECT_EQ(link->lastReadResult(), c.result);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message});
    EXPECT_TRUE(working == before);  // nothing installed
    processor->processor().setOptions({});
  }
}

}  // namespace
}  // namespace kdsp::device

namespace kdsp::device {
namespace {

using testing::RecordingProcessor;

TEST_F(LinkFixture, RecordsGoOutAsWholeOutputReports) {
  auto device = std::make_shared<RecordingProcessor>(65);
  platform.plug(device);
  startLink();
  ASSERT_TRUE(waitFor([&] { return !device->reports.empty(); }));
  const auto& greeting = device->reports[0];
  ASSERT_EQ(greeting.size(), 65u);
  const std::string text = ":E50001001A\r\n";
  EXPECT_EQ(greeting[0], 0);
  EXPECT_EQ(greeting[1], 15);
  EXPECT_EQ(std::string(greeting.begin() + 2, greeting.begin() + 15), text);
  EXPECT_TRUE(std::all_of(greeting.begin() + 15, greeting.end(), [](auto b) { return b == 0; }));
  EXPECT_EQ(link->insides().sender.outstandingRecords(), 1u);  // nobody acknowledges here
}

TEST_F(LinkFixture, RecordLongerThanTheOutputReportIsRefused) {
  auto device = std::make_shared<RecordingProcessor>(64);
  platform.plug(device);
  startLink();
  ASSERT_TRUE(waitFor([&] { return !device->reports.empty(); }));  // the greeting fits
  const std::uint8_t accepted[] = {kAcceptedVersion};
  link->HandleReply(code::kVersion, accepted);  // as if the processor had answered
  EXPECT_EQ(link->StoreBlockToDevice(1), StoreResult::kNotSent);
  EXPECT_EQ(prompts.messages, (std::vector<std::string>{"Size too large"}));
  EXPECT_EQ(device->reports.size(), 1u);  // the 65-byte chunk never went out
}

}  // namespace
}  // namespace kdsp::device
