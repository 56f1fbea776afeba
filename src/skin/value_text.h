// SPDX-License-Identifier: GPL-3.0-or-later
// Display texts of decimal values: the EQ gain in tenths of a dB, the band Q, and the user's
// locale decimal separator that replaces the first full stop of every such text.
#pragma once

#include <cstdint>

#include "skin/control_callbacks.h"

namespace kdsp::skin {

// The separator of decimal display texts, read from the program's default locale (the
// desktop's, or the one set with QLocale::setDefault before) on first use and kept for the whole
// run; the texts never depend on the C locale. Only a comma or a full stop can be typed into a
// value box, so any other locale separator is replaced by a full stop.
char DecimalSeparator();
// Overrides the separator (tests, and a start-up that decides it itself).
void SetDecimalSeparator(char separator);

// Replaces the first "." of the text with the decimal separator.
void LocaliseDecimalPoint(BoxText& text);

// "%+2.1f" of value / 10 with the locale separator: 35 shows "+3.5", -120 shows "-12.0".
// A ValueFormatter.
void FormatTenths(std::int32_t value, BoxText& text);

// "%.2f" of (bandwidth * 5 + 5) / 100 with the locale separator: 0 shows "0.05", 59 "3.00".
void FormatQ(int bandwidth, BoxText& text);

// "%0.2f" of value / 100 with the locale separator: 1234 shows "12.34". A ValueFormatter.
void FormatHundredths(std::int32_t value, BoxText& text);

}  // namespace kdsp::skin
