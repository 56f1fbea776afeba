// SPDX-License-Identifier: GPL-3.0-or-later
// Filter lists as text: the filter-settings files room-measurement programs export and the
// "Filter:"/"Preamp:" lines equaliser software reads, parsed into requested filters and written
// back in the measurement programs' column layout.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kdsp::settings {

enum class FilterKind { kPeaking, kLowShelf, kHighShelf, kHighPass, kLowPass };

// The Q these files mean when a shelf or a high-pass or low-pass line gives none: the
// maximally flat second-order shape, which is also the processor's fixed shelf.
inline constexpr double kDefaultFilterQ = 0.7071067811865476;

// One filter as a file asks for it, in continuous units.
struct RequestedFilter {
  int line = 0;  // 1-based line number in the text
  bool on = true;
  FilterKind kind = FilterKind::kPeaking;
  double hz = 0.0;
  double gainDb = 0.0;                     // peaking and shelves only
  std::optional<double> q;                 // absent: the kind's usual Q (kDefaultFilterQ)
  std::optional<double> slopeDbPerOctave;  // shelves given as "LSC 12 dB": slope, not Q
  std::string text;                        // the line as read, without surrounding blanks
};

// A line that is neither a filter, a preamp, a comment nor a header the formats write, and so
// was not read: an import reports each.
struct UnreadLine {
  int line = 0;      // 1-based line number in the text
  std::string text;  // the line as read, without surrounding blanks
};

struct FilterText {
  std::vector<RequestedFilter> filters;  // in file order; "None" lines are left out
  int filterLines = 0;                   // every "Filter" line, "None" lines among them
  std::optional<double> preampDb;
  int preampLine = 0;
  std::vector<UnreadLine> unread;  // in file order
};

// The outcome of reading a text: the filters, or the first error naming its line.
struct FilterTextRead {
  FilterText filters;
  std::string error;  // "line 7: unknown filter type 'XX' in 'Filter 7: ON XX Fc 1 Hz'"

  bool ok() const { return error.empty(); }
};

// Reads both formats, case-insensitive, with any spacing (no-break spaces too), after a UTF-8
// byte-order mark if there is one. A line that starts as a filter line ("Filter 3:" or
// "Filter:") must read in full; "BW Oct n" gives a PK filter's width in octaves, kept as the Q of
// that width. Headers the formats write ("Filter Settings file", "Notes: …", "Equaliser:
// Generic", the measurement program's name and version, "Dated: …", "Average 1"), blank lines and
// comments are skipped; any other line is listed in `unread`. Configuration commands that would
// change the meaning of the filters for part of the signal ("Channel:", "GraphicEQ:" …) are
// refused rather than skipped.
//
// Numbers are read by the file's own decimal mark, decided once from all its numbers: a file
// that writes a decimal comma ("Gain -3,5 dB", "Fc 1.000,5 Hz") and no decimal dot sets
// thousands apart with dots ("Fc 20.000 Hz" is 20 kHz). Otherwise a lone "." or "," is the decimal mark, as a file with
// decimal dots or with nothing to decide it ("Fc 20.000 Hz" alone) has always read; there
// several marks, or one of each, set thousands apart ("1,000.5"). Spaces and no-break spaces
// between digit groups ("1 000", "12 500,5") set thousands apart in any file.
FilterTextRead ReadFilterText(std::string_view text);

// "line 7: <what> in \"<text>\"": how every complaint about a line of such a text reads; what
// the file holds is shown printable (PrintableText), never as its raw bytes.
std::string LineMessage(int line, std::string_view text, std::string_view what);

// The Q of a peaking filter whose bandwidth is `octaves`, and the bandwidth in octaves of a Q:
// the one relation of the two that files and the processor's bandwidth table both use.
double QOfBandwidth(double octaves);
double BandwidthOfQ(double q);

// Fixed-point text right-aligned to width, with "." whatever the C locale says, so a program
// running under a locale with a decimal comma still writes files every reader takes. Every digit
// of any finite value is written, however many there are.
std::string FixedText(double value, int precision, std::size_t width = 0);

// Short name of a kind as the first format writes it: PK, LS, HS, HP, LP.
std::string_view FilterKindName(FilterKind kind);

// The first format: a header, then one "Filter  n: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB
// Q  2.000" line per filter, numbered from 1 in order. Shelves and high-pass and low-pass lines
// carry a Q only when they have one; notes is written on the header's Notes line.
std::string WriteFilterText(const std::vector<RequestedFilter>& filters, std::string_view notes);

}  // namespace kdsp::settings
