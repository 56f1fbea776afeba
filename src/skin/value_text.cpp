// Decimal display texts and the locale decimal separator.
#include "skin/value_text.h"

#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstdio>

namespace kdsp::skin {
namespace {

char SeparatorOfSystemLocale() {
  const QString point = QLocale::system().decimalPoint();
  if (point == QStringLiteral(",")) return ',';
  return '.';
}

char& Separator() {
  static char separator = SeparatorOfSystemLocale();
  return separator;
}

// Formats into a roomy scratch buffer first, so a value far outside its control's range still
// yields a cut text instead of an overrun.
template <typename... Args>
void FormatInto(BoxText& text, const char* format, Args... args) {
  char scratch[48];
  const int n = std::snprintf(scratch, sizeof scratch, format, args...);
  const int length = std::clamp(n, 0, static_cast<int>(sizeof scratch) - 1);
  SetBoxText(text, std::string_view(scratch, static_cast<std::size_t>(length)));
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
  FormatInto(text, "%+2.1f", static_cast<double>(value) / 10.0);
}

void FormatQ(int bandwidth, BoxText& text) {
  FormatInto(text, "%.2f", static_cast<double>(bandwidth * 5 + 5) / 100.0);
}

}  // namespace kdsp::skin
