// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/composed_messages.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/composed_text.h"
#include "device/link_messages.h"
#include "display/filter_fit_messages.h"
#include "settings/file_messages.h"
#include "settings/step_names.h"

namespace kdsp::app {
namespace {

namespace device_message = device::message;
namespace display_message = display::message;
namespace settings_message = settings::message;

// The catch-all "<file>: <fault>" comes last, after every pattern that names its own words.
constexpr ComposedPattern kMessagePatterns[] = {
    {device_message::kIncompleteRead},
    {device_message::kPermissionProblem},
    {settings_message::kSettingFileTooShort},
    {settings_message::kCantWrite, 2},
    {settings_message::kCantRead},
    {settings_message::kCalibrationUnreadable},
    {settings_message::kCalibrationTooLarge},
    {settings_message::kCalibrationLine, 2},
    // Before the line of a fault and the report's line, which the text of a line not read
    // could also fill in.
    {display_message::kLineNotRead},
    {settings_message::kFilterLine, 2},
    {settings_message::kFilterFoundNotOnOff},
    {settings_message::kFilterUnknownType},
    {settings_message::kFilterUnexpectedWord},
    {settings_message::kFilterWordTwice},
    {settings_message::kFilterWordWithoutNumber},
    {settings_message::kFilterWordTooLarge},
    {settings_message::kFilterCommandUnsupported},
    {display_message::kFilterFileTooLong},
    {display_message::kNoFilters},
    {display_message::kFiltersForBands},
    {display_message::kFiltersForOneBand},
    {display_message::kOneFilterForNoBands},
    {display_message::kFrequencyOutside},
    {display_message::kGainOutside},
    {display_message::kQOutside},
    {display_message::kSlopeTooSteep},
    {display_message::kNoPassFilter, 2},
    {display_message::kSecondPassFilter, 1},
    {display_message::kPreampNotApplied},
    {display_message::kReportLine},
    {display_message::kLargestDeviation},
    {display_message::kFilterFileFault, 2},
};

// A recalled slot is named as the Presets menu names it.
constexpr ComposedPattern kStepNamePatterns[] = {
    {settings::step::kLoadFile},     {settings::step::kRecallSlot, 1},
    {settings::step::kNumberedSlot}, {settings::step::kImportFilters},
    {settings::step::kCopySide},     {settings::step::kPhoneFields},
    {settings::step::kPhoneField},
};

bool RunsOverALineEnd(const std::vector<std::string>& values) {
  return std::ranges::any_of(
      values, [](const std::string& value) { return value.find('\n') != std::string::npos; });
}

std::optional<std::string> FilledIn(std::string_view english, Patterns patterns,
                                    const TextLookup& lookup) {
  for (const ComposedPattern& composed : patterns) {
    std::optional<std::vector<std::string>> values = core::ValuesIn(composed.pattern, english);
    if (!values) continue;
    if (composed.pattern.find('\n') == std::string_view::npos && RunsOverALineEnd(*values))
      continue;
    if (composed.textValue > 0 && static_cast<std::size_t>(composed.textValue) <= values->size()) {
      std::string& text = (*values)[static_cast<std::size_t>(composed.textValue - 1)];
      text = TranslateComposed(text, patterns, lookup);
    }
    return core::FillIn(lookup(composed.pattern), *values);
  }
  return std::nullopt;
}

}  // namespace

Patterns MessagePatterns() {
  return kMessagePatterns;
}

Patterns StepNamePatterns() {
  return kStepNamePatterns;
}

std::string TranslateComposed(std::string_view english, Patterns patterns,
                              const TextLookup& lookup) {
  if (english.empty()) return {};
  if (std::string fixed = lookup(english); fixed != english) return fixed;
  if (std::optional<std::string> composed = FilledIn(english, patterns, lookup)) return *composed;
  if (english.find('\n') == std::string_view::npos) return std::string(english);
  std::string out;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = english.find('\n', start);
    out += TranslateComposed(english.substr(start, end - start), patterns, lookup);
    if (end == std::string_view::npos) return out;
    out += '\n';
    start = end + 1;
  }
}

}  // namespace kdsp::app
