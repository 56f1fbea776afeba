// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the filter-list texts: both formats as measurement and equaliser programs write them,
// the header lines they carry, each malformed line's message, and the exported layout.
#include "settings/filter_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace kdsp::settings {
namespace {

struct GoodLine {
  std::string text;
  FilterKind kind;
  bool on;
  double hz;
  double gainDb;
  std::optional<double> q;
  std::optional<double> slope;
};

TEST(ReadFilterText, ReadsBothFormatsWhateverTheCaseSpacingAndDecimalSeparator) {
  const GoodLine lines[] = {
      {"Filter  1: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB  Q  2.000",
       FilterKind::kPeaking,
       true,
       125.0,
       -3.0,
       2.0,
       {}},
      {"Filter: ON PK Fc 125 Hz Gain -3 dB Q 2", FilterKind::kPeaking, true, 125.0, -3.0, 2.0, {}},
      {"filter 3: on peq fc 1,5 khz gain 2,5 db q 0,707",
       FilterKind::kPeaking,
       true,
       1500.0,
       2.5,
       0.707,
       {}},
      {"FILTER 12:ON PK Fc 63Hz Gain +4dB Q4.5", FilterKind::kPeaking, true, 63.0, 4.0, 4.5, {}},
      {"\tFilter\t5 :  ON   PK  Fc 100 Hz   Gain -1 dB Q 1  \r",
       FilterKind::kPeaking,
       true,
       100.0,
       -1.0,
       1.0,
       {}},
      {"Filter 2: OFF LS Fc 80 Hz Gain 6 dB", FilterKind::kLowShelf, false, 80.0, 6.0, {}, {}},
      {"Filter: ON LSC 12 dB Fc 100 Hz Gain 5 dB",
       FilterKind::kLowShelf,
       true,
       100.0,
       5.0,
       {},
       12.0},
      {"Filter: ON HSC Fc 8000 Hz Gain -2 dB Q 0.9",
       FilterKind::kHighShelf,
       true,
       8000.0,
       -2.0,
       0.9,
       {}},
      {"Filter 4: ON HS 6dB Fc 10 kHz Gain -2 dB",
       FilterKind::kHighShelf,
       true,
       10000.0,
       -2.0,
       {},
       6.0},
      {"Filter: ON HP Fc 80 Hz", FilterKind::kHighPass, true, 80.0, 0.0, {}, {}},
      {"Filter: ON LPQ Fc 120 Hz Q 0.5", FilterKind::kLowPass, true, 120.0, 0.0, 0.5, {}},
      // A bandwidth of one octave is Q sqrt(2).
      {"Filter: ON PK Fc 1000 Hz Gain -3.0 dB BW Oct 1",
       FilterKind::kPeaking,
       true,
       1000.0,
       -3.0,
       std::sqrt(2.0),
       {}},
      {"\xEF\xBB\xBF" "Filter 1: ON HP Fc 80 Hz", FilterKind::kHighPass, true, 80.0, 0.0, {}, {}},
  };
  for (const GoodLine& l : lines) {
    const FilterTextRead read = ReadFilterText(l.text);
    EXPECT_EQ(read.error, "") << l.text;
    EXPECT_EQ(read.filters.filters.size(), 1u) << l.text;
    if (read.filters.filters.size() != 1) continue;
    const RequestedFilter& f = read.filters.filters[0];
    EXPECT_EQ(f.line, 1) << l.text;
    EXPECT_EQ(f.kind, l.kind) << l.text;
    EXPECT_EQ(f.on, l.on) << l.text;
    EXPECT_DOUBLE_EQ(f.hz, l.hz) << l.text;
    EXPECT_DOUBLE_EQ(f.gainDb, l.gainDb) << l.text;
    EXPECT_EQ(f.q, l.q) << l.text;
    EXPECT_EQ(f.slopeDbPerOctave, l.slope) << l.text;
  }
}

// Where a file writes a comma as its decimal mark, dots and spaces between digit groups are
// thousands separators; where nothing decides the mark, both marks read as decimals.
TEST(ReadFilterText, ReadsNumbersByTheFilesOwnDecimalMark) {
  const struct {
    std::string text;
    double firstHz;
    double lastGainDb;
  } files[] = {
      {"Filter 1: ON LP Fc 20.000 Hz\nFilter 2: ON PK Fc 100 Hz Gain -3,5 dB Q 2", 20000.0, -3.5},
      {"Preamp: -1,5 dB\nFilter 1: ON LP Fc 20.000 Hz", 20000.0, 0.0},
      {"Filter 1: ON PK Fc 8.000 Hz Gain -3,50 dB Q 0,707", 8000.0, -3.5},
      {"Filter 1: ON PK Fc 1.234,5 Hz Gain 1 dB Q 1", 1234.5, 1.0},
      {"Filter 1: ON PK Fc 1\xC2\xA0" "000 Hz Gain -1,5 dB Q 1", 1000.0, -1.5},
      {"Filter 1: ON PK Fc 12\xE2\x80\xAF" "500,5 Hz Gain 1 dB Q 1", 12500.5, 1.0},
      {"Filter 1: ON PK Fc 1 000 Hz Gain 2 dB Q 1", 1000.0, 2.0},
      {"Filter 1: ON PK Fc 1,000.5 Hz Gain 2 dB Q 1", 1000.5, 2.0},
      {"Filter 1: ON LP Fc 20.000 Hz", 20.0, 0.0},
      {"Filter 1: ON PK Fc 1,500 kHz Gain 1 dB Q 1", 1500.0, 1.0},
      {"Filter 1: ON LP Fc 20.000 Hz\nFilter 2: ON PK Fc 1 kHz Gain -3,5 dB Q 0.71", 20.0, -3.5},
  };
  for (const auto& file : files) {
    const FilterTextRead read = ReadFilterText(file.text);
    EXPECT_EQ(read.error, "") << file.text;
    if (read.filters.filters.empty()) {
      ADD_FAILURE() << "no filter in " << file.text;
      continue;
    }
    EXPECT_DOUBLE_EQ(read.filters.filters.front().hz, file.firstHz) << file.text;
    EXPECT_DOUBLE_EQ(read.filters.filters.back().gainDb, file.lastGainDb) << file.text;
  }
}

TEST(ReadFilterText, SkipsHeadersCommentsAndNoneLinesListsOthersAndAddsUpPreamps) {
  const std::string text =
      "Filter Settings file\n"
      "\n"
      "Room EQ V5.31\n"
      "Dated: 8 Dec 2026 10:15:00\n"
      "\n"
      "Notes: living room, left speaker\n"
      "\n"
      "Equaliser: Generic\n"
      "Average 1\n"
      "# tried a narrower dip first\n"
      "Preamp: -4 dB\n"
      "Filter  1: ON  PK       Fc   63.00 Hz  Gain  -6.50 dB  Q  4.000\n"
      "Filter  2: ON  None\n"
      "Filter  3: OFF NO\n"
      "Preamp: -1,5 dB\n"
      "Filter  4: ON  HS       Fc   8000 Hz  Gain  -2.00 dB\n"
      "Filters end here\n"
      "Target: flat\n";
  const FilterTextRead read = ReadFilterText(text);
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(read.filters.filters.size(), 2u);
  EXPECT_EQ(read.filters.filters[0].line, 12);
  EXPECT_EQ(read.filters.filters[0].text,
            "Filter  1: ON  PK       Fc   63.00 Hz  Gain  -6.50 dB  Q  4.000");
  EXPECT_EQ(read.filters.filters[1].line, 16);
  EXPECT_EQ(read.filters.filters[1].kind, FilterKind::kHighShelf);
  EXPECT_EQ(read.filters.preampDb, -5.5);
  EXPECT_EQ(read.filters.preampLine, 15);
  ASSERT_EQ(read.filters.unread.size(), 2u);
  EXPECT_EQ(read.filters.unread[0].line, 17);
  EXPECT_EQ(read.filters.unread[0].text, "Filters end here");
  EXPECT_EQ(read.filters.unread[1].line, 18);
  EXPECT_EQ(read.filters.unread[1].text, "Target: flat");
}

TEST(ReadFilterText, EachMalformedLineNamesItsNumberTextAndFault) {
  struct Bad {
    std::string line;
    std::string fault;
    std::string shown = {};  // the line as the message shows it, where that differs
  };
  const Bad cases[] = {
      {"Filter 7: ON XX Fc 100 Hz Gain 1 dB Q 1", "unknown filter type 'XX'"},
      {"Filter 1: PK Fc 100 Hz Gain 1 dB Q 1", "expected ON or OFF, found 'PK'"},
      {"Filter 1:", "no ON or OFF and no filter type"},
      {"Filter 1: ON", "no filter type"},
      {"Filter 1: ON PK Gain 1 dB Q 1", "Fc is missing"},
      {"Filter 1: ON LS Fc 100 Hz", "Gain is missing"},
      {"Filter 1: ON PK Fc 100 Hz Gain 1 dB", "Q is missing (a PK filter needs one)"},
      {"Filter 1: ON PK Fc abc Hz Gain 1 dB Q 1", "'Fc' needs a number"},
      {"Filter 1: ON PK Fc 1.000.5 Hz Gain 1 dB Q 1", "'Fc' needs a number"},
      {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q", "'Q' needs a number"},
      {"Filter 1: ON LS Fc 100 Hz Gain 1 dB BW Oct 2", "unexpected 'BW'"},
      {"Filter 1: ON PK Fc 100 Hz Gain 1 dB BW 2", "'BW Oct' needs a number"},
      {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1 BW Oct 2", "a PK filter takes a Q or a BW, not both"},
      {"Filter 1: ON PK Fc 100 Hz Gain 1 dB BW Oct 0", "BW must lie within 0.001 to 10 octaves"},
      {"Filter 1: ON HP Fc 2" + std::string(307, '0') + " kHz", "'Fc' is too large"},
      {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1 \xE2\x80\x99x \xFF\x01", "unexpected '<U+2019>x'",
       "Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1 <U+2019>x <0xFF><U+0001>"},
      {"Filter 1: ON PK Fc 100 Hz Fc 200 Hz Gain 1 dB Q 1", "'Fc' given twice"},
      {"Filter 1: ON HP Fc 100 Hz Gain 3 dB", "a high-pass or low-pass filter takes no gain"},
      {"Filter 1: ON LSC 12 dB Fc 100 Hz Gain 3 dB Q 0.7",
       "a shelf takes a slope or a Q, not both"},
      {"Filter 1: ON PK Fc 0 Hz Gain 1 dB Q 1", "Fc must be above 0 Hz"},
      {"Filter 1: ON PK Fc 100 Hz Gain 1 dB Q -1", "Q must be above 0"},
      {"Filter 1 ON PK Fc 100 Hz Gain 1 dB Q 1", "expected ':' after the filter number"},
      {"Preamp: loud", "Preamp needs a gain in dB"},
      {"Preamp: 2" + std::string(307, '0') + " dB", "Preamp must lie within -100 to +100 dB"},
      {"Channel: L", "'Channel:' is not supported; only Filter and Preamp lines are read"},
  };
  for (const Bad& c : cases) {
    // Two lines ahead of the fault, and a good filter after it that must not be read.
    const std::string text =
        "Filter Settings file\n\n" + c.line + "\nFilter 9: ON PK Fc 1000 Hz Gain 1 dB Q 1\n";
    const FilterTextRead read = ReadFilterText(text);
    EXPECT_EQ(read.error,
              "line 3: " + c.fault + " in \"" + (c.shown.empty() ? c.line : c.shown) + "\"")
        << c.line;
    EXPECT_TRUE(read.filters.filters.empty()) << c.line;
  }
}

TEST(WriteFilterText, WritesTheMeasurementProgramsColumns) {
  RequestedFilter peak{0, true, FilterKind::kPeaking, 125.0, -3.0, 2.0, {}, ""};
  RequestedFilter shelf{0, false, FilterKind::kLowShelf, 62.5, 6.5, {}, {}, ""};
  RequestedFilter high{0, true, FilterKind::kHighShelf, 16000.0, 0.0, {}, {}, ""};
  RequestedFilter pass{0, true, FilterKind::kHighPass, 40.0, 0.0, {}, {}, ""};
  std::vector<RequestedFilter> filters = {peak, shelf, high, pass};
  for (int i = 0; i < 6; ++i) filters.push_back(peak);
  filters.push_back({0, true, FilterKind::kPeaking, 22159.0, 12.0, 28.853, {}, ""});
  EXPECT_EQ(WriteFilterText(filters, "Main Output"),
            "Filter Settings file\n"
            "\n"
            "Notes: Main Output\n"
            "Equaliser: Generic\n"
            "\n"
            "Filter  1: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB  Q  2.000\n"
            "Filter  2: OFF LS       Fc    62.5 Hz  Gain   6.50 dB\n"
            "Filter  3: ON  HS       Fc 16000.0 Hz  Gain   0.00 dB\n"
            "Filter  4: ON  HP       Fc    40.0 Hz\n"
            "Filter  5: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB  Q  2.000\n"
            "Filter  6: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB  Q  2.000\n"
            "Filter  7: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB  Q  2.000\n"
            "Filter  8: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB  Q  2.000\n"
            "Filter  9: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB  Q  2.000\n"
            "Filter 10: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB  Q  2.000\n"
            "Filter 11: ON  PK       Fc 22159.0 Hz  Gain  12.00 dB  Q 28.853\n");
}

TEST(FixedText, WritesEveryDigitOfAnyValue) {
  EXPECT_EQ(FixedText(-3.0, 2, 6), " -3.00");
  EXPECT_EQ(FixedText(std::ldexp(1.0, 110), 2), "1298074214633706907132624082305024.00");
  const std::string largest = FixedText(-std::numeric_limits<double>::max(), 3);
  EXPECT_EQ(largest.size(), 1 + 309 + 4u);
  EXPECT_TRUE(largest.starts_with("-17976931348623157")) << largest;
}

TEST(WriteFilterText, WhatIsWrittenReadsBackAsWritten) {
  const std::vector<RequestedFilter> filters = {
      {0, true, FilterKind::kPeaking, 1234.5, -12.3, 0.404, {}, ""},
      {0, false, FilterKind::kHighShelf, 4000.0, 2.0, {}, {}, ""},
      {0, true, FilterKind::kLowPass, 90.0, 0.0, 0.5, {}, ""},
  };
  const FilterTextRead read = ReadFilterText(WriteFilterText(filters, "x"));
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(read.filters.filters.size(), filters.size());
  for (std::size_t i = 0; i < filters.size(); ++i) {
    const RequestedFilter& f = read.filters.filters[i];
    EXPECT_EQ(f.line, int(i) + 6);
    EXPECT_EQ(f.kind, filters[i].kind);
    EXPECT_EQ(f.on, filters[i].on);
    EXPECT_DOUBLE_EQ(f.hz, filters[i].hz);
    EXPECT_DOUBLE_EQ(f.gainDb, filters[i].gainDb);
    EXPECT_EQ(f.q, filters[i].q);
  }
}

}  // namespace
}  // namespace kdsp::settings
