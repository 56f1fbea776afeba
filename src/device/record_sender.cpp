// SPDX-License-Identifier: GPL-3.0-or-later
// Sending records through the active transport.
#include "device/record_sender.h"

#include <algorithm>
#include <cstring>

namespace kdsp::device {

bool RecordSender::SendRecord(std::uint8_t command, std::span<const std::uint8_t> payload) {
  const EncodedRecord record(command, payload);
  last_ = TransmitResult::kDiscarded;
  if (!record.valid() || transport_ == nullptr) return true;
  last_ = transport_->transmit(record);
  switch (last_) {
    case TransmitResult::kHandedOver:
      ++outstanding_;
      break;
    case TransmitResult::kTooLarge:
      prompts_.showMessage(message::kSizeTooLarge);
      break;
    case TransmitResult::kDiscarded:
      break;
  }
  return true;
}

void RecordSender::SendByteCommand(std::uint8_t command, std::uint8_t value) {
  if (!connected()) return;
  SendRecord(command, std::span<const std::uint8_t>(&value, 1));
}

void RecordSender::SendBytesCommand(std::uint8_t command, std::span<const std::uint8_t> bytes) {
  if (!connected()) return;
  SendRecord(command, bytes);
}

void RecordSender::SendIndexedCommand(std::uint8_t command, std::uint8_t index,
                                      std::span<const std::uint8_t> bytes) {
  if (!connected()) return;
  std::array<std::uint8_t, kMaxPayload> payload{};
  const std::size_t n = std::min(bytes.size(), payload.size() - 1);
  payload[0] = index;
  std::memcpy(payload.data() + 1, bytes.data(), n);
  SendRecord(command, std::span<const std::uint8_t>(payload.data(), n + 1));
}

void RecordSender::SendBandCommand(std::uint8_t command, std::uint8_t index,
                                   const settings::EqBand& band) {
  if (!connected()) return;
  const auto payload = BandPayload(index, band);
  SendRecord(command, payload);
}

bool RecordSender::connected() {
  if (state_.connected) return true;
  last_ = TransmitResult::kDiscarded;
  return false;
}

std::array<std::uint8_t, 9> BandPayload(std::uint8_t index, const settings::EqBand& band) {
  std::array<std::uint8_t, 9> payload{};
  payload[0] = index;
  std::memcpy(payload.data() + 1, &band, sizeof band);
  if (band.on != 1) payload[1] = payload[2] = 0;
  return payload;
}

}  // namespace kdsp::device
