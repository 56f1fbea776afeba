// SPDX-License-Identifier: GPL-3.0-or-later
// Receiving records from HID input reports and from the socket stream.
#include "device/record_receiver.h"

#include <algorithm>
#include <cstring>

#include "device/record_codec.h"

namespace kdsp::device {
namespace {

// Searches zero-terminated text for c, stopping at the first 0 byte or at end.
const std::uint8_t* Find(const std::uint8_t* text, const std::uint8_t* end, std::uint8_t c) {
  for (const std::uint8_t* p = text; p < end && *p != 0; ++p)
    if (*p == c) return p;
  return nullptr;
}

const std::uint8_t* TextEnd(const std::uint8_t* text, const std::uint8_t* end) {
  const std::uint8_t* p = text;
  while (p < end && *p != 0) ++p;
  return p;
}

std::uint8_t ByteAt(const std::uint8_t* p) {
  return HexToByte(static_cast<char>(p[0]), static_cast<char>(p[1]));
}

}  // namespace

void RecordReceiver::receiveReport(std::span<const std::uint8_t> report) {
  receive(Kind::kReport, report);
}

void RecordReceiver::receiveStream(std::span<const std::uint8_t> bytes) {
  // A long read is taken as several events of what one event holds.
  while (bytes.size() > kEventCapacity) {
    receive(Kind::kStream, bytes.first(kEventCapacity));
    bytes = bytes.subspan(kEventCapacity);
  }
  receive(Kind::kStream, bytes);
}

void RecordReceiver::receive(Kind kind, std::span<const std::uint8_t> bytes) {
  if (busy_) {
    queued_.emplace_back(kind, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return;
  }
  busy_ = true;
  processEvent(kind, bytes);
  while (!queued_.empty()) {
    auto [queuedKind, queuedBytes] = std::move(queued_.front());
    queued_.pop_front();
    processEvent(queuedKind, queuedBytes);
  }
  busy_ = false;
}

void RecordReceiver::processEvent(Kind kind, std::span<const std::uint8_t> bytes) {
  event_.fill(0);
  std::size_t size = std::min(bytes.size(), kEventCapacity);
  if (kind == Kind::kStream) {
    std::memcpy(event_.data(), bytes.data(), size);
  } else if (size > 0) {
    const std::size_t count = std::min<std::size_t>(bytes[0], size - 1);
    std::memcpy(event_.data(), bytes.data() + 1, count);
  }
  const std::uint8_t* end = event_.data() + size;

  const std::uint8_t* record = extractRecord(event_.data(), end);
  while (record != nullptr) {
    const bool joined = fromPartial_;
    const std::uint8_t* recordEnd = joined ? partial_.data() + partialTextLength_ : end;
    const std::size_t used = parseRecord(record, recordEnd);
    record = joined ? extractRecord(event_.data(), end) : extractRecord(record + used, end);
  }
}

const std::uint8_t* RecordReceiver::extractRecord(const std::uint8_t* text,
                                                  const std::uint8_t* end) {
  if (pendingLength_ > 0) {
    const std::uint8_t* cr = Find(text, end, '\r');
    if (cr == nullptr) return nullptr;  // the held beginning stays; this text is not kept
    const std::size_t n = static_cast<std::size_t>(cr - text) + 1;
    std::memcpy(partial_.data() + pendingLength_, text, n);
    partialTextLength_ = pendingLength_ + n;
    partial_[partialTextLength_] = 0;
    pendingLength_ = 0;
    fromPartial_ = true;
    return partial_.data();
  }
  const std::uint8_t* colon = Find(text, end, ':');
  if (colon == nullptr) return nullptr;
  fromPartial_ = false;
  if (Find(colon + 1, end, '\r') != nullptr) return colon;
  pendingLength_ = static_cast<std::size_t>(end - colon);
  partial_.fill(0);
  std::memcpy(partial_.data(), colon, pendingLength_);
  return nullptr;
}

std::size_t RecordReceiver::parseRecord(const std::uint8_t* start, const std::uint8_t* end) {
  const std::size_t available = static_cast<std::size_t>(TextEnd(start, end) - start);
  // A dropped record is shown up to its CR: the text after it belongs to the records that follow.
  const auto drop = [&](DropReason reason, std::size_t shown) {
    if (!onDrop_) return;
    std::string_view text(reinterpret_cast<const char*>(start), std::min(shown, available));
    onDrop_(reason, text.substr(0, text.find('\r')));
  };
  // ':' and command, length and checksum: 9 characters around the payload.
  if (available < 7) {
    drop(DropReason::kTruncated, available);
    return 1;
  }
  const std::uint8_t command = ByteAt(start + 1);
  const std::uint8_t lengthHigh = ByteAt(start + 3);
  const std::uint8_t lengthLow = ByteAt(start + 5);
  const std::size_t length = (std::size_t{lengthHigh} << 8) | lengthLow;
  const std::size_t characters = 9 + 2 * length;
  if (length > kPayloadCapacity) {
    drop(DropReason::kTooLong, available);
    return 1;
  }
  if (characters > available) {
    drop(DropReason::kTruncated, available);
    return 1;
  }
  std::uint8_t sum = static_cast<std::uint8_t>(command + lengthHigh + lengthLow);
  for (std::size_t i = 0; i < length; ++i) {
    payload_[i] = ByteAt(start + 7 + 2 * i);
    sum = static_cast<std::uint8_t>(sum + payload_[i]);
  }
  sum = static_cast<std::uint8_t>(sum + ByteAt(start + 7 + 2 * length));
  if (sum != 0) {
    drop(DropReason::kChecksum, characters);
    return characters;
  }
  handler_(command, std::span<const std::uint8_t>(payload_.data(), length));
  return characters;
}

}  // namespace kdsp::device
