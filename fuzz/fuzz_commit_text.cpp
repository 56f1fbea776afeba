// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes what a typed value box text goes through: the 10-byte box buffer, the commit handlers'
// parsers (whole numbers, decimals with either separator, frequencies), clamping to a fader's
// range and the frequency grid a typed frequency lands on.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/frequency_grid.h"
#include "skin/control_callbacks.h"
#include "skin/typed_text.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kdsp;
  FuzzedDataProvider input(data, size);

  // A box holds the first nine characters up to the first zero, and always its terminator.
  skin::BoxText box;
  box.fill('x');
  const std::string typed = input.ConsumeRandomLengthString(32);
  skin::SetBoxText(box, typed);
  const std::string_view shown = skin::BoxTextView(box);
  Check(box.back() == '\0');
  Check(shown.size() <= static_cast<std::size_t>(skin::kBoxTextMaxChars));
  Check(shown == std::string_view(typed).substr(0, shown.size()));
  Check(std::memchr(shown.data(), 0, shown.size()) == nullptr);

  // The commit handlers' parsers take exactly what the box shows.
  if (const auto n = skin::ParseBoxInteger(shown)) Check(!shown.empty());
  if (const auto d = skin::ParseDecimal(shown)) Check(std::isfinite(*d));
  if (const auto step = skin::TypedFrequencyStep(shown))
    Check(*step >= 0 && *step <= settings::kLastStep);

  // A typed number clamped to a fader's range stays within it, whatever its size.
  const auto lo = input.ConsumeIntegral<std::int32_t>();
  const auto hi = input.ConsumeIntegralInRange<std::int32_t>(lo, INT32_MAX);
  const auto v = input.ConsumeIntegral<std::int64_t>();
  const std::int32_t clamped = skin::ClampValue(v, lo, hi);
  Check(clamped >= lo && clamped <= hi);
  Check((v >= lo && v <= hi) == (clamped == v));

  // A typed frequency lands on the first grid step at or above it.
  const float hz = input.ConsumeFloatingPoint<float>();
  const int step = settings::gridStepAtOrAbove(hz);
  Check(step >= 0 && step <= settings::kLastStep);
  if (hz >= settings::gridFrequency(0) && hz <= settings::gridFrequency(settings::kLastStep)) {
    Check(settings::gridFrequency(step) >= hz);
    Check(step == 0 || settings::gridFrequency(step - 1) < hz);
  }
  const auto label = settings::frequencyLabel(input.ConsumeIntegral<int>());
  Check(label.chars[4] == '\0');
  return 0;
}
