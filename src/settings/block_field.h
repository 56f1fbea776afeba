// SPDX-License-Identifier: GPL-3.0-or-later
// One field of the parameter block named by its offset and how it is stored, read and written the
// way the processor lays the block out: little-endian words, 7-bit levels beside a flag bit,
// plain bytes and the 32-bit delay lines. Windows hold fields, never raw byte arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/parameter_block.h"

namespace kdsp::settings {

enum class FieldKind : std::uint8_t {
  kInt16,   // signed 16-bit word, low byte first
  kUint16,  // unsigned 16-bit word, low byte first
  kLow7,    // bits 0..6 of a byte whose bit 7 belongs to something else (a mute, a flag)
  kByte,    // the whole byte
  kUint32,  // unsigned 32-bit word, low byte first
};

struct BlockField {
  std::size_t offset = 0;
  FieldKind kind = FieldKind::kByte;

  // How many bytes of the block the field covers.
  constexpr std::size_t size() const {
    switch (kind) {
      case FieldKind::kInt16:
      case FieldKind::kUint16:
        return 2;
      case FieldKind::kUint32:
        return 4;
      case FieldKind::kLow7:
      case FieldKind::kByte:
        return 1;
    }
    return 1;
  }

  std::int64_t read(const ParameterBlock& block) const;
  // Stores the value's low bits as the field keeps them; a 7-bit field keeps its byte's bit 7.
  void write(ParameterBlock& block, std::int64_t value) const;

  friend constexpr bool operator==(const BlockField&, const BlockField&) = default;
};

}  // namespace kdsp::settings
