// SPDX-License-Identifier: GPL-3.0-or-later
// Moving a whole parameter block: the preparation before an upload, the upload into a preset
// slot in 30 acknowledged chunks and a store record, and the request to read a slot back.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/user_prompts.h"
#include "device/command_codes.h"
#include "device/link_messages.h"
#include "device/link_state.h"
#include "device/record_sender.h"
#include "settings/parameter_block.h"

namespace kdsp::device {

// Derived echo values, the marker, the linked mic set and the checksum, in the working block.
void PrepareBlockForUpload(settings::ParameterBlock& block);

// The payload of chunk k: [0x57, k, up to 24 block bytes]; returns its length.
std::size_t ChunkPayload(const settings::ParameterBlock& block, int k,
                         std::array<std::uint8_t, 2 + kChunkBytes>& out);

// kDisconnected: the processor left the bus; kClosed: the WiFi connection was closed.
enum class WaitOutcome { kAcknowledged, kTimedOut, kDisconnected, kClosed };

// The event-loop side of a transfer, provided by the window that owns the link.
class TransferHost {
 public:
  virtual ~TransferHost() = default;
  // Wait cursor on, synchronisation timer stopped.
  virtual void beginTransfer() = 0;
  // Normal cursor, synchronisation timer running again.
  virtual void endTransfer() = 0;
  // Keeps the event loop running until every record sent has been acknowledged, the link is
  // lost (which ends the wait at once) or the time limit passes. Records acknowledged before
  // the link went count as acknowledged.
  virtual WaitOutcome waitForAcknowledgements() = 0;
  // How the link went down, once it has: kDisconnected or kClosed.
  virtual WaitOutcome lostLink() const = 0;
};

enum class StoreResult {
  kStored,            // every chunk and the store record acknowledged
  kNotConnected,      // told "No connecting device!"; nothing sent
  kWindowNotShown,    // the block was prepared; nothing sent before the window is shown
  kNotSent,           // a record could not be handed to the device; the slot was not stored
  kNotAcknowledged,   // a chunk was not acknowledged in time; the slot was not stored
  kDisconnected,      // the processor left during the chunks; the slot was not stored
  kConnectionClosed,  // the WiFi connection closed during the chunks; the slot was not stored
  // The store record went out but its acknowledgement did not come back: the processor may
  // well have stored the block, so the slot may have been rewritten.
  kStoreNotAcknowledged,
  kStoreDisconnected,
  kStoreConnectionClosed,
};

// Whether the slot may hold the new block although the upload did not complete.
constexpr bool SlotMayHaveChanged(StoreResult result) {
  return result == StoreResult::kStoreNotAcknowledged ||
         result == StoreResult::kStoreDisconnected || result == StoreResult::kStoreConnectionClosed;
}

// What a transfer asked for without a connected processor tells the user: why a processor that
// is present cannot be used, or else `usual`.
std::string_view NotConnectedText(const LinkState& link,
                                  std::string_view usual = message::kNoConnectingDevice);

// The message an upload that did not complete shows, for the results that come from a wait;
// empty for the others.
std::string_view StoreFailureText(StoreResult result);

class BlockTransfer {
 public:
  BlockTransfer(LinkState& link, RecordSender& sender, TransferHost& host,
                core::UserPrompts& prompts)
      : link_(link), sender_(sender), host_(host), prompts_(prompts) {}

  // Uploads the block and stores it into the slot (240: the processor's working settings).
  StoreResult StoreBlockToDevice(settings::ParameterBlock& block, std::uint8_t slot);
  // Asks the processor for a slot's block; the chunks arrive later as replies. False when
  // nothing was asked (not connected, or the window not yet shown).
  bool ReadBlockFromDevice(std::uint8_t slot, std::uint8_t mode);

 private:
  // Checks that the record just sent went out and was acknowledged; otherwise tells the user,
  // records why in result and returns false. storeSent: the record was the store record.
  bool delivered(StoreResult& result, bool storeSent);

  LinkState& link_;
  RecordSender& sender_;
  TransferHost& host_;
  core::UserPrompts& prompts_;
};

}  // namespace kdsp::device
