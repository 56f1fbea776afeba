// kdspctl's record commands: encode builds a record's text, decode reads the processor's stream.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "commands.h"
#include "device/command_codes.h"
#include "device/record_codec.h"
#include "device/record_receiver.h"

namespace kdsp::tools {
namespace {

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (std::uint8_t b : bytes) {
    const auto h = device::ByteToHex(b);
    if (!out.empty()) out += ' ';
    out.append(h.data(), 2);
  }
  return out;
}

std::string_view ReasonText(device::RecordReceiver::DropReason reason) {
  switch (reason) {
    case device::RecordReceiver::DropReason::kChecksum:
      return "checksum error";
    case device::RecordReceiver::DropReason::kTruncated:
      return "truncated";
    case device::RecordReceiver::DropReason::kTooLong:
      return "length too large";
  }
  return "dropped";
}

}  // namespace

int RunEncode(const Args& args) {
  if (args.empty()) throw UsageError("usage: kdspctl encode CODE [BYTE...]");
  const auto command = static_cast<std::uint8_t>(ParseNumber(args[0], 0, 255, "code"));
  std::vector<std::uint8_t> payload;
  for (std::size_t i = 1; i < args.size(); ++i)
    payload.push_back(static_cast<std::uint8_t>(ParseNumber(args[i], 0, 255, "byte")));
  if (payload.size() > device::kMaxPayload)
    throw UsageError("a record carries at most " + std::to_string(device::kMaxPayload) + " bytes");
  const device::EncodedRecord record(command, payload);
  const std::string_view text = record.textView();
  std::cout << text.substr(0, text.size() - 2) << '\n';
  return 0;
}

int RunDecode(const Args& args) {
  if (args.size() > 1) throw UsageError("usage: kdspctl decode [FILE]");
  std::vector<std::uint8_t> bytes;
  if (args.empty()) {
    bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    const std::string path(args[0]);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError("Can't read " + path);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) throw UsageError("Can't read " + path);
  }
  device::RecordReceiver receiver(
      [](std::uint8_t command, std::span<const std::uint8_t> payload) {
        const std::string_view name = device::CommandName(command);
        std::printf("record %3u 0x%02X %-20s length %3zu  %s\n", command, command,
                    name.empty() ? "(unknown)" : std::string(name).c_str(), payload.size(),
                    Hex(payload).c_str());
      },
      [](device::RecordReceiver::DropReason reason, std::string_view text) {
        std::printf("dropped (%s): %.*s\n", std::string(ReasonText(reason)).c_str(),
                    static_cast<int>(text.size()), text.data());
      });
  receiver.receiveStream(bytes);
  if (receiver.holdsPartialRecord()) std::printf("dropped (incomplete at end of input)\n");
  return 0;
}

}  // namespace kdsp::tools
