// Status reply and block read-back.
#include "device/replies.h"

#include <cstring>

#include "device/command_codes.h"

namespace kdsp::device {

std::optional<StatusReply> ParseStatusReply(std::span<const std::uint8_t> payload) {
  if (payload.size() < 8) return std::nullopt;
  return StatusReply{payload[0], payload[1], payload[2],
                     static_cast<std::uint8_t>(payload[5] != 0 ? 255 : 0),
                     static_cast<std::uint16_t>(payload[6] << 8 | payload[7])};
}

void BlockReadback::onChunk(std::span<const std::uint8_t> payload) {
  if (payload.size() < 2 || payload[0] != kChunkMarker) return;
  const std::size_t offset = std::size_t{payload[1]} * 24;
  const std::size_t n = payload.size() - 2;
  if (offset + n <= received_.size()) std::memcpy(received_.data() + offset, payload.data() + 2, n);
  valid_ = settings::BlockChecksum(received_) == (received_[settings::offsets::kChecksum] |
                                                  received_[settings::offsets::kChecksum + 1] << 8);
}

BlockReadback::EndResult BlockReadback::onEnd(std::span<const std::uint8_t> payload,
                                              settings::ParameterBlock& working) {
  if (payload.empty() || payload[0] != kChunkMarker) return EndResult::kNoBlock;
  if (valid_) {
    std::memcpy(&working, received_.data(), settings::kBlockSize);
    return EndResult::kInstalled;
  }
  settings::ResetToFactory(working);
  return EndResult::kFactoryInstalled;
}

}  // namespace kdsp::device
