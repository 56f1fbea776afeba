// SPDX-License-Identifier: GPL-3.0-or-later
// Small text helpers the settings library's readers and writers share: printf-style
// formatting into a std::string and trimming of blanks.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kdsp::settings {

// Formats at most 159 characters; the field names and values formatted here are far shorter.
template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

// The text without the spaces, tabs and line-end characters around it.
constexpr std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\v\f";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace kdsp::settings
