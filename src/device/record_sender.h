// SPDX-License-Identifier: GPL-3.0-or-later
// Sending records: SendRecord, the wrappers the rest of the program sends through, and the count
// of records that still await the processor's acknowledgement.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/user_prompts.h"
#include "device/link_messages.h"
#include "device/link_state.h"
#include "device/transport.h"
#include "settings/parameter_block.h"

namespace kdsp::device {

class RecordSender {
 public:
  RecordSender(const LinkState& state, core::UserPrompts& prompts)
      : state_(state), prompts_(prompts) {}

  // The transport records go to; none means no device is open (records are then discarded).
  void setTransport(Transport* transport) { transport_ = transport; }
  Transport* transport() const { return transport_; }

  // Frames the record and hands it to the transport. Does not look at the connection state.
  bool SendRecord(std::uint8_t command, std::span<const std::uint8_t> payload);

  // The wrappers send nothing at all while the link is not connected.
  void SendByteCommand(std::uint8_t command, std::uint8_t value);
  void SendBytesCommand(std::uint8_t command, std::span<const std::uint8_t> bytes);
  void SendIndexedCommand(std::uint8_t command, std::uint8_t index,
                          std::span<const std::uint8_t> bytes);
  // A band that is switched off is sent with gain 0; the band itself keeps its gain.
  void SendBandCommand(std::uint8_t command, std::uint8_t index, const settings::EqBand& band);

  // Records handed over and not yet acknowledged.
  unsigned outstandingRecords() const { return outstanding_; }
  void acknowledge() {
    if (outstanding_ > 0) --outstanding_;
  }
  void resetOutstanding() { outstanding_ = 0; }

  // What became of the last record any send call was asked for.
  TransmitResult lastTransmit() const { return last_; }

 private:
  const LinkState& state_;
  core::UserPrompts& prompts_;
  Transport* transport_ = nullptr;
  unsigned outstanding_ = 0;
  TransmitResult last_ = TransmitResult::kDiscarded;

  // The wrappers' gate: false (and the record counted as discarded) while not connected.
  bool connected();
};

// The payload of a band record: [index, the band's 8 bytes], gain 0 when the band is off.
std::array<std::uint8_t, 9> BandPayload(std::uint8_t index, const settings::EqBand& band);

}  // namespace kdsp::device
