// SPDX-License-Identifier: GPL-3.0-or-later
// Microphone calibration files.
#include "settings/calibration_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "core/composed_text.h"
#include "settings/file_messages.h"
#include "settings/file_read.h"
#include "settings/file_text.h"

namespace kdsp::settings {
namespace {

// Columns are apart by blanks, semicolons or commas; in a file that writes decimal commas, by
// blanks and semicolons alone.
constexpr std::string_view kSeparators = " \t\r,;";
constexpr std::string_view kSeparatorsButComma = " \t\r;";

// The range a microphone's calibration can cover and the corrections it can hold: beyond them a
// value is a mistake, and would take the response beyond what arithmetic can hold.
constexpr double kLowestHz = 0.1;
constexpr double kHighestHz = 1e6;
constexpr double kLargestDb = 100.0;

std::vector<std::string_view> Fields(std::string_view line, std::string_view separators) {
  std::vector<std::string_view> fields;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(separators, at)) != std::string_view::npos) {
    const std::size_t end = std::min(line.find_first_of(separators, at), line.size());
    fields.push_back(line.substr(at, end - at));
    at = end;
  }
  return fields;
}

// A whole field as a number; from_chars ignores the locale, so "1.5" is read alike everywhere.
// With decimalComma the field's decimal mark is a comma, and a dot makes it no number.
std::optional<double> Number(std::string_view field, bool decimalComma) {
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  std::string text(field);
  if (decimalComma) {
    if (text.find('.') != std::string::npos) return std::nullopt;
    std::replace(text.begin(), text.end(), ',', '.');
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool IsComment(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first != std::string_view::npos &&
         std::string_view("\"*#;").find(line[first]) != std::string_view::npos;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// "-1,25": a comma between digits that is the only mark of the field.
bool IsDecimalCommaNumber(std::string_view field) {
  const std::size_t comma = field.find(',');
  return comma != std::string_view::npos && comma > 0 && comma + 1 < field.size() &&
         std::isdigit(static_cast<unsigned char>(field[comma - 1])) &&
         std::isdigit(static_cast<unsigned char>(field[comma + 1])) && Number(field, true);
}

// Whether the file writes decimal commas, its columns then apart by blanks or semicolons: a data
// line of two or more such columns with a comma inside one ("1000\t0,25") says so, a comma that
// can only part columns ("20,-1", "1000,0.25") says not. A file saying both, or neither, parts
// its columns at commas too.
bool WritesDecimalCommas(const std::vector<std::string_view>& lines) {
  bool decimal = false;
  bool parting = false;
  for (std::string_view line : lines) {
    if (IsComment(line)) continue;
    const std::vector<std::string_view> fields = Fields(line, kSeparatorsButComma);
    if (fields.empty() || !Number(fields[0].substr(0, fields[0].find(',')), false)) continue;
    for (std::string_view field : fields) {
      if (field.find(',') == std::string_view::npos) continue;
      if (!IsDecimalCommaNumber(field)) {
        parting = true;
      } else if (fields.size() >= 2) {
        decimal = true;
      }
    }
  }
  return decimal && !parting;
}

std::string LineError(int number, std::string_view what, std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  return core::FillIn(message::kCalibrationLine,
                      {std::to_string(number), what, PrintableText(line.substr(0, 80))});
}

}  // namespace

double MicCalibration::responseDb(double hz) const {
  if (!(hz > points_.front().hz)) return points_.front().db;  // a NaN too
  if (hz >= points_.back().hz) return points_.back().db;
  const auto above = std::upper_bound(points_.begin(), points_.end(), hz,
                                      [](double f, const CalibrationPoint& p) { return f < p.hz; });
  const CalibrationPoint& high = *above;
  const CalibrationPoint& low = *(above - 1);
  const double t = std::log(hz / low.hz) / std::log(high.hz / low.hz);
  return low.db + t * (high.db - low.db);
}

CalibrationRead ParseCalibration(std::string_view text) {
  const std::vector<std::string_view> lines = Lines(WithoutByteOrderMark(text));
  const bool decimalComma = WritesDecimalCommas(lines);
  const std::string_view separators = decimalComma ? kSeparatorsButComma : kSeparators;
  std::vector<CalibrationPoint> points;
  int number = 0;
  for (std::string_view line : lines) {
    ++number;
    if (IsComment(line)) continue;
    const std::vector<std::string_view> fields = Fields(line, separators);
    if (fields.empty()) continue;
    const std::optional<double> hz = Number(fields[0], decimalComma);
    // Header lines before the data are whatever the maker put there.
    if (!hz && points.empty()) continue;
    const std::optional<double> db =
        fields.size() >= 2 ? Number(fields[1], decimalComma) : std::nullopt;
    if (!hz || !db) {
      return {std::nullopt, LineError(number, message::kCalibrationLineNotNumbers, line)};
    }
    // A fourth number is most likely a decimal comma ("20,5 -1,2"), which would be misread.
    if (fields.size() > 3) {
      return {std::nullopt, LineError(number, message::kCalibrationLineTooWide, line)};
    }
    if (*hz <= 0)
      return {std::nullopt, LineError(number, message::kCalibrationLineNotAboveZero, line)};
    if (*hz < kLowestHz || *hz > kHighestHz)
      return {std::nullopt, LineError(number, message::kCalibrationLineFrequencyOutside, line)};
    if (std::abs(*db) > kLargestDb)
      return {std::nullopt, LineError(number, message::kCalibrationLineLevelBeyond, line)};
    if (!points.empty() && *hz <= points.back().hz) {
      return {std::nullopt, LineError(number, message::kCalibrationLineNotRising, line)};
    }
    points.push_back({*hz, *db});
  }
  if (points.empty()) return {std::nullopt, std::string(message::kCalibrationEmpty)};
  return {MicCalibration(std::move(points)), {}};
}

CalibrationRead ReadCalibrationFile(const std::filesystem::path& path) {
  const std::optional<std::string> text = ReadFileHead(path, kCalibrationFileLimit + 1);
  if (!text) return {std::nullopt, core::FillIn(message::kCalibrationUnreadable, {path.string()})};
  if (text->size() > kCalibrationFileLimit) {
    return {std::nullopt, core::FillIn(message::kCalibrationTooLarge, {path.string()})};
  }
  return ParseCalibration(*text);
}

}  // namespace kdsp::settings
