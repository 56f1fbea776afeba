// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing filter lists in the text formats of measurement and equaliser programs.
#include "settings/filter_text.h"

#include <array>
#include <charconv>
#include <cmath>

#include "core/composed_text.h"
#include "core/translatable.h"
#include "settings/file_messages.h"

namespace kdsp::settings {
namespace {

struct KindName {
  std::string_view name;
  std::optional<FilterKind> kind;  // nullopt: a placeholder line ("None") that sets nothing
};

// Every type word either format writes, with the kind it asks for.
constexpr std::array<KindName, 12> kKindNames{{
    {"pk", FilterKind::kPeaking},
    {"peq", FilterKind::kPeaking},
    {"ls", FilterKind::kLowShelf},
    {"lsc", FilterKind::kLowShelf},
    {"hs", FilterKind::kHighShelf},
    {"hsc", FilterKind::kHighShelf},
    {"hp", FilterKind::kHighPass},
    {"hpq", FilterKind::kHighPass},
    {"lp", FilterKind::kLowPass},
    {"lpq", FilterKind::kLowPass},
    {"none", std::nullopt},
    {"no", std::nullopt},
}};

// Commands of equaliser configurations that route or reshape the signal: skipping them would
// import filters meant for one channel, or a curve, as if they were the whole equaliser.
constexpr std::array<std::string_view, 14> kUnsupportedCommands{
    "channel", "graphiceq", "convolution", "include", "copy", "delay", "stage",
    "device",  "eval",      "if",          "elseif",  "else", "endif", "loudnesscorrection"};

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lower(c);
  return out;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isNumberChar(char c) {
  return isDigit(c) || c == '.' || c == ',' || c == '+' || c == '-';
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Words split at blanks and where digits meet letters, so "125Hz" and "Q2" read as two words.
std::vector<std::string_view> words(std::string_view s) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < s.size()) {
    if (isBlank(s[i])) {
      ++i;
      continue;
    }
    const bool number = isNumberChar(s[i]);
    std::size_t end = i + 1;
    while (end < s.size() && !isBlank(s[end]) && isNumberChar(s[end]) == number) ++end;
    out.push_back(s.substr(i, end - i));
    i = end;
  }
  return out;
}

// A decimal number with "." or "," as its separator and an optional sign.
std::optional<double> number(std::string_view word) {
  std::string text(word);
  int separators = 0;
  for (char& c : text) {
    if (c == ',') c = '.';
    if (c == '.') ++separators;
  }
  if (separators > 1) return std::nullopt;
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double value = 0.0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

class LineReader {
 public:
  LineReader(int lineNumber, std::string_view text) : line_(lineNumber), text_(text) {}

  std::string fail(const std::string& what) const { return LineMessage(line_, text_, what); }

  // The filter described after "Filter n:"; nullopt with error set, or with a None line.
  std::optional<RequestedFilter> filter(std::string_view body, std::string& error) const {
    const std::vector<std::string_view> w = words(body);
    if (w.empty()) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "no ON or OFF and no filter type"));
      return std::nullopt;
    }
    const std::string state = lowered(w[0]);
    if (state != "on" && state != "off") {
      error = fail(core::FillIn(message::kFilterFoundNotOnOff, {w[0]}));
      return std::nullopt;
    }
    if (w.size() < 2) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "no filter type"));
      return std::nullopt;
    }
    const std::string typeWord = lowered(w[1]);
    const KindName* found = nullptr;
    for (const KindName& k : kKindNames)
      if (k.name == typeWord) found = &k;
    if (found == nullptr) {
      error = fail(core::FillIn(message::kFilterUnknownType, {w[1]}));
      return std::nullopt;
    }
    if (!found->kind) return std::nullopt;

    RequestedFilter f;
    f.line = line_;
    f.on = state == "on";
    f.kind = *found->kind;
    f.text = std::string(text_);
    const bool shelf = f.kind == FilterKind::kLowShelf || f.kind == FilterKind::kHighShelf;
    const bool pass = f.kind == FilterKind::kHighPass || f.kind == FilterKind::kLowPass;
    std::size_t i = 2;
    // A shelf may give its slope right after the type: "LSC 12 dB Fc …", "LS 6dB Fc …".
    if (shelf && i + 1 < w.size() && number(w[i]) && lowered(w[i + 1]) == "db") {
      f.slopeDbPerOctave = number(w[i]);
      i += 2;
    }
    std::optional<double> hz;
    std::optional<double> gain;
    while (i < w.size()) {
      const std::string key = lowered(w[i]);
      if (key != "fc" && key != "gain" && key != "q") {
        error = fail(core::FillIn(message::kFilterUnexpectedWord, {w[i]}));
        return std::nullopt;
      }
      std::optional<double>& slot = key == "fc" ? hz : key == "gain" ? gain : f.q;
      if (slot) {
        error = fail(core::FillIn(message::kFilterWordTwice, {w[i]}));
        return std::nullopt;
      }
      const std::optional<double> value = i + 1 < w.size() ? number(w[i + 1]) : std::nullopt;
      if (!value) {
        error = fail(core::FillIn(message::kFilterWordWithoutNumber, {w[i]}));
        return std::nullopt;
      }
      slot = value;
      i += 2;
      const std::string unit = i < w.size() ? lowered(w[i]) : std::string();
      if (key == "fc" && (unit == "hz" || unit == "khz")) {
        if (unit == "khz") *hz *= 1000.0;
        ++i;
      } else if (key == "gain" && unit == "db") {
        ++i;
      }
    }
    if (!hz) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "Fc is missing"));
      return std::nullopt;
    }
    if (*hz <= 0.0) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "Fc must be above 0 Hz"));
      return std::nullopt;
    }
    if (pass && gain) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "a high-pass or low-pass filter takes no gain"));
      return std::nullopt;
    }
    if (!pass && !gain) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "Gain is missing"));
      return std::nullopt;
    }
    if (f.kind == FilterKind::kPeaking && !f.q) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "Q is missing (a PK filter needs one)"));
      return std::nullopt;
    }
    if (f.q && f.slopeDbPerOctave) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "a shelf takes a slope or a Q, not both"));
      return std::nullopt;
    }
    if ((f.q && *f.q <= 0.0) || (f.slopeDbPerOctave && *f.slopeDbPerOctave <= 0.0)) {
      error = fail(f.q ? KDSP_TRANSLATE_NOOP("Messages", "Q must be above 0")
                       : KDSP_TRANSLATE_NOOP("Messages", "the slope must be above 0 dB"));
      return std::nullopt;
    }
    f.hz = *hz;
    f.gainDb = gain.value_or(0.0);
    return f;
  }

  std::optional<double> preamp(std::string_view body, std::string& error) const {
    const std::vector<std::string_view> w = words(body);
    const std::optional<double> value = w.empty() ? std::nullopt : number(w[0]);
    if (!value || w.size() > 2 || (w.size() == 2 && lowered(w[1]) != "db")) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "Preamp needs a gain in dB"));
      return std::nullopt;
    }
    return value;
  }

 private:
  int line_;
  std::string_view text_;
};

std::string padded(std::string_view text, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

}  // namespace

std::string LineMessage(int line, std::string_view text, std::string_view what) {
  return core::FillIn(message::kFilterLine, {std::to_string(line), what, text});
}

std::string FixedText(double value, int precision, std::size_t width) {
  std::array<char, 32> buffer{};
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::fixed, precision);
  std::string text = ec == std::errc() ? std::string(buffer.data(), end) : std::string("0");
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string_view FilterKindName(FilterKind kind) {
  switch (kind) {
    case FilterKind::kPeaking:
      return "PK";
    case FilterKind::kLowShelf:
      return "LS";
    case FilterKind::kHighShelf:
      return "HS";
    case FilterKind::kHighPass:
      return "HP";
    case FilterKind::kLowPass:
      return "LP";
  }
  return "PK";
}

FilterTextRead ReadFilterText(std::string_view text) {
  FilterTextRead read;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    const std::string_view raw = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    ++lineNumber;
    const std::string_view line = trimmed(raw);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const LineReader reader(lineNumber, line);
    const std::string low = lowered(line);

    if (low.starts_with("filter")) {
      std::size_t i = 6;
      while (i < low.size() && isBlank(low[i])) ++i;
      const bool numbered = i < low.size() && isDigit(low[i]);
      if (numbered) {
        while (i < low.size() && isDigit(low[i])) ++i;
        while (i < low.size() && isBlank(low[i])) ++i;
      }
      if (i < low.size() && low[i] == ':') {
        std::optional<RequestedFilter> f = reader.filter(line.substr(i + 1), read.error);
        if (!read.error.empty()) return read;
        if (f) read.filters.filters.push_back(std::move(*f));
        continue;
      }
      if (numbered) {
        read.error =
            reader.fail(KDSP_TRANSLATE_NOOP("Messages", "expected ':' after the filter number"));
        return read;
      }
      continue;  // a header such as "Filter Settings file"
    }

    const std::size_t colon = low.find(':');
    if (colon == std::string::npos) continue;
    const std::string_view command = trimmed(std::string_view(low).substr(0, colon));
    if (command == "preamp") {
      const std::optional<double> gain = reader.preamp(line.substr(colon + 1), read.error);
      if (!gain) return read;
      // Equaliser software adds up every preamp line it meets.
      read.filters.preampDb = read.filters.preampDb.value_or(0.0) + *gain;
      read.filters.preampLine = lineNumber;
      continue;
    }
    for (std::string_view unsupported : kUnsupportedCommands) {
      if (command == unsupported) {
        read.error =
            reader.fail(core::FillIn(message::kFilterCommandUnsupported, {line.substr(0, colon)}));
        return read;
      }
    }
  }
  return read;
}

std::string WriteFilterText(const std::vector<RequestedFilter>& filters, std::string_view notes) {
  std::string out =
      "Filter Settings file\n\nNotes: " + std::string(notes) + "\nEqualiser: Generic\n\n";
  int number = 0;
  for (const RequestedFilter& f : filters) {
    ++number;
    const std::string label = std::to_string(number);
    out += "Filter " + std::string(label.size() < 2 ? 2 - label.size() : 0, ' ') + label + ": ";
    out += padded(f.on ? "ON" : "OFF", 3) + " " + padded(FilterKindName(f.kind), 8);
    out += " Fc " + FixedText(f.hz, 1, 7) + " Hz";
    const bool pass = f.kind == FilterKind::kHighPass || f.kind == FilterKind::kLowPass;
    if (!pass) out += "  Gain " + FixedText(f.gainDb, 2, 6) + " dB";
    if (f.q) out += "  Q " + FixedText(*f.q, 3, 6);
    out += '\n';
  }
  return out;
}

}  // namespace kdsp::settings
