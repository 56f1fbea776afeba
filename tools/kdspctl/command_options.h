// SPDX-License-Identifier: GPL-3.0-or-later
// The options of kdspctl's device commands: --name VALUE pairs, flags and positional arguments,
// the slot and the panel password as the commands take them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli_support.h"

namespace kdsp::tools {

struct Options {
  std::map<std::string, std::string, std::less<>> values;
  std::vector<std::string> flags;
  std::vector<std::string> positional;

  bool has(std::string_view flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
  }
  std::optional<std::string> value(std::string_view name) const {
    const auto it = values.find(name);
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
};

// Options named in valued take a value, those in flags none; anything else starting with '-'
// is refused. Exactly `positional` positional arguments, unless `anyPositional`.
Options ParseOptions(const Args& args, std::initializer_list<std::string_view> valued,
                     std::initializer_list<std::string_view> flags, std::size_t positional,
                     const char* usage, bool anyPositional = false);

// "working" or a number within 0..highest.
std::uint8_t ParseSlot(const std::optional<std::string>& text, int highest, const char* usage);

// The --password option, if given.
std::optional<long> PasswordOption(const Options& options);

}  // namespace kdsp::tools
