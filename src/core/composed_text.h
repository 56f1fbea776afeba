// SPDX-License-Identifier: GPL-3.0-or-later
// Messages made of a fixed pattern and the values put into it: "Can't write %1: %2" with a path
// and a reason. The working parts compose their messages in English with FillIn; the window that
// shows one finds its pattern again with ValuesIn, translates the pattern and fills in the same
// values, so a message with a file name in it reaches the user whole in the user's language
// while logs, scripts and kdspctl keep the one English wording.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kdsp::core {

// The pattern with %1 … %9 replaced by the values, the first value for %1. A placeholder
// without a value, and a % followed by anything else, stays as it is written.
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values);
std::string FillIn(std::string_view pattern, const std::vector<std::string>& values);

// The values that make text of the pattern, the value for %1 first; nothing when the text is
// not the pattern filled in. Where a value could end at more than one place, each placeholder
// takes the shortest value that lets the rest match, so a value holding the pattern's own
// separator goes to the last placeholder. A pattern without placeholders gives no values.
std::optional<std::vector<std::string>> ValuesIn(std::string_view pattern, std::string_view text);

}  // namespace kdsp::core
