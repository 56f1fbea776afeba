// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the block upload, the read request, the preparation and the read-back staging.
#include "device/block_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "device/record_receiver.h"
#include "device/replies.h"
#include "support/device_fakes.h"

namespace kdsp::device {
namespace {

using settings::ParameterBlock;
using testing::Line;

// Acknowledges every record at once, or stops answering after a number of waits.
class ScriptedHost : public TransferHost {
 public:
  explicit ScriptedHost(RecordSender& sender, LinkState& link) : sender_(sender), link_(link) {}
  void beginTransfer() override { ++begun; }
  void endTransfer() override { ++ended; }
  WaitOutcome waitForAcknowledgements() override {
    ++waits;
    if (waits == unplugAtWait) {
      link_.connected = false;
      sender_.resetOutstanding();
      return WaitOutcome::kDisconnected;
    }
    if (waits == silentFromWait) return WaitOutcome::kTimedOut;
    while (sender_.outstandingRecords() > 0) sender_.acknowledge();
    return WaitOutcome::kAcknowledged;
  }
  WaitOutcome lostLink() const override { return WaitOutcome::kDisconnected; }
  int begun = 0, ended = 0, waits = 0;
  int silentFromWait = -1, unplugAtWait = -1;

 private:
  RecordSender& sender_;
  LinkState& link_;
};

class TransferTest : public ::testing::Test {
 protected:
  TransferTest() {
    link.connected = true;
    link.windowShown = true;
    link.musicMaxVolume = 40;
    link.micMaxVolume = 33;
    sender.setTransport(&transport);
  }
  std::vector<std::vector<std::uint8_t>> decodedPayloads() {
    std::vector<std::vector<std::uint8_t>> out;
    RecordReceiver receiver([&](std::uint8_t, std::span<const std::uint8_t> p) {
      out.emplace_back(p.begin(), p.end());
    });
    for (const auto& t : transport.texts)
      receiver.receiveStream({reinterpret_cast<const std::uint8_t*>(t.data()), t.size()});
    return out;
  }

  LinkState link;
  testing::RecordingTransport transport;
  testing::RecordingPrompts prompts;
  RecordSender sender{link, prompts};
  ScriptedHost host{sender, link};
  BlockTransfer transfer{link, sender, host, prompts};
  ParameterBlock block = settings::FactoryDefaults();
};

TEST_F(TransferTest, UploadIsThirtyChunksAndOneStoreRecord) {
  EXPECT_EQ(transfer.StoreBlockToDevice(block, 3), StoreResult::kStored);
  ASSERT_EQ(transport.texts.size(), 31u);
  const auto payloads = decodedPayloads();
  ASSERT_EQ(payloads.size(), 31u);
  std::vector<std::uint8_t> image;
  for (int k = 0; k < 30; ++k) {
    EXPECT_EQ(transport.texts[k].substr(0, 3), ":E1");
    EXPECT_EQ(payloads[k].size(), k < 29 ? 26u : 14u) << k;
    EXPECT_EQ(payloads[k][0], 0x57);
    EXPECT_EQ(payloads[k][1], k);
    image.insert(image.end(), payloads[k].begin() + 2, payloads[k].end());
  }
  EXPECT_TRUE(std::equal(image.begin(), image.end(), block.bytes().begin(), block.bytes().end()));
  EXPECT_EQ(Line(transport.texts[30]), ":E20003032821CF");
  EXPECT_EQ(host.waits, 31);
  EXPECT_EQ(host.begun, 1);
  EXPECT_EQ(host.ended, 1);
}

TEST_F(TransferTest, PreparationDerivesEchoLinksMicSetsAndSumsTheBlock) {
  block.marker = 0;
  block.echoA.level = 70;
  block.echoA.repeat = 12;
  block.bands[3].gain = -45;
  block.micFlags = settings::kMicSetsLinked;
  PrepareBlockForUpload(block);
  EXPECT_EQ(block.marker, 0xF1);
  EXPECT_EQ(block.echoB.level, 70);
  EXPECT_EQ(block.echoB.repeat, 12);
  EXPECT_EQ(block.bands[51].gain, -45);
  EXPECT_EQ(0, std::memcmp(&block.bands[0], &block.bands[48], 15 * 8));
  EXPECT_EQ(block.checksum, settings::BlockChecksum(block));

  ParameterBlock unlinked = settings::FactoryDefaults();
  unlinked.micFlags = 0;
  unlinked.bands[3].gain = -45;
  PrepareBlockForUpload(unlinked);
  EXPECT_EQ(unlinked.bands[51].gain, 0);  // the second set is sent as it is
}

TEST_F(TransferTest, NotConnectedSendsNothingAndSaysWhy) {
  struct Case {
    const char* what;
    std::string accessProblem;
    std::string told;
  };
  const Case cases[] = {
      {"no processor", "", "No connecting device!"},
      {"a processor this user may not open", "Allow access with a udev rule",
       "Allow access with a udev rule"},
  };
  for (const Case& c : cases) {
    link.connected = false;
    link.accessProblem = c.accessProblem;
    prompts.messages.clear();
    EXPECT_EQ(transfer.StoreBlockToDevice(block, 1), StoreResult::kNotConnected) << c.what;
    EXPECT_FALSE(transfer.ReadBlockFromDevice(240, 0)) << c.what;
    EXPECT_TRUE(transport.texts.empty()) << c.what;
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{c.told, c.told})) << c.what;
    EXPECT_EQ(host.begun, 0) << c.what;
    EXPECT_EQ(NotConnectedText(link, "No device connecting!"),
              c.accessProblem.empty() ? "No device connecting!" : c.told)
        << c.what;
  }
}

TEST_F(TransferTest, BeforeTheWindowIsShownNothingIsSent) {
  link.windowShown = false;
  EXPECT_EQ(transfer.StoreBlockToDevice(block, 1), StoreResult::kWindowNotShown);
  EXPECT_TRUE(transport.texts.empty());
  EXPECT_EQ(block.checksum, settings::BlockChecksum(block));
  EXPECT_EQ(host.ended, 1);
}

TEST_F(TransferTest, MissingAcknowledgementStopsBeforeTheStoreRecord) {
  host.silentFromWait = 6;
  EXPECT_EQ(transfer.StoreBlockToDevice(block, 2), StoreResult::kNotAcknowledged);
  EXPECT_EQ(transport.texts.size(), 6u);
  for (const auto& t : transport.texts) EXPECT_EQ(t.substr(0, 3), ":E1");
  EXPECT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(host.ended, 1);  // the synchronisation runs again
}

TEST_F(TransferTest, AFailureAfterTheStoreRecordSaysTheSlotMayHaveChanged) {
  struct Case {
    int failingWait;
    bool unplug;
    StoreResult result;
    std::string_view message;
  };
  const Case cases[] = {
      {30, false, StoreResult::kNotAcknowledged, message::kUploadNotAcknowledged},
      {31, false, StoreResult::kStoreNotAcknowledged, message::kStoreNotAcknowledged},
      {30, true, StoreResult::kDisconnected, message::kUploadInterrupted},
      {31, true, StoreResult::kStoreDisconnected, message::kStoreInterrupted},
  };
  for (const Case& c : cases) {
    host.waits = 0;
    host.silentFromWait = host.unplugAtWait = -1;
    (c.unplug ? host.unplugAtWait : host.silentFromWait) = c.failingWait;
    link.connected = true;
    prompts.messages.clear();
    EXPECT_EQ(transfer.StoreBlockToDevice(block, 2), c.result) << c.failingWait;
    EXPECT_EQ(SlotMayHaveChanged(c.result), c.failingWait == 31);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{std::string(c.message)});
  }
}

TEST_F(TransferTest, UnplugDuringUploadEndsIt) {
  host.unplugAtWait = 10;
  EXPECT_EQ(transfer.StoreBlockToDevice(block, 2), StoreResult::kDisconnected);
  EXPECT_EQ(transport.texts.size(), 10u);
  EXPECT_EQ(sender.outstandingRecords(), 0u);
  EXPECT_EQ(host.ended, 1);
}

TEST_F(TransferTest, RecordsThatCannotGoOutStopTheUpload) {
  transport.result = TransmitResult::kTooLarge;  // a device with a short output report
  EXPECT_EQ(transfer.StoreBlockToDevice(block, 2), StoreResult::kNotSent);
  EXPECT_EQ(transport.texts.size(), 1u);
  EXPECT_EQ(prompts.messages, (std::vector<std::string>{"Size too large"}));
  EXPECT_EQ(host.waits, 0);

  transport.texts.clear();
  prompts.messages.clear();
  transport.result = TransmitResult::kDiscarded;  // the device went away between two records
  EXPECT_EQ(transfer.StoreBlockToDevice(block, 2), StoreResult::kNotSent);
  EXPECT_EQ(transport.texts.size(), 1u);
  EXPECT_EQ(prompts.messages, (std::vector<std::string>{"No connecting device!"}));
  EXPECT_EQ(host.ended, 2);
}

TEST_F(TransferTest, UploadStartsFromAZeroCount) {
  sender.SendByteCommand(0xE5, 0);  // never acknowledged
  EXPECT_EQ(transfer.StoreBlockToDevice(block, 0), StoreResult::kStored);
  EXPECT_EQ(transport.texts.size(), 32u);
}

TEST_F(TransferTest, ReadRequestClearsReadComplete) {
  link.readComplete = true;
  EXPECT_TRUE(transfer.ReadBlockFromDevice(240, 0));
  EXPECT_FALSE(link.readComplete);
  EXPECT_EQ(Line(transport.texts.at(0)), ":E00002F0002E");
  link.windowShown = false;
  EXPECT_FALSE(transfer.ReadBlockFromDevice(1, 3));
  EXPECT_EQ(transport.texts.size(), 1u);
}

class ReadbackTest : public ::testing::Test {
 protected:
  void sendChunks(const ParameterBlock& source) {
    std::array<std::uint8_t, 26> chunk{};
    for (int k = 0; k < kUploadChunkCount; ++k) {
      const auto n = ChunkPayload(source, k, chunk);
      readback.onChunk({chunk.data(), n});
    }
  }
  BlockReadback readback;
  ParameterBlock working = settings::FactoryDefaults();
  const std::uint8_t end[1] = {0x57};
};

TEST_F(ReadbackTest, WholeBlockWithRightChecksumIsInstalled) {
  ParameterBlock source = settings::FactoryDefaults();
  source.bands[20].gain = 77;
  source.mix[2][2] = 13;  // carried bytes travel too
  PrepareBlockForUpload(source);
  sendChunks(source);
  EXPECT_TRUE(readback.valid());
  EXPECT_EQ(readback.onEnd(end, working), BlockReadback::EndResult::kInstalled);
  EXPECT_TRUE(working == source);
}

TEST_F(ReadbackTest, WrongChecksumInstallsTheFactoryDefaults) {
  ParameterBlock source = settings::FactoryDefaults();
  source.bands[20].gain = 77;
  PrepareBlockForUpload(source);
  source.bands[20].gain = 78;
  sendChunks(source);
  working.bands[0].gain = 5;
  EXPECT_FALSE(readback.valid());
  EXPECT_EQ(readback.onEnd(end, working), BlockReadback::EndResult::kFactoryInstalled);
  EXPECT_TRUE(working == settings::FactoryDefaults());
}

TEST_F(ReadbackTest, OnlyWholeChunksWithTheMarkerAreTaken) {
  const std::uint8_t shortLast[4] = {0x57, 29, 0xAA, 0xAA};  // 2 of its 12 bytes
  readback.onChunk(shortLast);
  std::array<std::uint8_t, 26> tooFar{};
  tooFar[0] = 0x57;
  tooFar[1] = 29;
  tooFar[2] = 0xBB;
  readback.onChunk(tooFar);  // 696 + 24 > 708
  std::array<std::uint8_t, 26> noSuchChunk{};
  noSuchChunk[0] = 0x57;
  noSuchChunk[1] = 30;
  readback.onChunk(noSuchChunk);
  const std::uint8_t foreign[4] = {0x56, 0, 0xCC, 0xCC};
  readback.onChunk(foreign);
  EXPECT_EQ(readback.chunksReceived(), 0);
  EXPECT_EQ(readback.received()[696], 0);
  const std::uint8_t noMarker[1] = {0x00};
  EXPECT_EQ(readback.onEnd(noMarker, working), BlockReadback::EndResult::kNoBlock);
  EXPECT_EQ(readback.onEnd({}, working), BlockReadback::EndResult::kNoBlock);
}

TEST_F(ReadbackTest, AReadThatLostChunksInstallsNothingAndNamesThem) {
  ParameterBlock source = settings::FactoryDefaults();
  PrepareBlockForUpload(source);
  sendChunks(source);  // an earlier, whole read
  ASSERT_TRUE(readback.valid());

  struct Case {
    std::vector<int> lost;
    const char* missing;
  };
  const Case cases[] = {
      {{7}, "chunk 7"},
      {{3, 7}, "chunks 3 and 7"},
      {{0, 1, 2, 3, 4, 9, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29},
       "chunks 0-4, 9 and 12-29"},
  };
  for (const Case& c : cases) {
    readback.begin();
    std::array<std::uint8_t, 26> chunk{};
    for (int k = 0; k < kUploadChunkCount; ++k) {
      if (std::find(c.lost.begin(), c.lost.end(), k) != c.lost.end()) continue;
      readback.onChunk({chunk.data(), ChunkPayload(source, k, chunk)});
    }
    working.bands[0].gain = 5;
    const ParameterBlock before = working;
    EXPECT_FALSE(readback.valid());
    EXPECT_EQ(readback.onEnd(end, working), BlockReadback::EndResult::kIncomplete);
    EXPECT_TRUE(working == before);
    EXPECT_EQ(readback.missingChunks(), c.missing);
    EXPECT_EQ(readback.chunksReceived(), kUploadChunkCount - static_cast<int>(c.lost.size()));
  }

  // Only the end record: nothing of this read arrived, whatever the one before left.
  readback.begin();
  EXPECT_EQ(readback.onEnd(end, working), BlockReadback::EndResult::kIncomplete);
  EXPECT_EQ(IncompleteReadText(readback),
            "The processor's settings arrived incomplete: chunks 0-29 of 30 did not arrive. "
            "Nothing was changed.");
}

TEST(StatusReply, FieldsAndPasswordHighByteFirst) {
  const std::uint8_t payload[8] = {50, 45, 2, 9, 9, 0, 0x01, 0x2C};
  const auto status = ParseStatusReply(payload);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->musicMaxVolume, 50);
  EXPECT_EQ(status->micMaxVolume, 45);
  EXPECT_EQ(status->micEqMode, 2);
  EXPECT_EQ(status->panelUnlocked, 0);
  EXPECT_EQ(status->lockPassword, 300);
  const std::uint8_t unlocked[8] = {0, 0, 0, 0, 0, 7, 0, 0};
  EXPECT_EQ(ParseStatusReply(unlocked)->panelUnlocked, 255);
  EXPECT_FALSE(ParseStatusReply(std::span<const std::uint8_t>(payload, 7)));
}

}  // namespace
}  // namespace kdsp::device
