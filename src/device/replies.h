// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's replies: the version, the acknowledgement, the status report and the staging
// of a block being read back.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/command_codes.h"
#include "settings/parameter_block.h"

namespace kdsp::device {

// The version reply (230): the processor's version byte, and whether this program speaks it.
struct VersionReply {
  std::uint8_t version;
  bool accepted;
};

// Reads a version reply; nothing when it carries no byte.
std::optional<VersionReply> ParseVersionReply(std::span<const std::uint8_t> payload);

// Whether an acknowledgement (240) says the processor took the record: its first byte is 1.
// Anything else, an empty one included, acknowledges nothing.
bool IsAcknowledgement(std::span<const std::uint8_t> payload);

struct StatusReply {
  std::uint8_t musicMaxVolume;
  std::uint8_t micMaxVolume;
  std::uint8_t micEqMode;
  std::uint8_t panelUnlocked;  // 255 unlocked, 0 locked
  std::uint16_t lockPassword;
};

// Reads a status reply (186); nothing when the payload is too short to hold one.
std::optional<StatusReply> ParseStatusReply(std::span<const std::uint8_t> payload);

// Collects the chunk replies of one block read and installs the block at the end reply. Each
// read starts empty and counts which of its chunks arrived, so a read that lost chunks never
// passes off bytes of an earlier read as its own.
class BlockReadback {
 public:
  enum class EndResult {
    kInstalled,         // every chunk arrived and the block's checksum holds
    kFactoryInstalled,  // every chunk arrived, the checksum is wrong: factory defaults installed
    kIncomplete,        // chunks are missing: nothing installed
    kNoBlock,           // an end reply without the chunk marker: nothing installed
  };

  // A new read was asked for: nothing of it has arrived yet.
  void begin();
  // A chunk reply (206). Only a chunk with the marker and exactly its share of the block (24
  // bytes, 12 for the last) is taken.
  void onChunk(std::span<const std::uint8_t> payload);
  // The end reply (207).
  EndResult onEnd(std::span<const std::uint8_t> payload, settings::ParameterBlock& working);

  // Every chunk of this read arrived and the block's checksum holds.
  bool valid() const;
  int chunksReceived() const { return static_cast<int>(arrived_.count()); }
  // The chunk numbers that have not arrived, as "chunk 7", "chunks 3 and 7" or
  // "chunks 0-4, 9 and 12-29"; empty when none is missing.
  std::string missingChunks() const;
  std::span<const std::uint8_t, settings::kBlockSize> received() const { return received_; }

 private:
  std::array<std::uint8_t, settings::kBlockSize> received_{};
  std::bitset<kUploadChunkCount> arrived_;
};

// What the user is told when a read ended with chunks missing.
std::string IncompleteReadText(const BlockReadback& readback);

}  // namespace kdsp::device
