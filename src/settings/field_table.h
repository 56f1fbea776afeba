// SPDX-License-Identifier: GPL-3.0-or-later
// Every field of the parameter block by the name `kdspctl dump` gives it: where it lies, how it
// reads in user units and which values it may take. Describing a block (dump, diff, get) and
// assigning to it (set, the remote) both walk this one table, so a name that prints is a name
// that can be given, in the same units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "settings/block_field.h"
#include "settings/field_ranges.h"
#include "settings/parameter_block.h"

namespace kdsp::settings {

enum class FieldShape : std::uint8_t {
  kHexByte,      // "0xF1" (the marker)
  kChecksum,     // "0x1234"
  kCarried,      // bytes the processor keeps as found, in hex
  kNumber,       // an integer
  kOffAtZero,    // "OFF" at 0, else the integer
  kChoice,       // an index shown by its name
  kOnOff,        // a bit, or a byte that is 1 when on
  kPolarity,     // a bit: normal or inverted
  kMixCell,      // a level in bits 0..6 and a mute in bit 7
  kGain,         // tenths of a dB
  kFrequency,    // a frequency grid step
  kBandwidth,    // (value + 1) * 0.05 octave
  kFilterOrder,  // an index into the slopes
  kThreshold,    // dB with its sign
  kDelay,        // microseconds, shown as milliseconds
};

// Whether a field may be given a value, and if not, why.
enum class FieldAccess : std::uint8_t {
  kWritable,
  kFixed,      // the marker, the checksum and bytes kept as found
  kDerived,    // it follows other settings
  kNoControl,  // no control edits it and no record carries it
};

inline constexpr std::size_t kNoOffset = std::numeric_limits<std::size_t>::max();

struct FieldEntry {
  std::string name;
  FieldShape shape = FieldShape::kNumber;
  std::size_t offset = 0;
  // How its bytes hold the value, as the windows read and write it: a level in the low 7 bits
  // of a byte whose bit 7 belongs to something else is kLow7, which reads without that bit and
  // keeps it when written.
  FieldKind kind = FieldKind::kByte;
  // The field's bits within its byte (flags, carried bits); 0 for the whole field.
  std::uint8_t mask = 0;
  // kOnOff: the bit set means off (the output mutes).
  bool setMeansOff = false;
  std::span<const std::string_view> choices{};
  IntRange range{};  // the stored values it may be given
  FieldAccess access = FieldAccess::kWritable;
  std::string_view why{};  // for a field that takes no value
  // kFrequency of a crossover filter: its direction byte decides which end reads OFF.
  std::size_t directionOffset = kNoOffset;

  BlockField blockField() const { return {offset, kind}; }
  // Bytes of the block it covers.
  std::size_t size() const { return blockField().size(); }
};

// In block order, as `kdspctl dump` lists them.
std::span<const FieldEntry> FieldTable();
// The field of that name, or nullptr.
const FieldEntry* FindField(std::string_view name);

// The stored value of the field (its masked bits for a flag).
std::int64_t ReadStored(const FieldEntry& field, const ParameterBlock& block);
// Stores a value as the field keeps it: a flag sets or clears its bits, a 7-bit level keeps bit 7.
void WriteStored(const FieldEntry& field, ParameterBlock& block, std::int64_t value);

}  // namespace kdsp::settings
