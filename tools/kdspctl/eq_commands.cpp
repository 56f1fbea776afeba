// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl's eq commands: a page's bands exported as a filter list, and a filter list from a
// measurement or equaliser program imported onto a page of a setting file.
#include <iostream>

#include "commands.h"
#include "display/filter_fit.h"
#include "settings/filter_text.h"
#include "settings/setting_file.h"

namespace kdsp::tools {
namespace {

constexpr const char* kUsage =
    "usage: kdspctl eq export FILE.aex --page PAGE [--mic-set a|b] [-o OUT.txt]\n"
    "       kdspctl eq import FILE.aex --page PAGE [--mic-set a|b] FILTERS.txt [-o OUT.aex]\n"
    "PAGE: mic music echo reverb main center surround subwoofer";

struct EqArguments {
  std::vector<std::string> files;  // the setting file, then the filter list for import
  PageChoice choice;
  std::string output;
};

EqArguments ParseEqArguments(const Args& args, std::size_t fileCount) {
  EqArguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (TakePageOption(args, i, parsed.choice, kUsage)) continue;
    if (args[i] == "-o" && i + 1 < args.size() && parsed.output.empty()) {
      parsed.output = args[++i];
    } else if (parsed.files.size() < fileCount && !args[i].starts_with("-")) {
      parsed.files.emplace_back(args[i]);
    } else {
      throw UsageError(kUsage);
    }
  }
  if (parsed.files.size() != fileCount || parsed.choice.page == nullptr) throw UsageError(kUsage);
  return parsed;
}

int RunEqExport(const Args& args) {
  const EqArguments a = ParseEqArguments(args, 1);
  const std::string text =
      display::ExportFilterText(LoadBlockOrExplain(a.files[0]), *a.choice.page, a.choice.secondSet);
  if (a.output.empty()) {
    std::cout << text;
    return 0;
  }
  const settings::WriteResult written = settings::WriteFileSafely(a.output, text);
  if (!written) throw CommandFailure(written.message);
  return 0;
}

int RunEqImport(const Args& args) {
  const EqArguments a = ParseEqArguments(args, 2);
  const std::string& settingFile = a.files[0];
  const std::string& filterFile = a.files[1];
  const settings::ParameterBlock block = LoadBlockOrExplain(settingFile);
  const display::FilterFileFit imported =
      display::FitFilterFile(filterFile, block, *a.choice.page, a.choice.secondSet);
  if (!imported.ok()) throw UsageError(imported.error + "; " + settingFile + " is unchanged");
  const display::FilterFit& fit = imported.fit;
  // Without -o the setting file is replaced whole, never left half-written.
  const settings::WriteResult written =
      settings::WriteSettingFile(a.output.empty() ? settingFile : a.output, fit.block);
  if (!written) throw CommandFailure(written.message);
  for (const std::string& line : display::FitReport(fit)) std::cout << line << '\n';
  return 0;
}

}  // namespace

int RunEq(const Args& args) {
  if (args.empty()) throw UsageError(kUsage);
  const Args rest(args.begin() + 1, args.end());
  if (args[0] == "export") return RunEqExport(rest);
  if (args[0] == "import") return RunEqImport(rest);
  throw UsageError("unknown eq command '" + std::string(args[0]) + "'\n" + kUsage);
}

}  // namespace kdsp::tools
