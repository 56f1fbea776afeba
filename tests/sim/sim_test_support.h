// SPDX-License-Identifier: GPL-3.0-or-later
// What the program's side of the link sends and makes of the replies, for the simulator's
// tests: records built and decoded with the program's own codec and receiver.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/block_transfer.h"
#include "device/command_codes.h"
#include "device/record_codec.h"
#include "device/record_receiver.h"
#include "sim/sim_options.h"

namespace kdsp::sim::testing {

struct Record {
  std::uint8_t command;
  std::vector<std::uint8_t> payload;
  bool operator==(const Record&) const = default;
};

// The text form of a record.
inline std::string Rec(std::uint8_t command, std::vector<std::uint8_t> payload = {}) {
  return std::string(device::EncodedRecord(command, payload).textView());
}

// Decodes reply texts as the program's receiver does; a reply that is not one whole valid
// record shows up as a missing record.
inline std::vector<Record> Decode(std::string_view stream) {
  std::vector<Record> records;
  device::RecordReceiver receiver([&](std::uint8_t c, std::span<const std::uint8_t> p) {
    records.push_back({c, {p.begin(), p.end()}});
  });
  receiver.receiveStream({reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size()});
  return records;
}

inline std::vector<Record> Decode(const std::vector<SimReply>& replies) {
  std::vector<Record> records;
  for (const SimReply& reply : replies) {
    const auto one = Decode(reply.text);
    records.insert(records.end(), one.begin(), one.end());
  }
  return records;
}

// The 31 records of an upload of block into slot, as the program sends them.
inline std::string UploadText(settings::ParameterBlock block, std::uint8_t slot,
                              std::uint8_t musicMax = 55, std::uint8_t micMax = 55) {
  device::PrepareBlockForUpload(block);
  std::string text;
  std::array<std::uint8_t, 2 + device::kChunkBytes> chunk{};
  for (int k = 0; k < device::kUploadChunkCount; ++k) {
    const std::size_t n = device::ChunkPayload(block, k, chunk);
    text += Rec(device::code::kBlockChunk, {chunk.begin(), chunk.begin() + n});
  }
  return text + Rec(device::code::kStoreBlock, {slot, musicMax, micMax});
}

inline const Record kAck{device::code::kAcknowledge, {1}};

// Options with some switches changed: Options([](SimOptions& o) { o.noAck = true; }).
template <class Change>
SimOptions Options(Change change) {
  SimOptions options;
  change(options);
  return options;
}

}  // namespace kdsp::sim::testing
