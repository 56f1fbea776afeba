// SPDX-License-Identifier: GPL-3.0-or-later
// What the readers of text files (filter lists, calibration files) share: the byte-order mark
// some editors put before the first line, the no-break spaces of decimal-comma locales, and a
// line quoted in a message without any raw byte of the file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kdsp::settings {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The text without the UTF-8 byte-order mark at its start, if it has one: the mark is no part of
// the first line.
constexpr std::string_view WithoutByteOrderMark(std::string_view text) {
  return text.starts_with(kUtf8ByteOrderMark) ? text.substr(kUtf8ByteOrderMark.size()) : text;
}

// The length in bytes of the no-break space (U+00A0) or narrow no-break space (U+202F) at `at`,
// as UTF-8; 0 when there is none. Locales with a decimal comma group thousands with them.
std::size_t NoBreakSpaceAt(std::string_view text, std::size_t at);

// The text as a message may quote it: printable ASCII and tabs as they are; any other character
// of valid UTF-8 as its code point, "<U+00A0>"; a byte that is no part of a valid UTF-8
// character as "<0xFF>". A terminal or a window so never receives a raw byte of the file.
std::string PrintableText(std::string_view text);

}  // namespace kdsp::settings
