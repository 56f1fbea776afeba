// SPDX-License-Identifier: GPL-3.0-or-later
// Version, acknowledgement and status replies, and block read-back.
#include "device/replies.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/composed_text.h"
#include "device/command_codes.h"
#include "device/link_messages.h"

namespace kdsp::device {

std::optional<VersionReply> ParseVersionReply(std::span<const std::uint8_t> payload) {
  if (payload.empty()) return std::nullopt;
  return VersionReply{payload[0], payload[0] == kAcceptedVersion};
}

bool IsAcknowledgement(std::span<const std::uint8_t> payload) {
  return !payload.empty() && payload[0] == 1;
}

std::optional<StatusReply> ParseStatusReply(std::span<const std::uint8_t> payload) {
  if (payload.size() < 8) return std::nullopt;
  return StatusReply{payload[0], payload[1], payload[2],
                     static_cast<std::uint8_t>(payload[5] != 0 ? 255 : 0),
                     static_cast<std::uint16_t>(payload[6] << 8 | payload[7])};
}

namespace {

// The number of block bytes chunk k carries.
constexpr std::size_t ChunkLength(std::size_t k) {
  return std::min<std::size_t>(kChunkBytes, settings::kBlockSize - k * kChunkBytes);
}
static_assert(ChunkLength(kUploadChunkCount - 1) == 12);
static_assert((kUploadChunkCount - 1) * kChunkBytes + 12 == settings::kBlockSize);

// "3", or "3-7" for a run.
std::string RunText(int first, int last) {
  return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

}  // namespace

void BlockReadback::begin() {
  received_.fill(0);
  arrived_.reset();
}

void BlockReadback::onChunk(std::span<const std::uint8_t> payload) {
  if (payload.size() < 2 || payload[0] != kChunkMarker) return;
  const std::size_t k = payload[1];
  if (k >= kUploadChunkCount || payload.size() - 2 != ChunkLength(k)) return;
  std::memcpy(received_.data() + k * kChunkBytes, payload.data() + 2, ChunkLength(k));
  arrived_.set(k);
}

bool BlockReadback::valid() const {
  return arrived_.all() &&
         settings::BlockChecksum(received_) == (received_[settings::offsets::kChecksum] |
                                                received_[settings::offsets::kChecksum + 1] << 8);
}

std::string BlockReadback::missingChunks() const {
  std::vector<std::string> runs;
  int missing = 0;
  for (int k = 0; k < kUploadChunkCount; ++k) {
    if (arrived_.test(static_cast<std::size_t>(k))) continue;
    int last = k;
    while (last + 1 < kUploadChunkCount && !arrived_.test(static_cast<std::size_t>(last + 1)))
      ++last;
    runs.push_back(RunText(k, last));
    missing += last - k + 1;
    k = last;
  }
  if (runs.empty()) return {};
  std::string text = missing == 1 ? "chunk " : "chunks ";
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (i > 0) text += i + 1 == runs.size() ? " and " : ", ";
    text += runs[i];
  }
  return text;
}

BlockReadback::EndResult BlockReadback::onEnd(std::span<const std::uint8_t> payload,
                                              settings::ParameterBlock& working) {
  if (payload.empty() || payload[0] != kChunkMarker) return EndResult::kNoBlock;
  if (!arrived_.all()) return EndResult::kIncomplete;
  if (valid()) {
    std::memcpy(&working, received_.data(), settings::kBlockSize);
    return EndResult::kInstalled;
  }
  settings::ResetToFactory(working);
  return EndResult::kFactoryInstalled;
}

std::string IncompleteReadText(const BlockReadback& readback) {
  return core::FillIn(message::kIncompleteRead,
                      {readback.missingChunks(), std::to_string(kUploadChunkCount)});
}

}  // namespace kdsp::device
