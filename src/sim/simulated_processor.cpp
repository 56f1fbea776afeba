// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor's answers to the records it receives.
#include "sim/simulated_processor.h"

#include <array>
#include <cstring>
#include <utility>

#include "device/block_transfer.h"
#include "device/command_codes.h"
#include "device/record_codec.h"
#include "sim/parameter_commands.h"
#include "sim/sim_state_file.h"

namespace kdsp::sim {
namespace {

namespace code = device::code;

constexpr std::uint8_t kAckPayload[] = {1};
constexpr std::uint8_t kEndPayload[] = {device::kChunkMarker};

}  // namespace

SimulatedProcessor::SimulatedProcessor(SimOptions options)
    : options_(options),
      state_(FreshDeviceState()),
      staging_(ErasedBlock()),
      receiver_(makeReceiver()) {
  applyLockOption();
  beginLink();
}

std::vector<SimReply> SimulatedProcessor::receive(std::span<const std::uint8_t> bytes) {
  if (dropped_) return {};
  replies_.clear();
  receiver_.receiveStream(bytes);
  return std::exchange(replies_, {});
}

std::vector<SimReply> SimulatedProcessor::receive(std::string_view text) {
  return receive({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void SimulatedProcessor::beginLink() {
  // A fresh receiver forgets a record whose beginning came over the old link.
  receiver_ = makeReceiver();
  received_ = 0;
  readsOnLink_ = 0;
  dropped_ = options_.closeAfter == 0;
}

device::RecordReceiver SimulatedProcessor::makeReceiver() {
  return device::RecordReceiver(
      [this](std::uint8_t command, std::span<const std::uint8_t> payload) {
        onRecord(command, payload);
      });
}

const settings::ParameterBlock& SimulatedProcessor::slot(int s) const {
  return s >= 0 && s < kSlotCount ? state_.presetSlots[s] : ErasedBlock();
}

void SimulatedProcessor::onRecord(std::uint8_t command, std::span<const std::uint8_t> payload) {
  // Records that follow the last one answered in the same input are never seen: the link is
  // already gone.
  if (dropped_) return;
  ++received_;
  if (onRecordLog) onRecordLog(DescribeRecord(command, payload));
  replyDelayMs_ = options_.ackDelayMs;
  if (const auto slow = options_.slowReplyMs.find(command); slow != options_.slowReplyMs.end())
    replyDelayMs_ += slow->second;
  // The acknowledgement goes first, so nothing this record causes overtakes it.
  if (!options_.noAck) reply(code::kAcknowledge, kAckPayload);
  switch (command) {
    case code::kGreeting:
      answerGreeting();
      break;
    case code::kReadBlock:
      answerRead(payload);
      break;
    case code::kBlockChunk:
      takeChunk(payload);
      break;
    case code::kStoreBlock:
      store(payload);
      break;
    default:
      // Parameters and the panel lock; anything else is acknowledged and otherwise ignored.
      ApplyParameterCommand(state_, command, payload);
      break;
  }
  if (options_.closeAfter >= 0 && received_ >= options_.closeAfter) dropped_ = true;
}

void SimulatedProcessor::reply(std::uint8_t command, std::span<const std::uint8_t> payload) {
  const device::EncodedRecord record(command, payload);
  // Every reply of a record carries the same delay, so the acknowledgement that went first
  // still arrives first.
  replies_.push_back({std::string(record.textView()), replyDelayMs_});
}

void SimulatedProcessor::answerGreeting() {
  const std::uint8_t version[] = {options_.version};
  reply(code::kVersion, version);
  // Bytes 3 and 4 are reserved; the device sends them as 0.
  const std::uint8_t status[] = {state_.musicMaxVolume,
                                 state_.micMaxVolume,
                                 state_.micEqMode,
                                 0,
                                 0,
                                 panelUnlocked(),
                                 static_cast<std::uint8_t>(state_.password >> 8),
                                 static_cast<std::uint8_t>(state_.password & 0xFF)};
  reply(code::kStatus, status);
}

void SimulatedProcessor::answerRead(std::span<const std::uint8_t> payload) {
  if (payload.empty()) return;
  // The mode byte does not change what is sent: the block is read, never recalled.
  const std::uint8_t s = payload[0];
  const settings::ParameterBlock& block =
      s == device::kWorkingSettingsSlot ? state_.working : slot(s);
  const bool faulty = ++readsOnLink_ >= options_.readFaultsFrom;
  std::array<std::uint8_t, 2 + device::kChunkBytes> chunk{};
  for (int k = 0; k < device::kUploadChunkCount; ++k) {
    // A chunk left out is not made up for: the end record still comes, so the program has to
    // notice the gap itself rather than wait for it.
    if (faulty && (options_.readEndOnly || k == options_.dropChunk)) continue;
    const std::size_t n = device::ChunkPayload(block, k, chunk);
    // One bit of one block byte flipped: the record stays well-formed, the block sum does not.
    if (faulty && k == options_.corruptChunk) chunk[2] ^= 0x01;
    reply(code::kChunkReply, std::span<const std::uint8_t>(chunk.data(), n));
  }
  reply(code::kEndReply, kEndPayload);
}

void SimulatedProcessor::takeChunk(std::span<const std::uint8_t> payload) {
  if (payload.size() < 2 || payload[0] != device::kChunkMarker) return;
  const std::size_t offset = std::size_t{payload[1]} * device::kChunkBytes;
  const std::size_t n = payload.size() - 2;
  if (offset + n > settings::kBlockSize) return;
  std::memcpy(staging_.bytes().data() + offset, payload.data() + 2, n);
}

void SimulatedProcessor::store(std::span<const std::uint8_t> payload) {
  if (payload.size() != 3) return;
  const std::uint8_t s = payload[0];
  if (s == device::kWorkingSettingsSlot) {
    state_.working = staging_;
    SeedEchoOffsets(state_);
  } else if (s < kSlotCount) {
    state_.presetSlots[s] = staging_;
  } else {
    return;  // no such slot: nothing is stored
  }
  state_.musicMaxVolume = payload[1];
  state_.micMaxVolume = payload[2];
  // A store only ever ends an upload. Each upload starts from an erased staging block, so a
  // store after a broken upload leaves a slot that fails its checksum rather than a stale
  // copy of the previous upload.
  staging_ = ErasedBlock();
  if (onStore) onStore(s);
}

void SimulatedProcessor::applyLockOption() {
  if (!options_.lockedPassword) return;
  state_.unlocked = false;
  state_.password = *options_.lockedPassword;
}

bool SimulatedProcessor::loadState(const std::filesystem::path& path, std::string* error) {
  DeviceState loaded = state_;
  if (!ReadStateFile(path, loaded, error)) return false;
  state_ = loaded;
  applyLockOption();
  return true;
}

bool SimulatedProcessor::saveState(const std::filesystem::path& path, std::string* error) const {
  return WriteStateFile(path, state_, error);
}

std::string DescribeRecord(std::uint8_t command, std::span<const std::uint8_t> payload) {
  const auto hex = device::ByteToHex(command);
  const std::string_view name = device::CommandName(command);
  std::string line = std::to_string(command) + " (" + std::string(hex.data(), 2) + ") " +
                     std::string(name.empty() ? "unknown" : name) + ":";
  for (std::uint8_t b : payload) {
    const auto h = device::ByteToHex(b);
    line += ' ';
    line.append(h.data(), 2);
  }
  return line;
}

}  // namespace kdsp::sim
