// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing filter lists in the text formats of measurement and equaliser programs.
#include "settings/filter_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/composed_text.h"
#include "core/translatable.h"
#include "settings/file_messages.h"
#include "settings/file_text.h"

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

// The widths in octaves a "BW Oct" may give: the Q of any of them is a finite number, and far
// beyond the processor's bandwidth table (0.05 to 3 octaves) either way.
constexpr double kNarrowestBandwidth = 0.001;
constexpr double kWidestBandwidth = 10.0;

// The largest preamp a Preamp line may give, either way: more is no level but a mistake.
constexpr double kLargestPreampDb = 100.0;

// Commands of the measurement programs' header that describe the measurement and set nothing.
constexpr std::array<std::string_view, 4> kHeaderCommands{"notes", "equaliser", "equalizer",
                                                          "dated"};

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
bool allDigits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), isDigit);
}

// Bytes of the blank at s[at]: an ASCII blank, or a no-break space as UTF-8; 0 when none.
std::size_t blankAt(std::string_view s, std::size_t at) {
  return isBlank(s[at]) ? 1 : NoBreakSpaceAt(s, at);
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view withoutSign(std::string_view word) {
  if (!word.empty() && (word.front() == '+' || word.front() == '-')) word.remove_prefix(1);
  return word;
}

// Digits, or digits set apart in thousands by `group`: "12", "1.000", "12.345.678" for '.'.
bool isGrouped(std::string_view whole, char group) {
  if (whole.find(group) == std::string_view::npos) return allDigits(whole);
  std::size_t at = whole.find(group);
  const std::string_view first = whole.substr(0, at);
  if (first.empty() || first.size() > 3 || first.front() == '0' || !allDigits(first)) return false;
  while (at != std::string_view::npos) {
    const std::size_t next = whole.find(group, at + 1);
    const std::string_view part =
        whole.substr(at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1);
    if (part.size() != 3 || !allDigits(part)) return false;
    at = next;
  }
  return true;
}

// Words split at blanks and where digits meet letters, so "125Hz" and "Q2" read as two words. A
// number set apart in thousands by blanks ("1 000", "12 500,5") is one word without them.
std::vector<std::string> words(std::string_view s) {
  std::vector<std::string> out;
  bool continues = false;  // the last word is the digits a further group of three may follow
  std::size_t i = 0;
  while (i < s.size()) {
    if (const std::size_t blank = blankAt(s, i); blank != 0) {
      i += blank;
      continue;
    }
    const bool number = isNumberChar(s[i]);
    std::size_t end = i + 1;
    while (end < s.size() && blankAt(s, end) == 0 && isNumberChar(s[end]) == number) ++end;
    const std::string_view word = s.substr(i, end - i);
    const std::size_t mark = word.find_first_of(".,");
    const std::string_view groupDigits = word.substr(0, mark);
    if (continues && groupDigits.size() == 3 && allDigits(groupDigits) &&
        (mark == std::string_view::npos || allDigits(word.substr(mark + 1)))) {
      out.back() += word;
      continues = mark == std::string_view::npos;
    } else {
      out.emplace_back(word);
      const std::string_view digits = withoutSign(word);
      continues = !digits.empty() && digits.size() <= 3 && digits.front() != '0' &&
                  allDigits(digits);
    }
    i = end;
  }
  return out;
}

// The decimal mark a number word shows, if it shows one: a mark that cannot set thousands apart
// is decimal ("-3,5", "0.707", "125.0"); several of a mark, or one before the other, set
// thousands apart, so the other is decimal ("1.000,5", "1,000,000"). A lone mark before three
// digits ("20.000", "1,500") shows nothing.
std::optional<char> decimalMarkShown(std::string_view word) {
  const std::string_view digits = withoutSign(word);
  const std::size_t lastDot = digits.rfind('.');
  const std::size_t lastComma = digits.rfind(',');
  if (lastDot == std::string_view::npos && lastComma == std::string_view::npos) return std::nullopt;
  if (lastDot != std::string_view::npos && lastComma != std::string_view::npos) {
    const char decimal = lastDot > lastComma ? '.' : ',';
    const std::size_t at = std::max(lastDot, lastComma);
    if (!isGrouped(digits.substr(0, at), decimal == '.' ? ',' : '.') ||
        !allDigits(digits.substr(at + 1)))
      return std::nullopt;
    return decimal;
  }
  const char mark = lastDot != std::string_view::npos ? '.' : ',';
  const char other = mark == '.' ? ',' : '.';
  if (digits.find(mark) != digits.rfind(mark)) {
    if (!isGrouped(digits, mark)) return std::nullopt;
    return other;
  }
  if (isGrouped(digits, mark)) return std::nullopt;
  return mark;
}

// A file's decimal mark, decided once from all its numbers (ReadFilterText says how).
enum class DecimalMark {
  kEither,  // a lone "." or "," is decimal
  kComma,   // "," is decimal and dots set thousands apart
};

// A number with an optional sign, read by the file's decimal mark.
std::optional<double> number(std::string_view word, DecimalMark mark) {
  const bool negative = !word.empty() && word.front() == '-';
  const std::string_view digits = withoutSign(word);
  const std::size_t dots = static_cast<std::size_t>(std::count(digits.begin(), digits.end(), '.'));
  const std::size_t commas = static_cast<std::size_t>(std::count(digits.begin(), digits.end(), ','));
  char decimal = 0;
  if (mark == DecimalMark::kComma)
    decimal = ',';
  else if (dots > 0 && commas > 0)
    decimal = digits.rfind('.') > digits.rfind(',') ? '.' : ',';
  else if (dots == 1 || commas == 1)
    decimal = dots == 1 ? '.' : ',';
  const char group = decimal == ',' ? '.' : decimal == '.' ? ',' : (dots > 0 ? '.' : ',');
  const std::size_t at = decimal == 0 ? std::string_view::npos : digits.find(decimal);
  const std::string_view whole = digits.substr(0, at);
  const std::string_view fraction =
      at == std::string_view::npos ? std::string_view() : digits.substr(at + 1);
  if (!isGrouped(whole, group) || !allDigits(fraction) || (whole.empty() && fraction.empty()))
    return std::nullopt;
  std::string text = negative ? "-" : "";
  for (char c : whole)
    if (c != group) text += c;
  if (whole.empty()) text += '0';
  if (!fraction.empty()) {
    text += '.';
    text += fraction;
  }
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

// Lines of the measurement programs' header that carry no colon: "Average 1", and the program's
// name with its version ("<program> V5.31").
bool isHeaderWithoutColon(std::string_view low) {
  const std::vector<std::string> w = words(low);
  if (w.size() == 2 && w[0] == "average" && allDigits(w[1])) return true;
  if (w.size() < 3 || w[w.size() - 2] != "v") return false;
  const std::string& version = w.back();
  return isDigit(version.front()) && std::all_of(version.begin(), version.end(), [](char c) {
           return isDigit(c) || c == '.';
         });
}

class LineReader {
 public:
  LineReader(int lineNumber, std::string_view text, DecimalMark mark)
      : line_(lineNumber), text_(text), mark_(mark) {}

  std::string fail(const std::string& what) const { return LineMessage(line_, text_, what); }

  // The filter described after "Filter n:"; nullopt with error set, or with a None line.
  std::optional<RequestedFilter> filter(std::string_view body, std::string& error) const {
    const std::vector<std::string> w = words(body);
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
    if (shelf && i + 1 < w.size() && number(w[i], mark_) && lowered(w[i + 1]) == "db") {
      f.slopeDbPerOctave = number(w[i], mark_);
      i += 2;
    }
    std::optional<double> hz;
    std::optional<double> gain;
    std::optional<double> octaves;
    while (i < w.size()) {
      const std::string& keyWord = w[i];
      const std::string key = lowered(keyWord);
      // A PK filter's width may be given in octaves: "BW Oct 0.5".
      const bool bandwidth = key == "bw" && f.kind == FilterKind::kPeaking;
      if (key != "fc" && key != "gain" && key != "q" && !bandwidth) {
        error = fail(core::FillIn(message::kFilterUnexpectedWord, {keyWord}));
        return std::nullopt;
      }
      std::optional<double>& slot = key == "fc"     ? hz
                                    : key == "gain" ? gain
                                    : bandwidth     ? octaves
                                                    : f.q;
      if (slot) {
        error = fail(core::FillIn(message::kFilterWordTwice, {keyWord}));
        return std::nullopt;
      }
      // The bandwidth's unit comes before its number.
      const bool inOctaves = i + 1 < w.size() && lowered(w[i + 1]) == "oct";
      const std::size_t valueAt = bandwidth ? i + 2 : i + 1;
      const std::optional<double> value = valueAt < w.size() && (inOctaves || !bandwidth)
                                              ? number(w[valueAt], mark_)
                                              : std::nullopt;
      if (!value) {
        error = fail(core::FillIn(message::kFilterWordWithoutNumber,
                                  {bandwidth ? std::string_view("BW Oct") : keyWord}));
        return std::nullopt;
      }
      slot = value;
      i = valueAt + 1;
      const std::string unit = i < w.size() ? lowered(w[i]) : std::string();
      if (key == "fc" && (unit == "hz" || unit == "khz")) {
        if (unit == "khz") *hz *= 1000.0;
        ++i;
      } else if (key == "gain" && unit == "db") {
        ++i;
      }
      if (!std::isfinite(*slot)) {  // hundreds of digits of kHz
        error = fail(core::FillIn(message::kFilterWordTooLarge, {keyWord}));
        return std::nullopt;
      }
    }
    if (octaves) {
      if (f.q) {
        error = fail(KDSP_TRANSLATE_NOOP("Messages", "a PK filter takes a Q or a BW, not both"));
        return std::nullopt;
      }
      if (!(*octaves >= kNarrowestBandwidth && *octaves <= kWidestBandwidth)) {
        error = fail(KDSP_TRANSLATE_NOOP("Messages", "BW must lie within 0.001 to 10 octaves"));
        return std::nullopt;
      }
      f.q = QOfBandwidth(*octaves);
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
    const std::vector<std::string> w = words(body);
    const std::optional<double> value = w.empty() ? std::nullopt : number(w[0], mark_);
    if (!value || w.size() > 2 || (w.size() == 2 && lowered(w[1]) != "db")) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "Preamp needs a gain in dB"));
      return std::nullopt;
    }
    if (std::abs(*value) > kLargestPreampDb) {
      error = fail(KDSP_TRANSLATE_NOOP("Messages", "Preamp must lie within -100 to +100 dB"));
      return std::nullopt;
    }
    return value;
  }

 private:
  int line_;
  std::string_view text_;
  DecimalMark mark_;
};

// What a line of the text is, before any of it is read.
enum class LineKind {
  kSkipped,         // blank, a comment or a header the formats write
  kFilter,          // "Filter n: …" or "Filter: …"; body is what follows the colon
  kNumberNoColon,   // "Filter 3 ON …"
  kPreamp,          // body is what follows the colon
  kUnsupported,     // a command that reshapes the signal; body is the command as written
  kUnread,
};

struct TextLine {
  int number = 0;
  std::string_view text;  // without surrounding blanks
  LineKind kind = LineKind::kSkipped;
  std::string_view body;
};

TextLine classify(int number, std::string_view raw) {
  TextLine t{number, trimmed(raw), LineKind::kSkipped, {}};
  const std::string_view line = t.text;
  if (line.empty() || line.front() == '#' || line.front() == ';') return t;
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
      t.kind = LineKind::kFilter;
      t.body = line.substr(i + 1);
    } else if (numbered) {
      t.kind = LineKind::kNumberNoColon;
    } else if (words(low) != std::vector<std::string>{"filter", "settings", "file"}) {
      t.kind = LineKind::kUnread;
    }
    return t;
  }
  const std::size_t colon = low.find(':');
  if (colon == std::string::npos) {
    if (!isHeaderWithoutColon(low)) t.kind = LineKind::kUnread;
    return t;
  }
  const std::string_view command = trimmed(std::string_view(low).substr(0, colon));
  if (command == "preamp") {
    t.kind = LineKind::kPreamp;
    t.body = line.substr(colon + 1);
  } else if (std::find(kUnsupportedCommands.begin(), kUnsupportedCommands.end(), command) !=
             kUnsupportedCommands.end()) {
    t.kind = LineKind::kUnsupported;
    t.body = line.substr(0, colon);
  } else if (std::find(kHeaderCommands.begin(), kHeaderCommands.end(), command) ==
             kHeaderCommands.end()) {
    t.kind = LineKind::kUnread;
  }
  return t;
}

// Comma when the numbers of the filter and preamp lines show decimal commas and none shows a
// decimal dot; otherwise either mark, as such files have always been read.
DecimalMark decimalMarkOf(const std::vector<TextLine>& lines) {
  bool comma = false;
  bool dot = false;
  for (const TextLine& t : lines) {
    if (t.kind != LineKind::kFilter && t.kind != LineKind::kPreamp) continue;
    for (const std::string& word : words(t.body)) {
      const std::optional<char> mark = decimalMarkShown(word);
      comma = comma || mark == ',';
      dot = dot || mark == '.';
    }
  }
  return comma && !dot ? DecimalMark::kComma : DecimalMark::kEither;
}

std::string padded(std::string_view text, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

}  // namespace

std::string LineMessage(int line, std::string_view text, std::string_view what) {
  return core::FillIn(message::kFilterLine,
                      {std::to_string(line), PrintableText(what), PrintableText(text)});
}

double QOfBandwidth(double octaves) {
  const double p = std::pow(2.0, octaves);
  return std::sqrt(p) / (p - 1.0);
}

double BandwidthOfQ(double q) {
  return 2.0 / std::log(2.0) * std::asinh(1.0 / (2.0 * q));
}

std::string FixedText(double value, int precision, std::size_t width) {
  // A sign, the largest double's 309 digits, the point and the decimals.
  std::string text(1 + std::numeric_limits<double>::max_exponent10 + 1 + 1 +
                       static_cast<std::size_t>(std::max(precision, 0)),
                   '\0');
  const auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), value,
                                       std::chars_format::fixed, precision);
  text.resize(ec == std::errc() ? static_cast<std::size_t>(end - text.data()) : 0);
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
  text = WithoutByteOrderMark(text);
  std::vector<TextLine> lines;
  for (int number = 1; !text.empty(); ++number) {
    const std::size_t newline = text.find('\n');
    lines.push_back(classify(number, text.substr(0, newline)));
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
  }
  const DecimalMark mark = decimalMarkOf(lines);

  FilterTextRead read;
  FilterText& out = read.filters;
  for (const TextLine& t : lines) {
    const LineReader reader(t.number, t.text, mark);
    switch (t.kind) {
      case LineKind::kSkipped:
        break;
      case LineKind::kFilter: {
        std::optional<RequestedFilter> f = reader.filter(t.body, read.error);
        if (!read.ok()) return read;
        ++out.filterLines;
        if (f) out.filters.push_back(std::move(*f));
        break;
      }
      case LineKind::kNumberNoColon:
        read.error =
            reader.fail(KDSP_TRANSLATE_NOOP("Messages", "expected ':' after the filter number"));
        return read;
      case LineKind::kPreamp: {
        const std::optional<double> gain = reader.preamp(t.body, read.error);
        if (!gain) return read;
        // Equaliser software adds up every preamp line it meets.
        out.preampDb = out.preampDb.value_or(0.0) + *gain;
        out.preampLine = t.number;
        break;
      }
      case LineKind::kUnsupported:
        read.error = reader.fail(core::FillIn(message::kFilterCommandUnsupported, {t.body}));
        return read;
      case LineKind::kUnread:
        out.unread.push_back({t.number, std::string(t.text)});
        break;
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
