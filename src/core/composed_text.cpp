// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/composed_text.h"

#include <cstddef>
#include <variant>

namespace kdsp::core {
namespace {

// A pattern as the literal pieces between its placeholders and the placeholders' numbers.
using Piece = std::variant<std::string_view, int>;

std::vector<Piece> PiecesOf(std::string_view pattern) {
  std::vector<Piece> pieces;
  std::size_t literalStart = 0;
  for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] != '%' || pattern[i + 1] < '1' || pattern[i + 1] > '9') continue;
    if (i > literalStart) pieces.emplace_back(pattern.substr(literalStart, i - literalStart));
    pieces.emplace_back(pattern[i + 1] - '0');
    literalStart = i + 2;
    ++i;
  }
  if (literalStart < pattern.size()) pieces.emplace_back(pattern.substr(literalStart));
  return pieces;
}

template <typename Values>
std::string Fill(std::string_view pattern, const Values& values) {
  std::string out;
  for (const Piece& piece : PiecesOf(pattern)) {
    if (const auto* literal = std::get_if<std::string_view>(&piece)) {
      out += *literal;
      continue;
    }
    const auto index = static_cast<std::size_t>(std::get<int>(piece) - 1);
    if (index < values.size()) {
      out += *(values.begin() + static_cast<std::ptrdiff_t>(index));
    } else {
      out += '%';
      out += static_cast<char>('1' + index);
    }
  }
  return out;
}

// Matches pieces[from…] against text[at…], filling found[number - 1] for each placeholder.
bool Match(const std::vector<Piece>& pieces, std::size_t from, std::string_view text,
           std::size_t at, std::vector<std::optional<std::string>>& found) {
  if (from == pieces.size()) return at == text.size();
  if (const auto* literal = std::get_if<std::string_view>(&pieces[from])) {
    return text.substr(at, literal->size()) == *literal &&
           Match(pieces, from + 1, text, at + literal->size(), found);
  }
  auto& slot = found[static_cast<std::size_t>(std::get<int>(pieces[from]) - 1)];
  for (std::size_t end = at; end <= text.size(); ++end) {
    const std::string value(text.substr(at, end - at));
    // A placeholder written twice must hold the same value both times.
    if (slot && *slot != value) continue;
    const bool wasSet = slot.has_value();
    slot = value;
    if (Match(pieces, from + 1, text, end, found)) return true;
    if (!wasSet) slot.reset();
  }
  return false;
}

}  // namespace

std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
  return Fill(pattern, values);
}

std::string FillIn(std::string_view pattern, const std::vector<std::string>& values) {
  return Fill(pattern, values);
}

std::optional<std::vector<std::string>> ValuesIn(std::string_view pattern, std::string_view text) {
  const std::vector<Piece> pieces = PiecesOf(pattern);
  int highest = 0;
  for (const Piece& piece : pieces) {
    if (const int* number = std::get_if<int>(&piece); number && *number > highest)
      highest = *number;
  }
  if (highest == 0) return std::nullopt;
  std::vector<std::optional<std::string>> found(static_cast<std::size_t>(highest));
  if (!Match(pieces, 0, text, 0, found)) return std::nullopt;
  std::vector<std::string> values;
  for (auto& value : found) values.push_back(value.value_or(std::string()));
  return values;
}

}  // namespace kdsp::core
