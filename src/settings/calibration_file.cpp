// SPDX-License-Identifier: GPL-3.0-or-later
// Microphone calibration files.
#include "settings/calibration_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/composed_text.h"
#include "settings/file_messages.h"
#include "settings/file_read.h"

namespace kdsp::settings {
namespace {

constexpr std::string_view kSeparators = " \t\r,;";

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(kSeparators, at)) != std::string_view::npos) {
    const std::size_t end = std::min(line.find_first_of(kSeparators, at), line.size());
    fields.push_back(line.substr(at, end - at));
    at = end;
  }
  return fields;
}

// A whole field as a number; from_chars ignores the locale, so "1.5" is read alike everywhere.
std::optional<double> Number(std::string_view field) {
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (ec != std::errc() || end != field.data() + field.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool IsComment(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first != std::string_view::npos &&
         std::string_view("\"*#;").find(line[first]) != std::string_view::npos;
}

std::string LineError(int number, std::string_view what, std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  return core::FillIn(message::kCalibrationLine,
                      {std::to_string(number), what, line.substr(0, 80)});
}

}  // namespace

double MicCalibration::responseDb(double hz) const {
  if (hz <= points_.front().hz) return points_.front().db;
  if (hz >= points_.back().hz) return points_.back().db;
  const auto above = std::upper_bound(points_.begin(), points_.end(), hz,
                                      [](double f, const CalibrationPoint& p) { return f < p.hz; });
  const CalibrationPoint& high = *above;
  const CalibrationPoint& low = *(above - 1);
  const double t = std::log(hz / low.hz) / std::log(high.hz / low.hz);
  return low.db + t * (high.db - low.db);
}

CalibrationRead ParseCalibration(std::string_view text) {
  std::vector<CalibrationPoint> points;
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (IsComment(line)) continue;
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.empty()) continue;
    const std::optional<double> hz = Number(fields[0]);
    // Header lines before the data are whatever the maker put there.
    if (!hz && points.empty()) continue;
    const std::optional<double> db = fields.size() >= 2 ? Number(fields[1]) : std::nullopt;
    if (!hz || !db) {
      return {std::nullopt, LineError(number, message::kCalibrationLineNotNumbers, line)};
    }
    // A fourth number is most likely a decimal comma ("20,5 -1,2"), which would be misread.
    if (fields.size() > 3) {
      return {std::nullopt, LineError(number, message::kCalibrationLineTooWide, line)};
    }
    if (*hz <= 0)
      return {std::nullopt, LineError(number, message::kCalibrationLineNotAboveZero, line)};
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
