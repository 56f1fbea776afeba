// The processor's replies: the status report and the staging of a block being read back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "settings/parameter_block.h"

namespace kdsp::device {

struct StatusReply {
  std::uint8_t musicMaxVolume;
  std::uint8_t micMaxVolume;
  std::uint8_t micEqMode;
  std::uint8_t panelUnlocked;  // 255 unlocked, 0 locked
  std::uint16_t lockPassword;
};

// Reads a status reply (186); nothing when the payload is too short to hold one.
std::optional<StatusReply> ParseStatusReply(std::span<const std::uint8_t> payload);

// Collects the chunk replies of a block read and installs the block at the end reply.
class BlockReadback {
 public:
  enum class EndResult {
    kInstalled,         // the received block was whole and its checksum right
    kFactoryInstalled,  // checksum wrong: the factory defaults were installed instead
    kNoBlock,           // an end reply without the chunk marker: nothing installed
  };

  // A chunk reply (206). Chunks without the marker, or reaching beyond the block, are not copied.
  void onChunk(std::span<const std::uint8_t> payload);
  // The end reply (207).
  EndResult onEnd(std::span<const std::uint8_t> payload, settings::ParameterBlock& working);

  bool valid() const { return valid_; }
  std::span<const std::uint8_t, settings::kBlockSize> received() const { return received_; }

 private:
  std::array<std::uint8_t, settings::kBlockSize> received_{};
  bool valid_ = false;
};

}  // namespace kdsp::device
