// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes microphone calibration files: any text either reads or is refused with a message, and
// whatever reads holds rising frequencies and gives a finite response everywhere: at its points,
// between them, beyond them and at frequencies no file holds.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <vector>

#include "settings/calibration_file.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kdsp::settings;
  const CalibrationRead read =
      ParseCalibration(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!read.calibration) {
    Check(!read.error.empty());
    return 0;
  }
  Check(read.error.empty());
  const MicCalibration& mic = *read.calibration;
  const std::vector<CalibrationPoint>& points = mic.points();
  Check(!points.empty());
  std::vector<double> asked = {0.0,
                               -1.0,
                               std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()};
  for (std::size_t i = 0; i < points.size(); ++i) {
    Check(std::isfinite(points[i].hz) && points[i].hz > 0 && std::isfinite(points[i].db));
    if (i > 0) {
      Check(points[i].hz > points[i - 1].hz);
      asked.push_back(std::sqrt(points[i].hz * points[i - 1].hz));
      asked.push_back(std::nextafter(points[i].hz, 0.0));
    }
    asked.push_back(points[i].hz);
  }
  for (double hz = 10.0; hz < 30000.0; hz *= 1.1) asked.push_back(hz);
  for (double hz : asked) Check(std::isfinite(mic.responseDb(hz)));
  return 0;
}
