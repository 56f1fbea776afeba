// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks of record encoding and receiving.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "device/block_transfer.h"
#include "device/command_codes.h"
#include "device/record_codec.h"
#include "device/record_receiver.h"
#include "settings/parameter_block.h"

namespace {

using namespace kdsp;

void BM_EncodeChunkRecord(benchmark::State& state) {
  const settings::ParameterBlock& block = settings::FactoryDefaults();
  std::array<std::uint8_t, 26> chunk{};
  int k = 0;
  for (auto _ : state) {
    const auto n = device::ChunkPayload(block, k, chunk);
    const device::EncodedRecord record(device::code::kBlockChunk, {chunk.data(), n});
    benchmark::DoNotOptimize(record.text().data());
    k = (k + 1) % device::kUploadChunkCount;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeChunkRecord);

// The read-back of a whole block as the processor streams it: 30 chunk replies and the end.
std::string ReadBackStream() {
  std::string stream;
  std::array<std::uint8_t, 26> chunk{};
  for (int k = 0; k < device::kUploadChunkCount; ++k) {
    const auto n = device::ChunkPayload(settings::FactoryDefaults(), k, chunk);
    stream += device::EncodedRecord(device::code::kChunkReply, {chunk.data(), n}).textView();
  }
  const std::uint8_t end[1] = {device::kChunkMarker};
  stream += device::EncodedRecord(device::code::kEndReply, end).textView();
  return stream;
}

void BM_ReceiveReadBackStream(benchmark::State& state) {
  const std::string stream = ReadBackStream();
  std::size_t records = 0;
  device::RecordReceiver receiver(
      [&](std::uint8_t, std::span<const std::uint8_t> p) { records += p.size() > 0; });
  for (auto _ : state) {
    receiver.receiveStream({reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size()});
  }
  benchmark::DoNotOptimize(records);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 31);
}
BENCHMARK(BM_ReceiveReadBackStream);

void BM_ReceiveHidReport(benchmark::State& state) {
  std::vector<std::uint8_t> report(64, 0);
  const std::string ack = ":F00001010E\r\n";
  report[0] = static_cast<std::uint8_t>(ack.size());
  std::copy(ack.begin(), ack.end(), report.begin() + 1);
  std::size_t records = 0;
  device::RecordReceiver receiver([&](std::uint8_t, std::span<const std::uint8_t>) { ++records; });
  for (auto _ : state) receiver.receiveReport(report);
  benchmark::DoNotOptimize(records);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReceiveHidReport);

}  // namespace
