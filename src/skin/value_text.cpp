// SPDX-License-Identifier: GPL-3.0-or-later
// Decimal display texts and the locale decimal separator.
#include "skin/value_text.h"

#include <QLocale>
#include <QString>
#include <charconv>
#include <cmath>

namespace kdsp::skin {
namespace {

// The program's locale, which is the desktop's unless the program (or a test) set another.
char SeparatorOfDefaultLocale() {
  const QString point = QLocale().decimalPoint();
  if (point == QStringLiteral(",")) return ',';
  return '.';
}

char& Separator() {
  static char separator = SeparatorOfDefaultLocale();
  return separator;
}

// Fixed-point text through to_chars, which ignores the C locale (Qt sets it to the desktop's,
// where printf would already write a comma), into a roomy scratch buffer first, so a value far
// outside its control's range still yields a cut text instead of an overrun.
void FormatFixed(double value, int decimals, bool sign, BoxText& text) {
  char scratch[48];
  char* at = scratch;
  if (sign && !std::signbit(value)) *at++ = '+';
  const auto [end, error] =
      std::to_chars(at, scratch + sizeof scratch, value, std::chars_format::fixed, decimals);
  SetBoxText(text, std::string_view(scratch, error == std::errc() ? end - scratch : 0));
  LocaliseDecimalPoint(text);
}

}  // namespace

char DecimalSeparator() {
  return Separator();
}

void SetDecimalSeparator(char separator) {
  Separator() = separator;
}

void LocaliseDecimalPoint(BoxText& text) {
  const std::size_t point = BoxTextView(text).find('.');
  if (point != std::string_view::npos) text[point] = DecimalSeparator();
}

void FormatTenths(std::int32_t value, BoxText& text) {
  FormatFixed(static_cast<double>(value) / 10.0, 1, true, text);
}

void FormatQ(int bandwidth, BoxText& text) {
  FormatFixed(static_cast<double>(bandwidth * 5 + 5) / 100.0, 2, false, text);
}

void FormatHundredths(std::int32_t value, BoxText& text) {
  FormatFixed(static_cast<double>(value) / 100.0, 2, false, text);
}

}  // namespace kdsp::skin
