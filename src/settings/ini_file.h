// SPDX-License-Identifier: GPL-3.0-or-later
// A small INI document that reads and edits files the way the Windows profile functions do.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/safe_file_write.h"

namespace kdsp::settings {

// Sections "[Name]" hold "key=value" lines. Section and key names match without regard to ASCII
// case; whitespace around names and values does not count, and a value in a matched pair of
// quotes is read without them. Every line that is not touched by Set - comments (";"), unknown
// sections and keys, lines that mean nothing - is written back byte for byte, with its own line
// ending. Values are UTF-8 text.
class IniDocument {
 public:
  // Larger files are not read at all; a settings file is a few kilobytes at most.
  static constexpr std::size_t kMaxFileSize = 4 * 1024 * 1024;

  IniDocument() = default;

  static IniDocument Parse(std::string_view text);
  // A missing, unreadable or oversized file reads as an empty document: Parse(ReadIniText()).
  static IniDocument Read(const std::filesystem::path& path);

  // The value of the first such key in a section of that name.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string Get(std::string_view section, std::string_view key,
                  std::string_view fallback = {}) const;
  // Find of each key, in one pass over the document rather than one per key.
  std::vector<std::optional<std::string>> FindEach(std::string_view section,
                                                   std::span<const std::string> keys) const;

  // Replaces the key's line in place, or adds the key at the end of its section, or adds the
  // section at the end of the document. Returns false, changing nothing, for what the format
  // cannot hold: an empty name, "]" in a section name, "=" or a leading "[" or ";" in a key,
  // or a line break or NUL anywhere. Values with outer spaces or quotes are quoted so that
  // they read back exactly.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  // Every key of the sections of that name with its value, in the file's order; a key written
  // twice is listed once, with its first value, as Find reads it.
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;
  // Removes every line of the key in the sections of that name; false when there was none.
  bool Remove(std::string_view section, std::string_view key);

  std::string Serialize() const;
  WriteResult Write(const std::filesystem::path& path) const;

 private:
  struct Line {
    std::string text;    // without its line ending
    std::string ending;  // "\n", "\r\n", or "" for a last line without one
  };

  // Offers visit(index, key, raw value) each "key=value" line in the sections named section, in
  // order, until it returns true; returns that line's index, or npos.
  template <typename Visit>
  std::size_t VisitEntries(std::string_view section, Visit visit) const;
  // Index of the value line of key in a section named section, or npos.
  std::size_t FindLine(std::string_view section, std::string_view key) const;
  void Insert(std::size_t at, std::string text);

  std::string byteOrderMark_;
  std::string newline_ = "\n";  // the document's own line ending, used for added lines
  std::vector<Line> lines_;
};

// The bytes of an INI file as IniDocument::Read takes them; empty for a missing, unreadable or
// oversized file. Readers of a particular file format parse this text themselves, so that what
// they make of it can be checked without a file.
std::string ReadIniText(const std::filesystem::path& path);

}  // namespace kdsp::settings
