// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the program shows by default is English: no string literal of the program's or the
// tools' sources holds a Chinese character (translations come through Qt's translation system,
// never from the code). Comments may quote whatever they explain.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace kdsp {
namespace {

namespace fs = std::filesystem;

struct Finding {
  int line;
  std::string literal;
};

// Han ideographs, CJK punctuation and symbols, kana, Hangul and the full-width forms.
bool IsCjk(std::uint32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
         (c >= 0x20000 && c <= 0x2FA1F);
}

bool HasCjk(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length && i + k < utf8.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    if (IsCjk(c)) return true;
    i += length;
  }
  return false;
}

// The string literals of a C++ source that hold a Chinese character, skipping comments and
// character literals; raw strings count as literals.
std::vector<Finding> ChineseLiterals(std::string_view source) {
  std::vector<Finding> found;
  int line = 1;
  std::size_t i = 0;
  const auto advance = [&](std::size_t to) {
    for (; i < to && i < source.size(); ++i)
      if (source[i] == '\n') ++line;
  };
  while (i < source.size()) {
    const std::string_view rest = source.substr(i);
    if (rest.starts_with("//")) {
      advance(source.find('\n', i));
    } else if (rest.starts_with("/*")) {
      const std::size_t end = source.find("*/", i + 2);
      advance(end == std::string_view::npos ? source.size() : end + 2);
    } else if (rest.starts_with("R\"")) {
      const std::size_t open = source.find('(', i);
      const std::string close =
          std::string(")").append(source.substr(i + 2, open - i - 2)).append("\"");
      const std::size_t end = source.find(close, open);
      const std::size_t stop = end == std::string_view::npos ? source.size() : end + close.size();
      const int at = line;
      const std::string_view literal = source.substr(i, stop - i);
      if (HasCjk(literal)) found.push_back({at, std::string(literal)});
      advance(stop);
    } else if (source[i] == '\'' && i > 0 &&
               std::isdigit(static_cast<unsigned char>(source[i - 1]))) {
      advance(i + 1);  // a digit separator
    } else if (source[i] == '"' || source[i] == '\'') {
      const char quote = source[i];
      std::size_t end = i + 1;
      while (end < source.size() && source[end] != quote && source[end] != '\n')
        end += source[end] == '\\' ? 2 : 1;
      const std::string_view literal = source.substr(i, end + 1 - i);
      if (quote == '"' && HasCjk(literal)) found.push_back({line, std::string(literal)});
      advance(end + 1);
    } else {
      advance(i + 1);
    }
  }
  return found;
}

TEST(EnglishTexts, TheScannerFindsChineseOnlyInStringLiterals) {
  struct Case {
    const char* source;
    std::vector<int> lines;
  };
  const Case cases[] = {
      {"auto a = \"\xE7\xB2\x89\xE5\x99\xAA\";", {1}},           // a Han literal
      {"// \xE7\xB2\x89\xE5\x99\xAA\nauto a = \"Pink\";", {}},   // in a comment
      {"/* \xE7\xB2\x89\n \xE5\x99\xAA */ f(\"x\");", {}},       // in a block comment
      {"f(\"a\\\"b\");\ng(\"socket\xE3\x80\x81x\");", {2}},      // CJK punctuation, escapes
      {"f(R\"(\n\xE7\xB2\x89)\");", {1}},                        // raw string
      {"f(\"\xEF\xBC\x88x\xEF\xBC\x89\");", {1}},                // full-width brackets
      {"f(\"J\xC3\xBCrgen \xE2\x80\x94 50 \xC3\x97 2\");", {}},  // Latin and symbols are fine
      {"char c = '\"'; f(\"\xE7\xB2\x89\");", {1}},              // a quote in a char literal
      {"int n = 1'000; f(\"\xE7\xB2\x89\");", {1}},              // a digit separator
  };
  for (const Case& c : cases) {
    std::vector<int> lines;
    for (const Finding& f : ChineseLiterals(c.source)) lines.push_back(f.line);
    EXPECT_EQ(lines, c.lines) << c.source;
  }
}

TEST(EnglishTexts, NoSourceLiteralHoldsAChineseCharacter) {
  const fs::path root = KDSP_SOURCE_DIR;
  int files = 0;
  for (const char* folder : {"src", "tools"}) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / folder)) {
      const fs::path& path = entry.path();
      if (!entry.is_regular_file() || (path.extension() != ".cpp" && path.extension() != ".h"))
        continue;
      ++files;
      std::ifstream in(path, std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      for (const Finding& f : ChineseLiterals(text.str()))
        ADD_FAILURE() << fs::relative(path, root).string() << ":" << f.line << ": " << f.literal;
    }
  }
  EXPECT_GT(files, 100);  // the tree was found
}

}  // namespace
}  // namespace kdsp
