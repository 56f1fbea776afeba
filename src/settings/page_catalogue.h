// SPDX-License-Identifier: GPL-3.0-or-later
// Which parameters each effect page edits: its bands, crossover filters and compressor. The
// pages, their response charts and the command-line tool all read this one table.
#pragma once

#include <array>
#include <string_view>

namespace kdsp::settings {

// The pages in the order of their page-open slots.
enum class PageId : int {
  kMicEqualizer,
  kMusicEqualizer,
  kEcho,
  kReverb,
  kMainOutput,
  kCenterOutput,
  kSubwooferOutput,
  kSurroundOutput,
};

inline constexpr int kPageCount = 8;
inline constexpr int kNoRecord = -1;
// Crossover filters 0..4 (mic, echo, reverb) have only a frequency control; from this one on,
// the output pages' filters also have their family and order knobs.
inline constexpr int kFirstFilterWithShapeKnobs = 5;

struct PageParameters {
  PageId id;
  std::string_view key;    // short name on the command line
  std::string_view title;  // as printed on the page
  std::string_view form;   // the page's window class
  int firstBand;
  int bandCount;
  int secondSetFirstBand;  // the Mic Equalizer's second set, else kNoRecord
  int highPass;            // crossover filter index, or kNoRecord
  int lowPass;
  int compressor;
};

inline constexpr std::array<PageParameters, kPageCount> kPages{{
    {PageId::kMicEqualizer, "mic", "Mic Equalizer", "TForm2", 0, 15, 48, 0, kNoRecord, 0},
    {PageId::kMusicEqualizer, "music", "Music Equalizer", "TForm7", 15, 7, kNoRecord, kNoRecord,
     kNoRecord, 5},
    {PageId::kEcho, "echo", "Echo Effect", "TForm8", 22, 3, kNoRecord, 1, 2, kNoRecord},
    {PageId::kReverb, "reverb", "Reverb Effect", "TForm9", 25, 3, kNoRecord, 3, 4, kNoRecord},
    {PageId::kMainOutput, "main", "Main Output", "TForm3", 28, 5, kNoRecord, 5, kNoRecord, 1},
    {PageId::kCenterOutput, "center", "Center Output", "TForm4", 33, 5, kNoRecord, 6, 7, 2},
    {PageId::kSubwooferOutput, "subwoofer", "Subwoofer Output", "TForm6", 38, 5, kNoRecord, 8, 9,
     3},
    {PageId::kSurroundOutput, "surround", "Surround Output", "TForm5", 43, 5, kNoRecord, 10,
     kNoRecord, 4},
}};

constexpr const PageParameters& Page(PageId id) {
  return kPages[static_cast<int>(id)];
}

// The block index of the page's first band; secondSet picks the Mic Equalizer's second set and
// means nothing on the other pages.
constexpr int FirstBand(const PageParameters& page, bool secondSet) {
  return secondSet && page.secondSetFirstBand != kNoRecord ? page.secondSetFirstBand
                                                           : page.firstBand;
}

// The page with this command-line name, or nullptr.
constexpr const PageParameters* FindPage(std::string_view key) {
  for (const PageParameters& p : kPages)
    if (p.key == key) return &p;
  return nullptr;
}

}  // namespace kdsp::settings
