// SPDX-License-Identifier: GPL-3.0-or-later
// One JSON value read from text: what the remote sends for a field (a number, true or false, a
// string, or an object of those such as {"level":40,"muted":false}).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kdsp::settings {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0.0;
  std::string text;
  std::map<std::string, JsonValue, std::less<>> members;

  const JsonValue* member(std::string_view name) const {
    const auto it = members.find(name);
    return it == members.end() ? nullptr : &it->second;
  }
};

// The value the whole text holds (white space around it allowed); nothing for anything else,
// arrays included, and for objects nested deeper than a few levels.
std::optional<JsonValue> ParseJsonValue(std::string_view text);

}  // namespace kdsp::settings
