// SPDX-License-Identifier: GPL-3.0-or-later
// Filter lists onto a page and back: fitting requested filters to the processor's grid (frequency
// steps, gain steps, the bandwidth table), measuring how far the page then is from what was
// asked, and listing a page's bands as filters for export.
//
// How requests land:
// - PK, LS and HS take the page's bands in order (every band can be any of the three types);
//   the bands the text leaves over are set flat (gain 0, the rest kept), so the page equals the
//   imported set. An OFF line sets its band switched off with the values given. A text with
//   more of them than the page has bands is refused as a whole.
// - Frequency: the nearest grid step in log frequency; gain: the nearest tenth of a dB; Q: the
//   nearest step of the bandwidth table in octaves. A value beyond the grid or the table by more
//   than half a step, or a gain outside -24.0 .. +12.0 dB, is refused, not clamped.
// - Shelves: the processor's shelves have one fixed slope (Q 0.707, the cookbook's slope 1), so
//   a shelf's Q or slope cannot be set; the shelf is set at its frequency and gain and the
//   difference shows in the deviation. A low shelf above 4 kHz or a high shelf below 1 kHz is
//   refused, as the band controls keep them there. A shelf's bandwidth byte is kept.
// - HP and LP take the page's high-pass and low-pass filters (nearest active step; OFF switches
//   the filter off). Where the filter has family and order knobs it becomes 12 dB/octave (what
//   these formats' HP and LP are), in the family whose response is nearest to the asked Q;
//   elsewhere family and order stay as they are. Filters the text does not name stay as they are.
// - A request whose own response cannot be evaluated at every point of the comparison (a Q far
//   beyond any filter's) is refused: the deviation would mean nothing.
#pragma once

#include <filesystem>

#include <string>
#include <vector>

#include "display/filter_design.h"
#include "settings/filter_text.h"
#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"

namespace kdsp::display {

// The comparison of page and request spans 20 Hz to 20 kHz, 48 points per octave.
inline constexpr float kDeviationLowHz = 20.0f;
inline constexpr float kDeviationHighHz = 20000.0f;
inline constexpr int kDeviationPointsPerOctave = 48;

// 20 Hz, then every 1/48 octave up to 20 kHz, which closes the list.
std::vector<float> DeviationFrequencies();

// Where one requested filter went and what it was set to.
struct FittedFilter {
  settings::RequestedFilter asked;
  int band = settings::kNoRecord;       // block band index, for PK, LS and HS
  int crossover = settings::kNoRecord;  // crossover filter index, for HP and LP
  settings::EqBand setBand{};
  settings::CrossoverFilter setFilter{};
};

struct FilterFit {
  std::string error;  // the first refusal, naming its line; then nothing else is set
  std::vector<FittedFilter> filters;
  std::vector<std::string> notes;    // lines not read; what was read but cannot act (a preamp,
                                     // linked mic sets)
  settings::ParameterBlock block{};  // the given block with the page set to the filters
  float largestDeviationDb = 0.0f;   // |page response - asked response|, over the comparison

  bool ok() const { return error.empty(); }
};

// Fits the filters onto the page (the Mic Equalizer's second set with secondSet). The block is
// only read: on success the result holds the changed copy, on a refusal only the error.
FilterFit FitFilters(const settings::ParameterBlock& block, const settings::PageParameters& page,
                     bool secondSet, const settings::FilterText& filters);

// The sections of a request at its exact values: what the deviation compares the page with.
// Switched-off requests are the identity.
std::vector<BiquadSection> RequestedSections(const settings::RequestedFilter& filter);

// "line 5: PK 125.0 Hz -3.00 dB Q 2.000 -> bands[30]: PK 125.0 Hz -3.0 dB Q 2.035", one per
// filter, then the notes ("line 3: not a filter or preamp line, not read: …" first), then
// "largest deviation: 0.41 dB over 20 Hz - 20 kHz".
std::vector<std::string> FitReport(const FilterFit& fit);

// The page's bands as filters, band by band in page order (line n is the page's band n): ON or
// OFF as the band is, gain 0 written as it is, so that reading them back changes nothing.
// Crossover filters are left out: these formats know only 12 dB/octave high- and low-passes.
std::vector<settings::RequestedFilter> PageFilters(const settings::ParameterBlock& block,
                                                   const settings::PageParameters& page,
                                                   bool secondSet);

// A filter file read and fitted onto the page, as the program and the command line import it.
struct FilterFileFit {
  std::string error;  // "<file>: line 7: …", "Can't read <file>", "no filters found in <file>"
  FilterFit fit;

  bool ok() const { return error.empty(); }
};
// Far more than any filter list: a larger file is something else given by mistake.
inline constexpr std::size_t kLongestFilterFile = std::size_t{1} << 20;
FilterFileFit FitFilterFile(const std::filesystem::path& path, const settings::ParameterBlock& block,
                            const settings::PageParameters& page, bool secondSet);

// The export file: PageFilters in the measurement programs' format, the page named in its notes.
std::string ExportFilterText(const settings::ParameterBlock& block,
                             const settings::PageParameters& page, bool secondSet);

}  // namespace kdsp::display
