// SPDX-License-Identifier: GPL-3.0-or-later
// Shared helpers of the kdspctl commands.
#include "cli_support.h"

#include <cstdio>

#include "core/whole_number.h"
#include "settings/setting_file.h"

namespace kdsp::tools {

namespace {

std::string NumberProblemText(const core::WholeNumber& read, std::string_view text, long low,
                              long high, std::string_view what) {
  if (read.problem == core::NumberProblem::kNotANumber)
    return std::string(what) + " '" + std::string(text) + "' is not a number";
  return std::string(what) + " " + std::string(text) + " is out of range " + std::to_string(low) +
         ".." + std::to_string(high);
}

}  // namespace

long ParseNumber(std::string_view text, long low, long high, std::string_view what) {
  const core::WholeNumber read = core::ReadWholeNumber(text, low, high);
  if (read) return static_cast<long>(read.value);
  throw UsageError(NumberProblemText(read, text, low, high, what));
}

std::uint8_t ParseByte(std::string_view text, std::string_view what) {
  // As a record's text writes it: 0xE5.
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  const core::WholeNumber read =
      core::ReadWholeNumber(hex ? text.substr(2) : text, 0, 255, hex ? 16 : 10);
  if (read) return static_cast<std::uint8_t>(read.value);
  throw UsageError(NumberProblemText(read, text, 0, 255, what));
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
