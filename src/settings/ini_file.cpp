// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing, querying, editing and writing INI documents.
#include "settings/ini_file.h"

#include <algorithm>
#include <utility>

#include "settings/file_read.h"
#include "settings/file_text.h"
#include "settings/text_pieces.h"

namespace kdsp::settings {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsBlank(std::string_view s) {
  return TrimBlanks(s).empty();
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// The name of a section header line, "[name]"; a header without its "]" runs to the line's end.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view t = TrimBlanks(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const std::string_view inside = t.substr(1);
  return TrimBlanks(inside.substr(0, inside.find(']')));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

// The key and raw value of a "key=value" line; comments, headers and other lines have none.
std::optional<Entry> EntryOf(std::string_view line) {
  const std::string_view t = TrimBlanks(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  const std::size_t equals = t.find('=');
  if (equals == npos) return std::nullopt;
  const std::string_view key = TrimBlanks(t.substr(0, equals));
  if (key.empty()) return std::nullopt;
  return Entry{key, TrimBlanks(t.substr(equals + 1))};
}

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Quotes a value that reading would otherwise change: outer blanks are trimmed, and an outer
// pair of quotes is taken away.
std::string Quoted(std::string_view value) {
  const bool needsQuotes = !value.empty() && (TrimBlanks(value).size() != value.size() ||
                                              Unquote(value).size() != value.size());
  return needsQuotes ? std::string("\"").append(value).append("\"") : std::string(value);
}

constexpr std::string_view kLineBreaksAndNul("\r\n\0", 3);

bool HasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(kLineBreaksAndNul) != npos;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument document;
  if (text.starts_with(kUtf8ByteOrderMark)) {
    document.byteOrderMark_ = kUtf8ByteOrderMark;
    text.remove_prefix(kUtf8ByteOrderMark.size());
  }
  // One allocation for all the lines rather than a vector grown line by line.
  std::size_t lineCount = 1;
  for (std::size_t at = text.find('\n'); at != npos; at = text.find('\n', at + 1)) ++lineCount;
  document.lines_.reserve(lineCount);
  bool endingSeen = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    Line line;
    if (end == npos) {
      line.text = text;
      text = {};
    } else {
      const bool crlf = end > 0 && text[end - 1] == '\r';
      line.text = text.substr(0, crlf ? end - 1 : end);
      line.ending = crlf ? "\r\n" : "\n";
      text.remove_prefix(end + 1);
      if (!endingSeen) document.newline_ = line.ending;
      endingSeen = true;
    }
    document.lines_.push_back(std::move(line));
  }
  return document;
}

std::string ReadIniText(const std::filesystem::path& path) {
  // One byte more than the limit tells a file at the limit from a larger one.
  std::optional<std::string> text = ReadFileHead(path, IniDocument::kMaxFileSize + 1);
  if (!text || text->size() > IniDocument::kMaxFileSize) return {};
  return std::move(*text);
}

IniDocument IniDocument::Read(const std::filesystem::path& path) {
  return Parse(ReadIniText(path));
}

template <typename Visit>
std::size_t IniDocument::VisitEntries(std::string_view section, Visit visit) const {
  section = TrimBlanks(section);
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = SectionName(lines_[i].text)) {
      inSection = SameName(*name, section);
    } else if (inSection) {
      const auto entry = EntryOf(lines_[i].text);
      if (entry && visit(i, entry->key, entry->value)) return i;
    }
  }
  return npos;
}

std::size_t IniDocument::FindLine(std::string_view section, std::string_view key) const {
  key = TrimBlanks(key);
  return VisitEntries(section, [&](std::size_t, std::string_view name, std::string_view) {
    return SameName(name, key);
  });
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
  const std::size_t i = FindLine(section, key);
  if (i == npos) return std::nullopt;
  return std::string(Unquote(EntryOf(lines_[i].text)->value));
}

std::string IniDocument::Get(std::string_view section, std::string_view key,
                             std::string_view fallback) const {
  return Find(section, key).value_or(std::string(fallback));
}

std::vector<std::optional<std::string>> IniDocument::FindEach(
    std::string_view section, std::span<const std::string> keys) const {
  std::vector<std::optional<std::string>> values(keys.size());
  std::size_t missing = keys.size();
  if (missing == 0) return values;
  VisitEntries(section, [&](std::size_t, std::string_view name, std::string_view value) {
    for (std::size_t k = 0; k < keys.size(); ++k) {
      // The first line of a key wins, as in Find; a key asked twice gets the same value twice.
      if (!values[k] && SameName(name, TrimBlanks(keys[k]))) {
        values[k] = std::string(Unquote(value));
        --missing;
      }
    }
    return missing == 0;
  });
  return values;
}

std::vector<std::pair<std::string, std::string>> IniDocument::Entries(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> entries;
  VisitEntries(section, [&](std::size_t, std::string_view name, std::string_view value) {
    const bool seen = std::ranges::any_of(
        entries, [&](const auto& entry) { return SameName(entry.first, name); });
    if (!seen) entries.emplace_back(std::string(name), std::string(Unquote(value)));
    return false;
  });
  return entries;
}

bool IniDocument::Remove(std::string_view section, std::string_view key) {
  key = TrimBlanks(key);
  bool removed = false;
  for (std::size_t i; (i = FindLine(section, key)) != npos; removed = true)
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
  return removed;
}

void IniDocument::Insert(std::size_t at, std::string text) {
  // The line before the new one must end, even if it was the unterminated last line.
  if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = newline_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newline_});
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  if (section.empty() || section.find(']') != npos || HasLineBreakOrNul(section)) return false;
  if (key.empty() || key.find('=') != npos || key.front() == '[' || key.front() == ';' ||
      HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) {
    return false;
  }

  if (const std::size_t i = FindLine(section, key); i != npos) {
    // Keeps the key as the file spells it.
    lines_[i].text = std::string(EntryOf(lines_[i].text)->key) + "=" + Quoted(value);
    return true;
  }
  std::string entry = std::string(key) + "=" + Quoted(value);

  const auto header = std::ranges::find_if(lines_, [&](const Line& line) {
    const auto name = SectionName(line.text);
    return name && SameName(*name, section);
  });
  if (header != lines_.end()) {
    // After the section's last non-blank line, so blank lines keep separating the sections.
    const std::size_t begin = static_cast<std::size_t>(header - lines_.begin()) + 1;
    std::size_t end = begin;
    while (end < lines_.size() && !SectionName(lines_[end].text)) ++end;
    while (end > begin && IsBlank(lines_[end - 1].text)) --end;
    Insert(end, std::move(entry));
    return true;
  }

  if (!lines_.empty() && !IsBlank(lines_.back().text)) Insert(lines_.size(), "");
  Insert(lines_.size(), "[" + std::string(section) + "]");
  Insert(lines_.size(), std::move(entry));
  return true;
}

std::string IniDocument::Serialize() const {
  std::string text = byteOrderMark_;
  for (const Line& line : lines_) text += line.text + line.ending;
  return text;
}

WriteResult IniDocument::Write(const std::filesystem::path& path) const {
  return WriteFileSafely(path, Serialize());
}

}  // namespace kdsp::settings
