// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing one parameter block field.
#include "settings/block_field.h"

namespace kdsp::settings {

std::int64_t BlockField::read(const ParameterBlock& block) const {
  const auto bytes = block.bytes();
  std::uint32_t raw = 0;
  for (std::size_t i = 0; i < size(); ++i) raw |= std::uint32_t{bytes[offset + i]} << (8 * i);
  switch (kind) {
    case FieldKind::kInt16:
      return static_cast<std::int16_t>(raw);
    case FieldKind::kLow7:
      return raw & 0x7F;
    case FieldKind::kUint16:
    case FieldKind::kByte:
    case FieldKind::kUint32:
      return raw;
  }
  return raw;
}

void BlockField::write(ParameterBlock& block, std::int64_t value) const {
  const auto bytes = block.bytes();
  auto raw = static_cast<std::uint32_t>(value);
  if (kind == FieldKind::kLow7) raw = (raw & 0x7F) | (bytes[offset] & 0x80u);
  for (std::size_t i = 0; i < size(); ++i)
    bytes[offset + i] = static_cast<std::uint8_t>((raw >> (8 * i)) & 0xFF);
}

}  // namespace kdsp::settings
