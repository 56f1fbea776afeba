// SPDX-License-Identifier: GPL-3.0-or-later
// Block upload and read request.
#include "device/block_transfer.h"

#include <algorithm>
#include <cstring>

#include "device/command_codes.h"
#include "device/page_rules.h"

namespace kdsp::device {

void PrepareBlockForUpload(settings::ParameterBlock& block) {
  block.echoB.level = block.echoA.level;
  block.echoB.repeat = block.echoA.repeat;
  block.marker = 0xF1;
  FollowMicSetsLink(block);
  block.checksum = settings::BlockChecksum(block);
}

std::size_t ChunkPayload(const settings::ParameterBlock& block, int k,
                         std::array<std::uint8_t, 2 + kChunkBytes>& out) {
  const std::size_t offset = static_cast<std::size_t>(k) * kChunkBytes;
  const std::size_t n = std::min<std::size_t>(kChunkBytes, settings::kBlockSize - offset);
  out[0] = kChunkMarker;
  out[1] = static_cast<std::uint8_t>(k);
  std::memcpy(out.data() + 2, block.bytes().data() + offset, n);
  return n + 2;
}

namespace {

// What became of an upload whose wait ended other than with the acknowledgement, before and
// after the store record went out, and what the user is told.
struct UploadFailure {
  WaitOutcome outcome;
  bool storeSent;
  StoreResult result;
  std::string_view text;
};

constexpr UploadFailure kUploadFailures[] = {
    {WaitOutcome::kTimedOut, false, StoreResult::kNotAcknowledged, message::kUploadNotAcknowledged},
    {WaitOutcome::kDisconnected, false, StoreResult::kDisconnected, message::kUploadInterrupted},
    {WaitOutcome::kClosed, false, StoreResult::kConnectionClosed, message::kUploadConnectionClosed},
    {WaitOutcome::kTimedOut, true, StoreResult::kStoreNotAcknowledged,
     message::kStoreNotAcknowledged},
    {WaitOutcome::kDisconnected, true, StoreResult::kStoreDisconnected, message::kStoreInterrupted},
    {WaitOutcome::kClosed, true, StoreResult::kStoreConnectionClosed,
     message::kStoreConnectionClosed},
};

}  // namespace

std::string_view NotConnectedText(const LinkState& link, std::string_view usual) {
  return link.processorWithoutAccess() ? std::string_view(link.accessProblem) : usual;
}

std::string_view StoreFailureText(StoreResult result) {
  for (const UploadFailure& failure : kUploadFailures)
    if (failure.result == result) return failure.text;
  return {};
}

bool BlockTransfer::delivered(StoreResult& result, bool storeSent) {
  switch (sender_.lastTransmit()) {
    case TransmitResult::kHandedOver:
      break;
    case TransmitResult::kDiscarded:
      prompts_.showMessage(message::kNoConnectingDevice);
      [[fallthrough]];
    case TransmitResult::kTooLarge:  // the sender has said so already
      result = StoreResult::kNotSent;
      return false;
  }
  WaitOutcome outcome = host_.waitForAcknowledgements();
  if (outcome == WaitOutcome::kAcknowledged) {
    // A store the processor acknowledged is done, whatever becomes of the link afterwards; a
    // chunk is of use only if the rest can follow it.
    if (link_.connected || storeSent) return true;
    outcome = host_.lostLink();
  }
  for (const UploadFailure& failure : kUploadFailures) {
    if (failure.outcome != outcome || failure.storeSent != storeSent) continue;
    result = failure.result;
    prompts_.showMessage(failure.text);
  }
  return false;
}

StoreResult BlockTransfer::StoreBlockToDevice(settings::ParameterBlock& block, std::uint8_t slot) {
  if (!link_.connected) {
    prompts_.showMessage(NotConnectedText(link_));
    return StoreResult::kNotConnected;
  }
  host_.beginTransfer();
  PrepareBlockForUpload(block);
  sender_.resetOutstanding();

  StoreResult result = StoreResult::kWindowNotShown;
  if (link_.connected && link_.windowShown) {
    result = StoreResult::kStored;
    std::array<std::uint8_t, 2 + kChunkBytes> chunk{};
    bool ok = true;
    for (int k = 0; ok && k < kUploadChunkCount; ++k) {
      const std::size_t n = ChunkPayload(block, k, chunk);
      sender_.SendRecord(code::kBlockChunk, std::span<const std::uint8_t>(chunk.data(), n));
      ok = delivered(result, false);
    }
    // The store record goes only after every chunk was taken, so a slot never receives a
    // half-sent block.
    if (ok) {
      const std::uint8_t store[3] = {slot, link_.musicMaxVolume, link_.micMaxVolume};
      sender_.SendBytesCommand(code::kStoreBlock, store);
      delivered(result, true);
    }
  }
  host_.endTransfer();
  return result;
}

bool BlockTransfer::ReadBlockFromDevice(std::uint8_t slot, std::uint8_t mode) {
  if (!link_.connected) {
    prompts_.showMessage(NotConnectedText(link_));
    return false;
  }
  if (!link_.windowShown) return false;
  link_.readComplete = false;
  const std::uint8_t request[2] = {slot, mode};
  sender_.SendRecord(code::kReadBlock, request);
  return true;
}

}  // namespace kdsp::device
