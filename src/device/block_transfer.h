// Moving a whole parameter block: the preparation before an upload, the upload into a preset
// slot in 30 acknowledged chunks and a store record, and the request to read a slot back.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "device/link_state.h"
#include "device/record_sender.h"
#include "device/user_prompts.h"
#include "settings/parameter_block.h"

namespace kdsp::device {

inline constexpr int kChunkBytes = 24;
inline constexpr int kUploadChunkCount = 30;  // 29 chunks of 24 bytes and one of 12

// Derived echo values, the marker, the linked mic set and the checksum, in the working block.
void PrepareBlockForUpload(settings::ParameterBlock& block);

// The payload of chunk k: [0x57, k, up to 24 block bytes]; returns its length.
std::size_t ChunkPayload(const settings::ParameterBlock& block, int k,
                         std::array<std::uint8_t, 2 + kChunkBytes>& out);

enum class WaitOutcome { kAcknowledged, kTimedOut, kDisconnected };

// The event-loop side of a transfer, provided by the window that owns the link.
class TransferHost {
 public:
  virtual ~TransferHost() = default;
  // Wait cursor on, synchronisation timer stopped.
  virtual void beginTransfer() = 0;
  // Normal cursor, synchronisation timer running again.
  virtual void endTransfer() = 0;
  // Keeps the event loop running until every record sent has been acknowledged, the link is
  // lost or the time limit passes.
  virtual WaitOutcome waitForAcknowledgements() = 0;
};

enum class StoreResult {
  kStored,           // every chunk and the store record acknowledged
  kNotConnected,     // told "No connecting device!"; nothing sent
  kWindowNotShown,   // the block was prepared; nothing sent before the window is shown
  kNotSent,          // a record could not be handed to the device; the slot was not stored
  kNotAcknowledged,  // a record was not acknowledged in time; the slot was not stored
  kDisconnected,     // the link went away during the transfer; the slot was not stored
};

class BlockTransfer {
 public:
  BlockTransfer(LinkState& link, RecordSender& sender, TransferHost& host, UserPrompts& prompts)
      : link_(link), sender_(sender), host_(host), prompts_(prompts) {}

  // Uploads the block and stores it into the slot (240: the processor's working settings).
  StoreResult StoreBlockToDevice(settings::ParameterBlock& block, std::uint8_t slot);
  // Asks the processor for a slot's block; the chunks arrive later as replies. False when
  // nothing was asked (not connected, or the window not yet shown).
  bool ReadBlockFromDevice(std::uint8_t slot, std::uint8_t mode);

 private:
  // Checks that the record just sent went out and was acknowledged; otherwise tells the user,
  // records why in result and returns false.
  bool delivered(StoreResult& result);

  LinkState& link_;
  RecordSender& sender_;
  TransferHost& host_;
  UserPrompts& prompts_;
};

}  // namespace kdsp::device
