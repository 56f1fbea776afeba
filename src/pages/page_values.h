// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the pages' faders show and the handlers that take typed values back: whole numbers,
// the compressor tables, frequencies with OFF at a filter's end, and the EQ strip's gain,
// frequency and Q.
#pragma once

#include <optional>
#include <string_view>

#include "skin/control_callbacks.h"

namespace kdsp::pages {

void FormatInt(std::int32_t value, skin::BoxText& text);
// The whole number with its unit: 196 shows "196ms", -99 "-99ms".
void FormatMilliseconds(std::int32_t value, skin::BoxText& text);
void FormatAttack(std::int32_t value, skin::BoxText& text);
void FormatRelease(std::int32_t value, skin::BoxText& text);
void FormatRatio(std::int32_t value, skin::BoxText& text);
// The four-character frequency label; "OFF" at step 0 (a high-pass filter switched off).
void FormatFreqOffLow(std::int32_t value, skin::BoxText& text);
// The four-character frequency label; "OFF" at step 359 (a low-pass filter switched off).
void FormatFreqOffHigh(std::int32_t value, skin::BoxText& text);

// Commit handlers; userData is the control that owns the box (an ImgRoller for CommitFreq, an
// ImgEqBand for the three strip handlers). Each says whether it took the entry.
bool CommitFreq(void* roller, skin::BoxText& text);
bool CommitEqGain(void* strip, skin::BoxText& text);
bool CommitEqFreq(void* strip, skin::BoxText& text);
bool CommitEqQ(void* strip, skin::BoxText& text);

}  // namespace kdsp::pages
