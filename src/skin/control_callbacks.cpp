// SPDX-License-Identifier: GPL-3.0-or-later
// Value box text and the change handlers that store control values into the parameter block.
#include "skin/control_callbacks.h"

#include <algorithm>

namespace kdsp::skin {

void SetBoxText(BoxText& text, std::string_view s) {
  text.fill(0);
  const std::size_t n = std::min<std::size_t>(s.size(), kBoxTextMaxChars);
  std::copy_n(s.begin(), n, text.begin());
}

std::string_view BoxTextView(const BoxText& text) {
  const auto end = std::find(text.begin(), text.end(), '\0');
  return std::string_view(text.data(), static_cast<std::size_t>(end - text.begin()));
}

void StoreWord(std::int32_t value, void* target, void*) {
  if (target == nullptr) return;
  const auto word = static_cast<std::uint16_t>(value);
  auto* bytes = static_cast<std::uint8_t*>(target);
  bytes[0] = static_cast<std::uint8_t>(word & 0xFF);
  bytes[1] = static_cast<std::uint8_t>(word >> 8);
}

void StoreLow7(std::int32_t value, void* target, void*) {
  if (target == nullptr) return;
  auto* byte = static_cast<std::uint8_t*>(target);
  *byte = static_cast<std::uint8_t>((value & 0x7F) | (*byte & 0x80));
}

void StoreByte(std::int32_t value, void* target, void*) {
  if (target == nullptr) return;
  *static_cast<std::uint8_t*>(target) = static_cast<std::uint8_t>(value & 0xFF);
}

void FireChange(ChangeHandler handler, std::int32_t value, void* target, void* userData,
                std::uint8_t* changed) {
  if (handler == nullptr) return;
  handler(value, target, userData);
  if (changed != nullptr) *changed = 1;
}

}  // namespace kdsp::skin
