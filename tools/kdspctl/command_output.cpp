// SPDX-License-Identifier: GPL-3.0-or-later
// Printing a command's output at once, or keeping it for later.
#include "command_output.h"

#include <cstdio>

namespace kdsp::tools {
namespace {

// An empty view may hold no pointer at all, which fwrite must not be given.
void Write(std::FILE* to, std::string_view text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), to);
}

void WriteLine(std::FILE* to, std::string_view prefix, std::string_view line) {
  Write(to, prefix);
  Write(to, line);
  std::fputc('\n', to);
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

void ConsoleOutput::data(std::string_view text) {
  Write(stdout, text);
}

void ConsoleOutput::progress(std::string_view line) {
  WriteLine(stderr, {}, line);
}

void ConsoleOutput::message(std::string_view line) {
  WriteLine(stderr, "kdspctl: ", line);
}

void ConsoleOutput::done(std::string_view line) {
  WriteLine(stderr, {}, line);
}

void CollectedOutput::data(std::string_view text) {
  for (std::string& line : SplitLines(text)) data_.push_back(std::move(line));
}

void CollectedOutput::message(std::string_view line) {
  messages_.emplace_back(line);
}

void CollectedOutput::done(std::string_view line) {
  result_ = std::string(line);
}

}  // namespace kdsp::tools
