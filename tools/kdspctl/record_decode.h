// SPDX-License-Identifier: GPL-3.0-or-later
// The text kdspctl decode prints for a raw byte stream of the processor: one line per record
// and per dropped record, in the order they arrived.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kdsp::tools {

// Every line ends in "\n"; a record still open at the end of the bytes gets a line of its own.
std::string DecodeRecordStream(std::span<const std::uint8_t> bytes);

// One record's line, without its "\n": "record 186 0xBA status  length   6  37 37 ...".
std::string DescribeRecord(std::uint8_t command, std::span<const std::uint8_t> payload);

}  // namespace kdsp::tools
