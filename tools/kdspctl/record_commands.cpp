// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl's record commands: encode builds a record's text, decode reads the processor's stream.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "commands.h"
#include "device/record_codec.h"
#include "record_decode.h"

namespace kdsp::tools {

int RunEncode(const Args& args) {
  if (args.empty()) throw UsageError("usage: kdspctl encode CODE [BYTE...]");
  const std::uint8_t command = ParseByte(args[0], "code");
  std::vector<std::uint8_t> payload;
  for (std::size_t i = 1; i < args.size(); ++i)
    payload.push_back(ParseByte(args[i], "byte"));
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
  const std::string text = DecodeRecordStream(bytes);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

}  // namespace kdsp::tools
