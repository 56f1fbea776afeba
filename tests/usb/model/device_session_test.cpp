// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of what kdsp-usb-device prints and does between its input, the kernel and the
// simulator: a carrier stands in for the kernel, and time is stepped by hand.
#include "device_session.h"

#include <gtest/gtest.h>

#include <deque>

#include "device/command_codes.h"
#include "device/record_codec.h"
#include "sim/simulated_processor.h"
#include "usb_test_support.h"

namespace kdsp::usbmodel {
namespace {

using namespace std::chrono_literals;
using testing::OutputData;
using Clock = DeviceSession::Clock;

// The kernel's side of one plug, played by the test.
struct FakeCarrier : DeviceCarrier {
  DeviceSession::OutputSink sink;
  std::deque<std::vector<std::uint8_t>> fromHost;  // output reports the host has sent
  // Kept by the test, as the session deletes its carrier when it unplugs.
  std::vector<std::string>* delivered = nullptr;  // record texts of the input reports
  bool enumeratedNow = false;
  bool nodePresent = true;
  bool holding = false;
  bool letGo = false;
  bool* unplugged = nullptr;

  int pollFd() const override { return 42; }
  bool service(std::string* error) override {
    if (letGo) {
      *error = "the kernel let go";
      return false;
    }
    for (; !fromHost.empty(); fromHost.pop_front()) sink(fromHost.front());
    return true;
  }
  bool deliver(std::span<const std::uint8_t> report, std::string*) override {
    delivered->emplace_back(reinterpret_cast<const char*>(report.data() + 1), report[0]);
    return true;
  }
  bool enumerated() const override { return enumeratedNow; }
  bool hidrawPresent() const override { return nodePresent; }
  bool holdsReports() const override { return holding; }
  bool unplug(std::string*) override {
    *unplugged = true;
    return true;
  }
};

constexpr std::string_view kGreeting = ":E50001001A\r\n";
constexpr std::string_view kAck = ":F00001010E\r\n";
constexpr std::string_view kVersion = ":E6000121F8\r\n";
constexpr std::string_view kStatus = ":BA00083737000000FF0000D1\r\n";

class DeviceSessionTest : public ::testing::Test {
 protected:
  explicit DeviceSessionTest(sim::SimOptions options = {}, bool mute = false)
      : processor_(options), reports_(mute ? nullptr : &processor_) {
    processor_.onRecordLog = [this](std::string_view line) {
      out_.push_back("record " + std::string(line));
    };
  }

  DeviceSession& session() {
    if (!session_) {
      session_ = std::make_unique<DeviceSession>(
          reports_,
          [this](DeviceSession::OutputSink sink,
                 std::string* error) -> std::unique_ptr<DeviceCarrier> {
            ++plugs_;
            if (failNextPlug_) {
              *error = "no free port";
              return nullptr;
            }
            auto carrier = std::make_unique<FakeCarrier>();
            carrier->sink = std::move(sink);
            carrier->unplugged = &carrierUnplugged_;
            carrier->delivered = &delivered_;
            carrierUnplugged_ = false;
            delivered_.clear();
            carrier_ = carrier.get();
            return carrier;
          },
          [this](std::string_view line) { out_.emplace_back(line); },
          [this](std::string_view line) { err_.emplace_back(line); });
    }
    return *session_;
  }

  // Plugged and enumerated at t0.
  void plugIn() {
    ASSERT_TRUE(session().plug(t0_));
    carrier_->enumeratedNow = true;
    session().carrierReadable(t0_);
    ASSERT_EQ(out_, std::vector<std::string>{"plugged"});
    out_.clear();
  }

  void hostWrites(std::string_view text, Clock::time_point at) {
    carrier_->fromHost.push_back(OutputData(text));
    session().carrierReadable(at);
  }

  sim::SimulatedProcessor processor_;
  ProcessorReports reports_;
  std::unique_ptr<DeviceSession> session_;
  FakeCarrier* carrier_ = nullptr;
  bool carrierUnplugged_ = false;
  std::vector<std::string> delivered_;  // by the carrier of the last plug
  bool failNextPlug_ = false;
  int plugs_ = 0;
  std::vector<std::string> out_;
  std::vector<std::string> err_;
  const Clock::time_point t0_ = Clock::time_point{} + 1h;
};

TEST_F(DeviceSessionTest, PluggedIsPrintedOnceTheKernelHasTheDeviceAndOnlyOnce) {
  ASSERT_TRUE(session().plug(t0_));
  EXPECT_TRUE(out_.empty());
  session().carrierReadable(t0_);
  EXPECT_TRUE(out_.empty());  // enumeration under way
  carrier_->enumeratedNow = true;
  session().carrierReadable(t0_ + 5ms);
  session().carrierReadable(t0_ + 6ms);
  EXPECT_EQ(out_, std::vector<std::string>{"plugged"});
}

TEST_F(DeviceSessionTest, PluggedWaitsForTheHidrawNodeSoReadersFindIt) {
  ASSERT_TRUE(session().plug(t0_));
  carrier_->enumeratedNow = true;
  carrier_->nodePresent = false;
  session().carrierReadable(t0_);
  EXPECT_TRUE(out_.empty());
  // Nothing on the descriptor tells when the node comes: the session looks again soon.
  EXPECT_EQ(session().nextWake(), t0_ + DeviceSession::kNodePoll);
  session().tick(t0_ + 10ms);
  EXPECT_TRUE(out_.empty());
  carrier_->nodePresent = true;
  session().tick(t0_ + 20ms);
  EXPECT_EQ(out_, std::vector<std::string>{"plugged"});
  EXPECT_TRUE(err_.empty());
  EXPECT_FALSE(session().nextWake());
}

TEST_F(DeviceSessionTest, ANodeThatNeverShowsDelaysPluggedOnlyForAWhile) {
  ASSERT_TRUE(session().plug(t0_));
  carrier_->enumeratedNow = true;
  carrier_->nodePresent = false;
  session().carrierReadable(t0_ + 1s);
  session().tick(t0_ + 1s + DeviceSession::kNodeWait - 1ms);
  EXPECT_TRUE(out_.empty());
  session().tick(t0_ + 1s + DeviceSession::kNodeWait);
  EXPECT_EQ(out_, std::vector<std::string>{"plugged"});
  EXPECT_EQ(err_.size(), 1u);
}

TEST_F(DeviceSessionTest, AGreetingIsLoggedAndItsRepliesGoOutInOrder) {
  plugIn();
  hostWrites(kGreeting, t0_);
  EXPECT_EQ(out_, std::vector<std::string>{"record 229 (E5) greeting: 00"});
  EXPECT_EQ(delivered_, (std::vector<std::string>{std::string(kAck), std::string(kVersion),
                                                  std::string(kStatus)}));
  EXPECT_FALSE(session().nextWake());
}

class SlowGreetingTest : public DeviceSessionTest {
 protected:
  SlowGreetingTest() : DeviceSessionTest(Slow()) {}
  static sim::SimOptions Slow() {
    sim::SimOptions options;
    options.slowReplyMs[229] = 300;
    return options;
  }
};

TEST_F(SlowGreetingTest, ASlowReplyComesWhenDueAndWhatFollowsWaitsBehindIt) {
  plugIn();
  hostWrites(kGreeting, t0_);
  // A record whose acknowledgement is not slow.
  const std::uint8_t volume[] = {20};
  hostWrites(device::EncodedRecord(device::code::kMasterMusic, volume).textView(), t0_ + 10ms);
  EXPECT_TRUE(delivered_.empty());
  EXPECT_EQ(session().nextWake(), t0_ + 300ms);
  session().tick(t0_ + 299ms);
  EXPECT_TRUE(delivered_.empty());
  session().tick(t0_ + 300ms);
  EXPECT_EQ(delivered_, (std::vector<std::string>{std::string(kAck), std::string(kVersion),
                                                  std::string(kStatus), std::string(kAck)}));
}

TEST_F(DeviceSessionTest, UnplugAndPlugStartANewLinkAndAnswerEachCommand) {
  plugIn();
  // Half a record, then the device is pulled: the rest after the new plug is no record.
  hostWrites(kGreeting.substr(0, 6), t0_);
  EXPECT_TRUE(session().command("unplug", t0_));
  EXPECT_TRUE(carrierUnplugged_);
  EXPECT_FALSE(session().plugged());
  EXPECT_EQ(session().pollFd(), -1);
  EXPECT_TRUE(session().command(" unplug \r", t0_));  // already out: still answered
  EXPECT_EQ(out_, (std::vector<std::string>{"unplugged", "unplugged"}));
  out_.clear();

  EXPECT_TRUE(session().command("plug", t0_ + 1s));
  EXPECT_EQ(plugs_, 2);
  EXPECT_EQ(session().pollFd(), 42);
  carrier_->enumeratedNow = true;
  hostWrites(kGreeting.substr(6), t0_ + 1s);
  EXPECT_EQ(out_, std::vector<std::string>{"plugged"});
  EXPECT_TRUE(delivered_.empty());
  hostWrites(kGreeting, t0_ + 1s);
  EXPECT_EQ(out_, (std::vector<std::string>{"plugged", "record 229 (E5) greeting: 00"}));
}

TEST_F(DeviceSessionTest, RepliesStillWaitingWhenTheDeviceIsPulledAreNotSentToTheNextPlug) {
  processor_.setOptions([] {
    sim::SimOptions o;
    o.ackDelayMs = 100;
    return o;
  }());
  plugIn();
  hostWrites(kGreeting, t0_);
  session().command("unplug", t0_ + 10ms);
  session().command("plug", t0_ + 20ms);
  carrier_->enumeratedNow = true;
  session().carrierReadable(t0_ + 20ms);
  session().tick(t0_ + 500ms);
  EXPECT_TRUE(delivered_.empty());
}

TEST_F(DeviceSessionTest, AKernelThatLetsGoIsAnUnplug) {
  plugIn();
  carrier_->letGo = true;
  session().carrierReadable(t0_);
  EXPECT_EQ(out_, std::vector<std::string>{"unplugged"});
  EXPECT_EQ(err_, std::vector<std::string>{"the kernel let go"});
  EXPECT_FALSE(session().plugged());
}

TEST_F(DeviceSessionTest, APlugThatFailsSaysSo) {
  failNextPlug_ = true;
  EXPECT_FALSE(session().plug(t0_));
  EXPECT_EQ(out_, std::vector<std::string>{"plug failed"});
  EXPECT_EQ(err_, std::vector<std::string>{"no free port"});
  EXPECT_FALSE(session().plugged());
}

TEST_F(DeviceSessionTest, CommandsAreQuitPlugAndUnplug) {
  plugIn();
  EXPECT_TRUE(session().command("", t0_));
  EXPECT_TRUE(session().command("dance", t0_));
  EXPECT_EQ(err_, std::vector<std::string>{"unknown command 'dance' (plug, unplug or quit)"});
  EXPECT_TRUE(session().command("plug", t0_));  // plugged already: answered again
  EXPECT_EQ(plugs_, 1);
  EXPECT_EQ(out_, std::vector<std::string>{"plugged"});
  EXPECT_FALSE(session().command("quit\r", t0_));
}

class CloseAfterOneTest : public DeviceSessionTest {
 protected:
  CloseAfterOneTest() : DeviceSessionTest(CloseAfterOne()) {}
  static sim::SimOptions CloseAfterOne() {
    sim::SimOptions options;
    options.closeAfter = 1;
    return options;
  }
};

TEST_F(CloseAfterOneTest, TheDeviceUnplugsItselfOnceTheLastRepliesAreOut) {
  plugIn();
  hostWrites(kGreeting, t0_);
  EXPECT_EQ(delivered_.size(), 3u);
  EXPECT_EQ(out_, (std::vector<std::string>{"record 229 (E5) greeting: 00", "unplugged"}));
  EXPECT_TRUE(carrierUnplugged_);
}

TEST_F(CloseAfterOneTest, RepliesTheHostHasNotFetchedGetAGracePeriod) {
  plugIn();
  carrier_->holding = true;
  hostWrites(kGreeting, t0_);
  EXPECT_TRUE(session().plugged());
  EXPECT_EQ(session().nextWake(), t0_ + DeviceSession::kDropGrace);
  session().tick(t0_ + DeviceSession::kDropGrace - 1ms);
  EXPECT_TRUE(session().plugged());
  // The host fetches them: out at once.
  carrier_->holding = false;
  session().carrierReadable(t0_ + 500ms);
  EXPECT_FALSE(session().plugged());

  // And when it never does, the device goes when the grace is over.
  ASSERT_TRUE(session().plug(t0_ + 2s));
  carrier_->enumeratedNow = true;
  carrier_->holding = true;
  hostWrites(kGreeting, t0_ + 2s);
  session().tick(t0_ + 2s + DeviceSession::kDropGrace);
  EXPECT_FALSE(session().plugged());
  EXPECT_EQ(out_.back(), "unplugged");
}

class CloseAtOnceTest : public DeviceSessionTest {
 protected:
  CloseAtOnceTest() : DeviceSessionTest(CloseAtOnce()) {}
  static sim::SimOptions CloseAtOnce() {
    sim::SimOptions options;
    options.closeAfter = 0;
    return options;
  }
};

TEST_F(CloseAtOnceTest, CloseAfterZeroUnplugsRightAfterTheKernelHasTheDevice) {
  ASSERT_TRUE(session().plug(t0_));
  session().tick(t0_);
  EXPECT_TRUE(session().plugged());  // not before the kernel has it
  carrier_->enumeratedNow = true;
  session().carrierReadable(t0_);
  EXPECT_EQ(out_, (std::vector<std::string>{"plugged", "unplugged"}));
}

class MuteTest : public DeviceSessionTest {
 protected:
  MuteTest() : DeviceSessionTest({}, true) {}
};

TEST_F(MuteTest, AMuteDeviceTakesReportsAndNeverAnswers) {
  plugIn();
  hostWrites(kGreeting, t0_);
  session().tick(t0_ + 1h);
  EXPECT_TRUE(delivered_.empty());
  EXPECT_TRUE(out_.empty());  // nothing reached a processor
  EXPECT_EQ(processor_.recordsReceived(), 0);
}

}  // namespace
}  // namespace kdsp::usbmodel
