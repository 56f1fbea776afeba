// SPDX-License-Identifier: GPL-3.0-or-later
// Text-file helpers shared by the filter-list and calibration-file readers.
#include "settings/file_text.h"

#include <cstdint>

namespace kdsp::settings {
namespace {

// The code point of the UTF-8 character at the start of text and its length in bytes; a length
// of 0 when the bytes there are not a valid, shortest-form character.
struct Character {
  char32_t codePoint = 0;
  std::size_t length = 0;
};

Character DecodeCharacter(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t codePoint = 0;
  char32_t smallest = 0;  // below it, the character would be an overlong form
  if ((lead & 0xE0) == 0xC0) {
    length = 2, codePoint = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, codePoint = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, codePoint = lead & 0x07, smallest = 0x10000;
  } else {
    return {};
  }
  if (text.size() < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {};
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
    return {};
  return {codePoint, length};
}

std::string Hex(std::uint32_t value, int digits) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  std::string out;
  while (digits-- > 0 || value != 0) {
    out.insert(out.begin(), kDigits[value & 0xF]);
    value >>= 4;
  }
  return out;
}

}  // namespace

std::size_t NoBreakSpaceAt(std::string_view text, std::size_t at) {
  for (std::string_view space : {std::string_view("\xC2\xA0"), std::string_view("\xE2\x80\xAF")})
    if (text.substr(at).starts_with(space)) return space.size();
  return 0;
}

std::string PrintableText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const Character c = DecodeCharacter(text);
    if (c.length == 0) {
      out += "<0x";
      out += Hex(static_cast<std::uint8_t>(text.front()), 2);
      out += '>';
      text.remove_prefix(1);
      continue;
    }
    if (c.codePoint == '\t' || (c.codePoint >= 0x20 && c.codePoint < 0x7F)) {
      out += static_cast<char>(c.codePoint);
    } else {
      out += "<U+";
      out += Hex(static_cast<std::uint32_t>(c.codePoint), 4);
      out += '>';
    }
    text.remove_prefix(c.length);
  }
  return out;
}

}  // namespace kdsp::settings
