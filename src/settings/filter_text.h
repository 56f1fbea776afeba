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

struct FilterText {
  std::vector<RequestedFilter> filters;  // in file order; "None" lines are left out
  std::optional<double> preampDb;
  int preampLine = 0;
};

// The outcome of reading a text: the filters, or the first error naming its line.
struct FilterTextRead {
  FilterText filters;
  std::string error;  // "line 7: unknown filter type 'XX' in 'Filter 7: ON XX Fc 1 Hz'"

  bool ok() const { return error.empty(); }
};

// Reads both formats, case-insensitive, with any spacing and with either "." or "," as the
// decimal separator. Lines that are neither a filter, a preamp, blank nor a comment are headers
// ("Filter Settings file", "Notes: …", "Equaliser: Generic") and are skipped; a line that starts
// as a filter line ("Filter 3:" or "Filter:") must read in full. Configuration commands that
// would change the meaning of the filters for part of the signal ("Channel:", "GraphicEQ:" …)
// are refused rather than skipped.
FilterTextRead ReadFilterText(std::string_view text);

// "line 7: <what> in \"<text>\"": how every complaint about a line of such a text reads.
std::string LineMessage(int line, std::string_view text, std::string_view what);

// Fixed-point text right-aligned to width, with "." whatever the C locale says, so a program
// running under a locale with a decimal comma still writes files every reader takes.
std::string FixedText(double value, int precision, std::size_t width = 0);

// Short name of a kind as the first format writes it: PK, LS, HS, HP, LP.
std::string_view FilterKindName(FilterKind kind);

// The first format: a header, then one "Filter  n: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB
// Q  2.000" line per filter, numbered from 1 in order. Shelves and high-pass and low-pass lines
// carry a Q only when they have one; notes is written on the header's Notes line.
std::string WriteFilterText(const std::vector<RequestedFilter>& filters, std::string_view notes);

}  // namespace kdsp::settings
