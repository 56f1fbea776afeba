// SPDX-License-Identifier: GPL-3.0-or-later
// Texts and typed values of the pages' controls.
#include "pages/page_values.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

#include "settings/frequency_grid.h"
#include "settings/value_texts.h"
#include "skin/img_eq_band.h"
#include "skin/img_roller.h"
#include "skin/typed_text.h"
#include "skin/value_text.h"

namespace kdsp::pages {

using skin::ParseDecimal;
using skin::TypedFrequencyStep;

namespace {

template <std::size_t N>
void FromTable(std::int32_t value, const std::array<std::string_view, N>& table,
               skin::BoxText& text) {
  // A byte loaded from a file may lie outside the table; it shows the nearest entry.
  const auto index = static_cast<std::size_t>(std::clamp<std::int32_t>(value, 0, N - 1));
  skin::SetBoxText(text, table[index]);
}

void FormatFrequency(std::int32_t value, int offStep, skin::BoxText& text) {
  if (value == offStep) {
    skin::SetBoxText(text, "OFF");
    return;
  }
  skin::SetBoxText(text, settings::frequencyLabel(value).view());
}

}  // namespace

void FormatInt(std::int32_t value, skin::BoxText& text) {
  skin::SetBoxText(text, std::to_string(value));
}
void FormatMilliseconds(std::int32_t value, skin::BoxText& text) {
  skin::SetBoxText(text, std::to_string(value) + "ms");
}
void FormatAttack(std::int32_t value, skin::BoxText& text) {
  FromTable(value, settings::kAttackTexts, text);
}
void FormatRelease(std::int32_t value, skin::BoxText& text) {
  FromTable(value, settings::kReleaseTexts, text);
}
void FormatRatio(std::int32_t value, skin::BoxText& text) {
  FromTable(value, settings::kRatioTexts, text);
}
void FormatFreqOffLow(std::int32_t value, skin::BoxText& text) {
  FormatFrequency(value, 0, text);
}
void FormatFreqOffHigh(std::int32_t value, skin::BoxText& text) {
  FormatFrequency(value, settings::kLastStep, text);
}

bool CommitFreq(void* owner, skin::BoxText& text) {
  auto& roller = *static_cast<skin::ImgRoller*>(owner);
  const auto step = TypedFrequencyStep(skin::BoxTextView(text));
  if (step) {
    roller.value = *step;
    roller.fireChange();
  }
  roller.refreshText();
  text = roller.valueBox.text;
  return step.has_value();
}

bool CommitEqGain(void* owner, skin::BoxText& text) {
  auto& strip = *static_cast<skin::ImgEqBand*>(owner);
  const auto typed = ParseDecimal(skin::BoxTextView(text));
  const double tenths = typed ? std::trunc(*typed * 10.0) : 1e9;
  const bool taken = strip.band != nullptr && tenths >= -240 && tenths <= 120;
  if (taken) {
    strip.band->gain = static_cast<std::int16_t>(tenths);
    strip.markChanged();
  }
  strip.refresh();
  text = strip.fader.valueBox.text;
  return taken;
}

bool CommitEqFreq(void* owner, skin::BoxText& text) {
  auto& strip = *static_cast<skin::ImgEqBand*>(owner);
  const auto step = TypedFrequencyStep(skin::BoxTextView(text));
  const bool taken = step && strip.band;
  if (taken) {
    int index = *step;
    if (strip.band->type == settings::kLowShelf)
      index = std::min(index, skin::ImgEqBand::kLowShelfTopStep);
    if (strip.band->type == settings::kHighShelf)
      index = std::max(index, skin::ImgEqBand::kHighShelfBottomStep);
    strip.band->frequency = static_cast<std::uint16_t>(index);
    strip.markChanged();
  }
  strip.refresh();
  text = strip.freqBox.text;
  return taken;
}

bool CommitEqQ(void* owner, skin::BoxText& text) {
  auto& strip = *static_cast<skin::ImgEqBand*>(owner);
  const auto q = ParseDecimal(skin::BoxTextView(text));
  const bool taken = q && *q >= 0.05 && *q <= 3.00 && strip.band;
  if (taken) {
    strip.band->bandwidth =
        static_cast<std::uint8_t>(static_cast<int>(std::trunc((*q + 0.0001) * 100)) / 5 - 1);
    strip.markChanged();
  }
  strip.refresh();
  text = strip.qBox.text;
  return taken;
}

}  // namespace kdsp::pages
