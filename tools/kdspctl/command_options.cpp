// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing the options of kdspctl's device commands.
#include "command_options.h"

#include "device/command_codes.h"

namespace kdsp::tools {

Options ParseOptions(const Args& args, std::initializer_list<std::string_view> valued,
                     std::initializer_list<std::string_view> flags, std::size_t positional,
                     const char* usage, bool anyPositional) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    if (std::find(valued.begin(), valued.end(), a) != valued.end()) {
      if (i + 1 >= args.size()) throw UsageError(std::string(a) + " needs a value\n" + usage);
      options.values[std::string(a)] = args[++i];
    } else if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
      options.flags.emplace_back(a);
    } else if (!a.starts_with("-") || a == "-") {
      options.positional.emplace_back(a);
    } else {
      throw UsageError("unknown option " + std::string(a) + "\n" + usage);
    }
  }
  if (!anyPositional && options.positional.size() != positional) throw UsageError(usage);
  return options;
}

std::uint8_t ParseSlot(const std::optional<std::string>& text, int highest, const char* usage) {
  if (!text) throw UsageError(usage);
  if (*text == "working") return device::kWorkingSettingsSlot;
  return static_cast<std::uint8_t>(ParseNumber(*text, 0, highest, "--slot"));
}

std::optional<long> PasswordOption(const Options& options) {
  if (const auto text = options.value("--password"))
    return ParseNumber(*text, 0, 65535, "--password");
  return std::nullopt;
}

}  // namespace kdsp::tools
