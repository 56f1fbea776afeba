// SPDX-License-Identifier: GPL-3.0-or-later
// Shared helpers of the kdspctl commands.
#include "cli_support.h"

#include <charconv>
#include <cstdio>

#include "settings/setting_file.h"

namespace kdsp::tools {

long ParseNumber(std::string_view text, long low, long high, std::string_view what) {
  std::string_view digits = text;
  int base = 10;
  bool negative = false;
  if (!digits.empty() && digits.front() == '-') {
    negative = true;
    digits.remove_prefix(1);
  }
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  long value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
    throw UsageError(std::string(what) + " '" + std::string(text) + "' is not a number");
  if (negative) value = -value;
  if (value < low || value > high)
    throw UsageError(std::string(what) + " " + std::string(text) + " is out of range " +
                     std::to_string(low) + ".." + std::to_string(high));
  return value;
}

settings::ParameterBlock LoadBlockOrExplain(const std::string& path) {
  settings::ParameterBlock block = settings::FactoryDefaults();
  const settings::SettingFileLoad load = settings::LoadSettingFile(path, block);
  switch (load.status) {
    case settings::SettingFileStatus::kLoaded:
      if (load.longerThanSettingFile)
        std::fprintf(stderr,
                     "kdspctl: warning: %s is longer than a setting file (%zu bytes); the rest "
                     "of it was ignored\n",
                     path.c_str(), settings::kSettingFileSize);
      return block;
    case settings::SettingFileStatus::kWrongType:
      throw UsageError(path + ": not a setting file of type 2");
    case settings::SettingFileStatus::kVersionError:
      throw UsageError(path + ": " + load.message + " (not a setting file)");
    default:
      throw UsageError(load.message.empty() ? path + ": cannot be read" : load.message);
  }
}

bool TakePageOption(const Args& args, std::size_t& i, PageChoice& choice, std::string_view usage) {
  if (args[i] == "--page" && i + 1 < args.size()) {
    choice.page = settings::FindPage(args[++i]);
    if (choice.page == nullptr)
      throw UsageError("unknown page '" + std::string(args[i]) + "'\n" + std::string(usage));
    return true;
  }
  if (args[i] == "--mic-set" && i + 1 < args.size()) {
    const std::string_view set = args[++i];
    if (set != "a" && set != "b") throw UsageError("--mic-set takes a or b");
    choice.secondSet = set == "b";
    return true;
  }
  return false;
}

}  // namespace kdsp::tools
