// Block upload and read request.
#include "device/block_transfer.h"

#include <algorithm>
#include <cstring>

#include "device/command_codes.h"

namespace kdsp::device {

void PrepareBlockForUpload(settings::ParameterBlock& block) {
  block.echoB.level = block.echoA.level;
  block.echoB.repeat = block.echoA.repeat;
  block.marker = 0xF1;
  if (block.micFlags & settings::kMicSetsLinked)
    std::memcpy(&block.bands[48], &block.bands[0], 15 * sizeof(settings::EqBand));
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

bool BlockTransfer::delivered(StoreResult& result) {
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
  switch (host_.waitForAcknowledgements()) {
    case WaitOutcome::kAcknowledged:
      if (link_.connected) return true;
      [[fallthrough]];
    case WaitOutcome::kDisconnected:
      result = StoreResult::kDisconnected;
      prompts_.showMessage(message::kUploadInterrupted);
      return false;
    case WaitOutcome::kTimedOut:
      result = StoreResult::kNotAcknowledged;
      prompts_.showMessage(message::kUploadNotAcknowledged);
      return false;
  }
  return false;
}

StoreResult BlockTransfer::StoreBlockToDevice(settings::ParameterBlock& block, std::uint8_t slot) {
  if (!link_.connected) {
    prompts_.showMessage(message::kNoConnectingDevice);
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
      ok = delivered(result);
    }
    // The store record goes only after every chunk was taken, so a slot never receives a
    // half-sent block.
    if (ok) {
      const std::uint8_t store[3] = {slot, link_.musicMaxVolume, link_.micMaxVolume};
      sender_.SendBytesCommand(code::kStoreBlock, store);
      delivered(result);
    }
  }
  host_.endTransfer();
  return result;
}

bool BlockTransfer::ReadBlockFromDevice(std::uint8_t slot, std::uint8_t mode) {
  if (!link_.connected) {
    prompts_.showMessage(message::kNoConnectingDevice);
    return false;
  }
  if (!link_.windowShown) return false;
  link_.readComplete = false;
  const std::uint8_t request[2] = {slot, mode};
  sender_.SendRecord(code::kReadBlock, request);
  return true;
}

}  // namespace kdsp::device
