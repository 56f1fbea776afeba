// SPDX-License-Identifier: GPL-3.0-or-later
// Spelling the names of controls.
#include "skin/control_names.h"

#include <cctype>
#include <cstddef>

namespace kdsp::skin {
namespace {

char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool Separates(char c) {
  return c == ' ' || c == '-';
}

}  // namespace

std::string TitleCase(std::string_view printed) {
  std::string out(printed);
  std::size_t start = 0;
  while (start < out.size()) {
    std::size_t end = start;
    while (end < out.size() && !Separates(out[end])) ++end;
    const bool abbreviation = end - start <= 2;
    for (std::size_t i = start; i < end; ++i)
      out[i] = abbreviation || i == start ? Upper(out[i]) : Lower(out[i]);
    start = end + 1;
  }
  return out;
}

std::string JoinWords(std::initializer_list<std::string_view> words) {
  std::string out;
  for (std::string_view word : words) {
    if (word.empty()) continue;
    if (!out.empty()) out += ' ';
    out += word;
  }
  return out;
}

}  // namespace kdsp::skin
