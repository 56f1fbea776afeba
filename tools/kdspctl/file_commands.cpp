// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl's setting-file commands: new, dump, diff and curve.
#include <cstdio>
#include <iostream>

#include "commands.h"
#include "display/page_response.h"
#include "settings/block_fields.h"
#include "settings/setting_file.h"

namespace kdsp::tools {

using settings::DescribeBlock;
using settings::FieldsToJson;
using settings::FieldValue;

int RunNew(const Args& args) {
  if (args.size() != 1) throw UsageError("usage: kdspctl new FILE");
  const std::string path(args[0]);
  const settings::WriteResult written =
      settings::WriteSettingFile(path, settings::FactoryDefaults());
  if (!written) throw CommandFailure(written.message);
  return 0;
}

int RunDump(const Args& args) {
  bool json = false;
  std::string path;
  for (std::string_view a : args) {
    if (a == "--json") {
      json = true;
    } else if (path.empty() && !a.starts_with("--")) {
      path = a;
    } else {
      throw UsageError("usage: kdspctl dump FILE [--json]");
    }
  }
  if (path.empty()) throw UsageError("usage: kdspctl dump FILE [--json]");
  const auto fields = DescribeBlock(LoadBlockOrExplain(path));
  if (json) {
    std::cout << FieldsToJson(fields);
  } else {
    for (const FieldValue& f : fields) std::cout << f.name << " = " << f.text << '\n';
  }
  return 0;
}

int RunDiff(const Args& args) {
  if (args.size() != 2) throw UsageError("usage: kdspctl diff A B");
  const auto a = DescribeBlock(LoadBlockOrExplain(std::string(args[0])));
  const auto b = DescribeBlock(LoadBlockOrExplain(std::string(args[1])));
  int differences = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].text == b[i].text) continue;
    std::cout << a[i].name << ": " << a[i].text << " -> " << b[i].text << '\n';
    ++differences;
  }
  return differences == 0 ? 0 : 1;
}

int RunCurve(const Args& args) {
  std::string path;
  PageChoice choice;
  const char* usage =
      "usage: kdspctl curve FILE --page mic|music|echo|reverb|main|center|surround|subwoofer "
      "[--mic-set a|b]";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (TakePageOption(args, i, choice, usage)) continue;
    if (path.empty() && !args[i].starts_with("--")) {
      path = args[i];
    } else {
      throw UsageError(usage);
    }
  }
  if (path.empty() || choice.page == nullptr) throw UsageError(usage);
  const auto block = LoadBlockOrExplain(path);
  const display::ChartResponse response =
      display::PageResponse(block, *choice.page, choice.secondSet);
  const auto& hz = display::chartFrequencies();
  for (int i = 0; i < display::kChartPoints; ++i)
    std::printf("%.2f\t%.3f\n", hz[i], response.db[i]);
  return 0;
}

}  // namespace kdsp::tools
