// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the simulated processor's answers: greeting, acknowledgements, block read-back and
// upload as the program's own receiver and read-back see them, the misbehaviour switches, and
// input that is not a clean record stream.
#include "sim/simulated_processor.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <random>

#include "device/block_transfer.h"
#include "device/command_codes.h"
#include "device/replies.h"
#include "sim_test_support.h"

namespace kdsp::sim {
namespace {

namespace code = device::code;
using settings::ParameterBlock;
using testing::Decode;
using testing::kAck;
using testing::Rec;
using testing::Record;
using testing::UploadText;

// The read-back as the program assembles it, and whether its checksum passed.
struct ReadBack {
  std::vector<Record> records;
  ParameterBlock block{};
  bool valid = false;
};

ReadBack ReadSlot(SimulatedProcessor& sim, std::uint8_t slot) {
  ReadBack out;
  out.records = Decode(sim.receive(Rec(code::kReadBlock, {slot, 3})));
  device::BlockReadback readback;
  for (const Record& r : out.records)
    if (r.command == code::kChunkReply) readback.onChunk(r.payload);
  std::memcpy(&out.block, readback.received().data(), settings::kBlockSize);
  out.valid = readback.valid();
  return out;
}

ParameterBlock EditedBlock() {
  ParameterBlock block = settings::FactoryDefaults();
  block.masterMusic = 17;
  block.bands[40].gain = -75;
  block.outputDelay[3] = 4560;
  block.reserved702[1] = 0x5A;  // carried bytes travel too
  return block;
}

TEST(SimulatedProcessorTest, GreetingIsAnsweredWithAckVersionAndStatus) {
  struct Case {
    const char* name;
    SimOptions options;
    Record version;
    Record status;
  };
  const Case cases[] = {
      {"default", {}, {code::kVersion, {0x21}}, {code::kStatus, {55, 55, 0, 0, 0, 255, 0, 0}}},
      {"other version",
       testing::Options([](SimOptions& o) { o.version = 0x20; }),
       {code::kVersion, {0x20}},
       {code::kStatus, {55, 55, 0, 0, 0, 255, 0, 0}}},
      {"locked 999",
       testing::Options([](SimOptions& o) { o.lockedPassword = 999; }),
       {code::kVersion, {0x21}},
       {code::kStatus, {55, 55, 0, 0, 0, 0, 0x03, 0xE7}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedProcessor sim(c.options);
    EXPECT_EQ(Decode(sim.receive(":E50001001A\r\n")),
              (std::vector<Record>{kAck, c.version, c.status}));
  }
}

TEST(SimulatedProcessorTest, EveryValidRecordIsAcknowledgedOnceAndBadOnesAreNot) {
  SimulatedProcessor sim;
  const std::string stream = Rec(code::kMasterMusic, {20}) + Rec(code::kBlockChunk, {0x57, 0}) +
                             ":F00001010F\r\n"  // wrong checksum
                             + Rec(code::kStoreBlock, {99, 1, 2}) + Rec(0x01) +
                             Rec(code::kPanelLock, {0}) + "noise without a colon\r\n";
  const auto records = Decode(sim.receive(stream));
  EXPECT_EQ(records, std::vector<Record>(5, kAck));
  EXPECT_EQ(sim.recordsReceived(), 5);
}

TEST(SimulatedProcessorTest, ReadOfTheWorkingSettingsReassemblesWithARightChecksum) {
  SimulatedProcessor sim;
  sim.receive(Rec(code::kMasterMusic, {42}));  // an edit must not spoil the read-back
  const ReadBack read = ReadSlot(sim, device::kWorkingSettingsSlot);
  ASSERT_EQ(read.records.size(), 32u);
  EXPECT_EQ(read.records.front(), kAck);
  for (int k = 0; k < 30; ++k) {
    const Record& chunk = read.records[1 + k];
    EXPECT_EQ(chunk.command, code::kChunkReply);
    ASSERT_GE(chunk.payload.size(), 2u);
    EXPECT_EQ(chunk.payload[0], 0x57);
    EXPECT_EQ(chunk.payload[1], k);
    EXPECT_EQ(chunk.payload.size(), k < 29 ? 26u : 14u);
  }
  EXPECT_EQ(read.records.back(), (Record{code::kEndReply, {0x57}}));
  EXPECT_TRUE(read.valid);
  EXPECT_EQ(read.block, sim.working());
  EXPECT_EQ(read.block.masterMusic, 42);
}

TEST(SimulatedProcessorTest, SlotsStartAsFactoryPresetsOrErased) {
  SimulatedProcessor sim;
  ParameterBlock factory = settings::FactoryDefaults();
  device::PrepareBlockForUpload(factory);
  struct Case {
    std::uint8_t slot;
    bool valid;
  };
  for (const Case c : {Case{0, true}, Case{9, true}, Case{10, false}, Case{11, false},
                       Case{12, false}, Case{239, false}, Case{255, false}}) {
    SCOPED_TRACE(int{c.slot});
    const ReadBack read = ReadSlot(sim, c.slot);
    EXPECT_EQ(read.records.size(), 32u);
    EXPECT_EQ(read.valid, c.valid);
    if (c.valid) {
      EXPECT_EQ(read.block, factory);
    } else {
      EXPECT_TRUE(std::all_of(read.block.bytes().begin(), read.block.bytes().end(),
                              [](std::uint8_t b) { return b == 0xFF; }));
    }
  }
}

TEST(SimulatedProcessorTest, UploadAndStoreLandInTheSlotAndReadBackWhole) {
  for (const std::uint8_t slot : {std::uint8_t{3}, std::uint8_t{11}, std::uint8_t{240}}) {
    SCOPED_TRACE(int{slot});
    SimulatedProcessor sim;
    std::vector<std::uint8_t> stored;
    sim.onStore = [&](std::uint8_t s) { stored.push_back(s); };
    const auto records = Decode(sim.receive(UploadText(EditedBlock(), slot, 60, 41)));
    EXPECT_EQ(records, std::vector<Record>(31, kAck));
    EXPECT_EQ(stored, std::vector<std::uint8_t>{slot});

    ParameterBlock expected = EditedBlock();
    device::PrepareBlockForUpload(expected);
    EXPECT_EQ(slot == 240 ? sim.working() : sim.slot(slot), expected);
    EXPECT_EQ(sim.musicMaxVolume(), 60);
    EXPECT_EQ(sim.micMaxVolume(), 41);
    const ReadBack read = ReadSlot(sim, slot);
    EXPECT_TRUE(read.valid);
    EXPECT_EQ(read.block, expected);
    // The other slots are untouched.
    EXPECT_EQ(sim.slot(slot == 3 ? 4 : 3), SimulatedProcessor().slot(3));
  }
}

TEST(SimulatedProcessorTest, StoreAfterABrokenUploadLeavesASlotThatFailsItsChecksum) {
  SimulatedProcessor sim;
  sim.receive(UploadText(EditedBlock(), 2));
  // A second upload that loses its chunk 7 must not store a mixture with the first one.
  std::string text = UploadText(EditedBlock(), 5);
  const std::size_t at = text.find(":E1001A5707");
  ASSERT_NE(at, std::string::npos);
  text.erase(at, 2 * 26 + 11);
  sim.receive(text);
  EXPECT_FALSE(ReadSlot(sim, 5).valid);
  EXPECT_TRUE(ReadSlot(sim, 2).valid);
}

TEST(SimulatedProcessorTest, BadChunksAndStoresChangeNothing) {
  SimulatedProcessor sim;
  const ParameterBlock slot4 = sim.slot(4);
  const std::string stream =
      Rec(code::kBlockChunk, {0x58, 0, 1, 2}) +  // wrong marker
      Rec(code::kBlockChunk, {0x57, 29, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}) +  // 709
      Rec(code::kBlockChunk, {0x57, 255, 1}) +  // far beyond the block
      Rec(code::kStoreBlock, {4, 1}) +          // too short
      Rec(code::kStoreBlock, {12, 1, 2});       // no slot 12
  EXPECT_EQ(Decode(sim.receive(stream)), std::vector<Record>(5, kAck));
  EXPECT_EQ(sim.slot(4), slot4);
  EXPECT_EQ(sim.musicMaxVolume(), 55);
}

TEST(SimulatedProcessorTest, NoAckSendsEverythingButAcknowledgements) {
  SimulatedProcessor sim(testing::Options([](SimOptions& o) { o.noAck = true; }));
  const auto records = Decode(sim.receive(Rec(code::kGreeting, {0}) + Rec(code::kMasterMic, {9})));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].command, code::kVersion);
  EXPECT_EQ(records[1].command, code::kStatus);
  EXPECT_EQ(sim.working().masterMic, 9);
}

TEST(SimulatedProcessorTest, AckDelayHoldsBackEveryReplyOfTheRecordAlike) {
  SimulatedProcessor sim(testing::Options([](SimOptions& o) { o.ackDelayMs = 250; }));
  const auto replies = sim.receive(Rec(code::kGreeting, {0}));
  ASSERT_EQ(replies.size(), 3u);
  EXPECT_EQ(Decode(replies).front(), kAck);
  for (const SimReply& r : replies) EXPECT_EQ(r.delayMs, 250);
}

TEST(SimulatedProcessorTest, CorruptChunkSpoilsOnlyTheBlockChecksum) {
  for (const int k : {0, 13, 29}) {
    SCOPED_TRACE(k);
    SimulatedProcessor sim(testing::Options([k](SimOptions& o) { o.corruptChunk = k; }));
    const ReadBack read = ReadSlot(sim, device::kWorkingSettingsSlot);
    EXPECT_EQ(read.records.size(), 32u);  // every record still passes its own checksum
    EXPECT_FALSE(read.valid);
    int differing = 0;
    for (std::size_t i = 0; i < settings::kBlockSize; ++i)
      differing += read.block.bytes()[i] != sim.working().bytes()[i];
    EXPECT_EQ(differing, 1);
    EXPECT_NE(read.block.bytes()[24 * k], sim.working().bytes()[24 * k]);
  }
}

// The chunk numbers of a read-back's chunk replies, in the order they came.
std::vector<int> ChunkNumbers(const std::vector<Record>& records) {
  std::vector<int> numbers;
  for (const Record& r : records)
    if (r.command == code::kChunkReply && r.payload.size() >= 2) numbers.push_back(r.payload[1]);
  return numbers;
}

std::vector<int> AllChunksBut(int missing) {
  std::vector<int> numbers;
  for (int k = 0; k < 30; ++k)
    if (k != missing) numbers.push_back(k);
  return numbers;
}

TEST(SimulatedProcessorTest, ReadFaultsLeaveChunksOutButAlwaysEndTheRead) {
  struct Case {
    const char* name;
    SimOptions options;
    std::size_t records;  // acknowledgement, chunk replies and end record
    std::vector<int> chunks;
  };
  const Case cases[] = {
      {"no fault", SimOptions(), 32, AllChunksBut(-1)},
      {"end only", testing::Options([](SimOptions& o) { o.readEndOnly = true; }), 2, {}},
      {"drop 0", testing::Options([](SimOptions& o) { o.dropChunk = 0; }), 31, AllChunksBut(0)},
      {"drop 13", testing::Options([](SimOptions& o) { o.dropChunk = 13; }), 31, AllChunksBut(13)},
      {"drop 29", testing::Options([](SimOptions& o) { o.dropChunk = 29; }), 31, AllChunksBut(29)},
      // A chunk that is both corrupt and dropped is simply missing.
      {"drop and corrupt 5",
       testing::Options([](SimOptions& o) { o.dropChunk = o.corruptChunk = 5; }), 31,
       AllChunksBut(5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedProcessor sim(c.options);
    const ReadBack read = ReadSlot(sim, 0);
    ASSERT_EQ(read.records.size(), c.records);
    EXPECT_EQ(read.records.front(), kAck);
    EXPECT_EQ(read.records.back(), (Record{code::kEndReply, {0x57}}));
    EXPECT_EQ(ChunkNumbers(read.records), c.chunks);
    EXPECT_EQ(read.valid, c.chunks.size() == 30);
    // Only the read is affected: the greeting is answered in full.
    EXPECT_EQ(Decode(sim.receive(Rec(code::kGreeting, {0}))).size(), 3u);
  }
}

TEST(SimulatedProcessorTest, ReadFaultsCanSpareTheFirstReadsOfALink) {
  SimulatedProcessor sim(testing::Options([](SimOptions& o) {
    o.readEndOnly = true;
    o.readFaultsFrom = 3;
  }));
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(ReadSlot(sim, 0).records.size(), 32u);
    EXPECT_EQ(ReadSlot(sim, 1).records.size(), 32u);
    EXPECT_EQ(ReadSlot(sim, 2).records.size(), 2u);
    EXPECT_EQ(ReadSlot(sim, 0).records.size(), 2u);
    sim.beginLink();  // a new connection counts its reads afresh
  }
}

TEST(SimulatedProcessorTest, SlowReplyDelaysEveryReplyOfTheChosenCommandsOnly) {
  struct Case {
    const char* name;
    SimOptions options;
    std::string input;
    std::vector<int> delays;  // of each reply, in order
  };
  const auto slow = [](std::map<std::uint8_t, int> ms, int ackDelayMs = 0) {
    return testing::Options([&](SimOptions& o) {
      o.slowReplyMs = ms;
      o.ackDelayMs = ackDelayMs;
    });
  };
  const std::string store = Rec(code::kStoreBlock, {3, 55, 55});
  const std::string chunk = Rec(code::kBlockChunk, {0x57, 0, 1, 2});
  const std::string mic = Rec(code::kMasterMic, {5});
  const Case cases[] = {
      {"store only", slow({{226, 3500}}), chunk + store + mic, {0, 3500, 0}},
      {"store in hex, on top of the general delay",
       slow({{0xE2, 3500}}, 100),
       chunk + store,
       {100, 3600}},
      {"read request", slow({{224, 11000}}), Rec(code::kReadBlock, {0, 3}),
       std::vector<int>(32, 11000)},
      {"greeting and chunks",
       slow({{229, 50}, {225, 7}}),
       Rec(code::kGreeting, {0}) + chunk,
       {50, 50, 50, 7}},
      {"a code never sent", slow({{1, 900}}), mic, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedProcessor sim(c.options);
    std::vector<int> delays;
    for (const SimReply& r : sim.receive(c.input)) delays.push_back(r.delayMs);
    EXPECT_EQ(delays, c.delays);
  }
}

TEST(SimulatedProcessorTest, CloseAfterCutsAnUploadOrAReadRightAfterTheNthRecord) {
  const std::string greeting = Rec(code::kGreeting, {0});
  const std::string upload = UploadText(EditedBlock(), 5);  // 30 chunks, then the store
  const std::string reads = Rec(code::kReadBlock, {0, 3}) + Rec(code::kReadBlock, {1, 3});
  struct Case {
    int closeAfter;
    std::string input;
    std::size_t replies;
    bool stored;
  };
  const Case cases[] = {
      {1, greeting + upload, 3, false},        // gone after the greeting
      {16, greeting + upload, 3 + 15, false},  // mid-upload: half the chunks, no store
      {31, greeting + upload, 3 + 30, false},  // every chunk but not the store
      {32, greeting + upload, 3 + 31, true},   // the store is answered, then the link goes
      {2, greeting + reads, 3 + 32, false},    // the first read whole, the second unanswered
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.closeAfter);
    SimulatedProcessor sim(testing::Options([&](SimOptions& o) { o.closeAfter = c.closeAfter; }));
    const ParameterBlock before = sim.slot(5);
    EXPECT_EQ(Decode(sim.receive(c.input)).size(), c.replies);
    EXPECT_TRUE(sim.linkDropped());
    EXPECT_EQ(sim.recordsReceived(), c.closeAfter);
    EXPECT_EQ(sim.slot(5) != before, c.stored);
  }
}

TEST(SimulatedProcessorTest, CloseAfterDropsTheLinkOnceTheNthRecordIsAnswered) {
  SimulatedProcessor sim(testing::Options([](SimOptions& o) { o.closeAfter = 2; }));
  EXPECT_FALSE(sim.linkDropped());
  // Three records in one input: the third is never seen.
  const auto records = Decode(sim.receive(Rec(code::kMasterMusic, {1}) + Rec(code::kGreeting, {0}) +
                                          Rec(code::kMasterMic, {7})));
  EXPECT_EQ(records.size(), 4u);  // ack; ack, version, status
  EXPECT_TRUE(sim.linkDropped());
  EXPECT_EQ(sim.working().masterMic, 30);
  EXPECT_TRUE(sim.receive(Rec(code::kGreeting, {0})).empty());
  // A new connection is served again, with the slots kept.
  sim.beginLink();
  EXPECT_FALSE(sim.linkDropped());
  EXPECT_EQ(sim.working().masterMusic, 1);
  EXPECT_EQ(Decode(sim.receive(Rec(code::kMasterMic, {7}))), std::vector<Record>{kAck});
}

TEST(SimulatedProcessorTest, CloseAfterZeroDropsEveryLinkAtOnce) {
  SimulatedProcessor sim(testing::Options([](SimOptions& o) { o.closeAfter = 0; }));
  EXPECT_TRUE(sim.linkDropped());
  EXPECT_TRUE(sim.receive(Rec(code::kGreeting, {0})).empty());
}

TEST(SimulatedProcessorTest, RecordSplitAcrossTwoInputsIsAnsweredOnce) {
  SimulatedProcessor sim;
  const std::string greeting = Rec(code::kGreeting, {0});
  EXPECT_TRUE(sim.receive(greeting.substr(0, 6)).empty());
  EXPECT_EQ(Decode(sim.receive(greeting.substr(6))).size(), 3u);
}

TEST(SimulatedProcessorTest, NewLinkForgetsARecordBegunOnTheOldOne) {
  SimulatedProcessor sim;
  sim.receive(std::string_view(":E5000"));
  sim.beginLink();
  // Without the reset the tail would complete the old beginning into a greeting.
  EXPECT_TRUE(sim.receive(std::string_view("1001A\r\n")).empty());
}

TEST(SimulatedProcessorTest, RecordLogDescribesEachRecordReceived) {
  SimulatedProcessor sim;
  std::vector<std::string> lines;
  sim.onRecordLog = [&](std::string_view line) { lines.emplace_back(line); };
  sim.receive(Rec(code::kGreeting, {0}) + Rec(code::kReadBlock, {0xF0, 0x00}) + Rec(0x01));
  EXPECT_EQ(lines, (std::vector<std::string>{"229 (E5) greeting: 00", "224 (E0) read block: F0 00",
                                             "1 (01) unknown:"}));
}

TEST(SimulatedProcessorTest, GarbageNeverCrashesAndTheLinkRecovers) {
  std::mt19937 random(20240611);
  // Bytes biased towards record characters, so that many near-records are formed.
  static const char kAlphabet[] = ":::0123456789ABCDEF\r\n\r\nxz\0\xFF";
  const std::string_view alphabet(kAlphabet, sizeof kAlphabet - 1);
  SimulatedProcessor sim;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(random() % 300, '\0');
    for (char& c : bytes) c = alphabet[random() % alphabet.size()];
    sim.receive(bytes);
  }
  // Well-formed records with random codes and payloads reach every command's checks.
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::uint8_t> payload(random() % 30);
    for (auto& b : payload) b = static_cast<std::uint8_t>(random());
    const std::uint8_t command = round % 2 ? static_cast<std::uint8_t>(random())
                                           : static_cast<std::uint8_t>(160 + random() % 80);
    const auto records = Decode(sim.receive(Rec(command, payload)));
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front(), kAck);
  }
  sim.receive(std::string_view("\r\n"));  // ends any record begun by the garbage
  EXPECT_EQ(Decode(sim.receive(Rec(code::kGreeting, {0}))).size(), 3u);
  EXPECT_EQ(Decode(sim.receive(Rec(code::kReadBlock, {0xF0, 0}))).size(), 32u);
}

}  // namespace
}  // namespace kdsp::sim
