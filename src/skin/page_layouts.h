// SPDX-License-Identifier: GPL-3.0-or-later
// Where the controls of the eight effect pages sit: one template for the EQ band strips and the
// faders, and one table per page (TForm2..TForm9). Which bands, filters and compressor a page
// edits is the page catalogue's, the field each fader edits and how it stores is the page rules';
// this file holds positions, ranges, formats and captions only. The pages place their controls
// from it and the skin generator prints the backgrounds against it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/translatable.h"
#include "device/page_rules.h"
#include "settings/field_ranges.h"
#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"
#include "skin/skin_geometry.h"
#include "skin/skin_image_table.h"

namespace kdsp::skin::page_layout {

using settings::PageId;

// The template shared by every page.
struct PageTemplate {
  // One EQ band strip, from its fader origin (x, y).
  int eqFaderTravel = 126;                       // fader rectangle height = thumb height + 126
  int eqGainMin = settings::range::kEqGain.min;  // tenths of a dB
  int eqGainMax = settings::range::kEqGain.max;
  LayoutPoint gainBox{-9, -18};
  int freqBoxDy = 172;
  int qBoxDyMic = 195;  // the Mic Equalizer's Q row sits 5 pixels higher
  int qBoxDy = 200;
  int buttonDx = -9;  // the column of small buttons above the strip, in window rows:
  int passButtonY = 7;
  std::array<int, 3> typeButtonY{27, 47, 67};  // P, LS, HS
  int gainMaxChars = 5;
  int freqMaxChars = 5;
  int qMaxChars = 4;
  // Every fader outside the strips.
  int faderTravel = 125;  // rectangle height = small thumb height + 125
  LayoutPoint faderBox{-14, -26};
  // Buttons a page draws at 80 % of their picture.
  int reducedPercent = 80;
};

inline constexpr PageTemplate kPageTemplate{};

// The captions of the strip's button rows and value rows as the skin prints them.
inline constexpr std::string_view kPassCaption = "PASS";
inline constexpr std::array<std::string_view, 3> kTypeCaptions = {"P", "LS", "HS"};
inline constexpr std::string_view kFreqCaption = "FREQ";
inline constexpr std::string_view kQCaption = "BW";
inline constexpr std::string_view kGainCaption = "GAIN";
inline constexpr std::string_view kEqPassCaption = "EQPass";

// Which group of the page a fader outside the strips belongs to, and how it shows and takes its
// value. The field it edits is named by the page rules.
using device::PageField;
enum class FaderRole { kThreshold, kAttack, kRelease, kRatio, kHighPass, kLowPass, kLevel };
enum class FaderFormat {
  kInt,
  kMilliseconds,
  kAttack,
  kRelease,
  kRatio,
  kFreqOffLow,
  kFreqOffHigh
};
enum class FaderCommit { kIntRange, kFreq, kReadOnly };
struct PageFader {
  FaderRole role = FaderRole::kLevel;
  std::string_view caption{};  // printed under the fader
  // Printed over the frame around a run of faders of one group; empty for a lone fader, whose
  // caption names it.
  std::string_view group{};
  int x = 0;
  int min = 0;
  int max = 0;  // also the limit
  FaderFormat format = FaderFormat::kInt;
  FaderCommit commit = FaderCommit::kIntRange;
  int maxChars = 2;
  PageField field = PageField::kEchoLevel;
  std::string_view minText{};  // printed at the bottom of the scale in place of the minimum
};

// A fader whose scale names its bottom position.
constexpr PageFader WithMinText(PageFader fader, std::string_view text) {
  fader.minText = text;
  return fader;
}

// A fader that counts milliseconds: its box shows the unit as the attack times do.
constexpr PageFader InMilliseconds(PageFader fader) {
  fader.format = FaderFormat::kMilliseconds;
  return fader;
}

inline constexpr std::string_view kCompressorGroup = "COMPRESSOR";

constexpr PageFader Threshold(int x) {
  return {.role = FaderRole::kThreshold,
          .caption = "Threshold",
          .group = kCompressorGroup,
          .x = x,
          .min = settings::range::kThreshold.min,
          .max = settings::range::kThreshold.max,
          .field = PageField::kThreshold};
}
constexpr PageFader Attack(int x) {
  return {.role = FaderRole::kAttack,
          .caption = "Attack",
          .group = kCompressorGroup,
          .x = x,
          .max = settings::range::kAttack.max,
          .format = FaderFormat::kAttack,
          .commit = FaderCommit::kReadOnly,
          .field = PageField::kAttack};
}
constexpr PageFader Release(int x) {
  return {.role = FaderRole::kRelease,
          .caption = "Release",
          .group = kCompressorGroup,
          .x = x,
          .max = settings::range::kRelease.max,
          .format = FaderFormat::kRelease,
          .commit = FaderCommit::kReadOnly,
          .field = PageField::kRelease};
}
constexpr PageFader Ratio(int x) {
  return {.role = FaderRole::kRatio,
          .caption = "Ratio",
          .group = kCompressorGroup,
          .x = x,
          .max = settings::range::kRatio.max,
          .format = FaderFormat::kRatio,
          .commit = FaderCommit::kReadOnly,
          .field = PageField::kRatio};
}
constexpr PageFader HighPass(int x, std::string_view caption = "HPF",
                             std::string_view group = "HIGH PASS") {
  return {.role = FaderRole::kHighPass,
          .caption = caption,
          .group = group,
          .x = x,
          .max = settings::range::kFrequencyStep.max,
          .format = FaderFormat::kFreqOffLow,
          .commit = FaderCommit::kFreq,
          .maxChars = 5,
          .field = PageField::kHighPassFrequency};
}
constexpr PageFader LowPass(int x, std::string_view caption = "LPF",
                            std::string_view group = "LOW PASS") {
  return {.role = FaderRole::kLowPass,
          .caption = caption,
          .group = group,
          .x = x,
          .max = settings::range::kFrequencyStep.max,
          .format = FaderFormat::kFreqOffHigh,
          .commit = FaderCommit::kFreq,
          .maxChars = 5,
          .field = PageField::kLowPassFrequency};
}
constexpr PageFader Level(std::string_view caption, std::string_view group, int x,
                          settings::IntRange range, int maxChars, PageField field) {
  return {.caption = caption,
          .group = group,
          .x = x,
          .min = range.min,
          .max = range.max,
          .maxChars = maxChars,
          .field = field};
}

// Knobs: a crossover filter's family and order, and the Mic Equalizer's set selector.
enum class KnobRole { kFamily, kOrder, kMicEqMode };

struct PageKnob {
  KnobRole role;
  FaderRole filter;  // kHighPass or kLowPass for family and order knobs
  LayoutPoint at;
  int min;
  int max;
};

// The panel names the Linkwitz-Riley family by its first name, as crossovers commonly do, so
// the dial's right-hand legend stays inside the filter's frame at a legible size.
inline constexpr std::array<std::string_view, 3> kFamilyPositions = {"Butterworth", "Bessel",
                                                                     "Linkwitz"};
inline constexpr std::array<std::string_view, 3> kOrderPositions = {"12dB", "18dB", "24dB"};
inline constexpr std::array<std::string_view, 3> kMicEqModePositions = {"MIC135+24", "MIC135",
                                                                        "MIC24"};
// What the skin prints beside each kind of knob.
inline constexpr std::array<std::string_view, 3> kKnobCaptions = {"FILTER", "SLOPE", "EQ MODE"};
// The caption the Mic Equalizer draws for its mode, black, in the value font.
inline constexpr std::array<std::string_view, 3> kMicEqModeCaptions = {"MIC12345 EQ", "MIC135 EQ",
                                                                       "MIC24 EQ"};
inline constexpr LayoutPoint kMicEqModeCaptionAt{34, 94};

inline constexpr settings::IntRange kFamilyKnob = settings::range::kFilterFamily;
inline constexpr settings::IntRange kOrderKnob = settings::range::kFilterOrder;
inline constexpr settings::IntRange kModeKnob = settings::range::kMicEqMode;

constexpr std::span<const std::string_view> KnobPositions(KnobRole role) {
  switch (role) {
    case KnobRole::kFamily:
      return kFamilyPositions;
    case KnobRole::kOrder:
      return kOrderPositions;
    case KnobRole::kMicEqMode:
      return kMicEqModePositions;
  }
  return {};
}

// The Mic Equalizer's polarity switches: toggles drawn at 80 %, state 1 while the bit is clear.
struct PolaritySwitch {
  LayoutPoint at;
  std::string_view caption;
  std::uint8_t bit;  // of micFlags
};

inline constexpr std::size_t kPolarityByte = settings::offsets::kMicFlags;

struct PageLayout {
  PageId id = PageId::kMicEqualizer;
  SkinSlot background = SkinSlot::kPageBackground0;
  LayoutRect titleArea{};  // where the background prints the page's title
  LayoutPoint closeButton{};
  LayoutPoint eqPassButton{};
  bool logo = false;
  LayoutPoint logoAt{};
  LayoutRect chart{};
  int eqY = 0;  // fader origin y of every strip
  std::span<const int> eqX{};
  int qBoxDy = 0;
  int faderY = 0;
  std::span<const PageFader> faders{};  // in the page's fader order
  std::span<const PageKnob> knobs{};
  std::span<const PolaritySwitch> polarity{};
};

// A page that shows another page's panel under its own name and background picture.
constexpr PageLayout SamePanelAs(PageLayout panel, PageId id, SkinSlot background) {
  panel.id = id;
  panel.background = background;
  return panel;
}

// ---- TForm2, Mic Equalizer ----
inline constexpr std::array<int, 15> kTForm2Strips = {60,  103, 147, 189, 233, 276, 318, 361,
                                                      404, 448, 491, 534, 578, 621, 664};
// The high-pass fader stands alone at the window's edge; its caption names it.
inline constexpr std::array<PageFader, 5> kTForm2Faders = {
    Threshold(732), Attack(786), Release(842), Ratio(898), HighPass(956, "HPF", {})};
inline constexpr std::array<PageKnob, 1> kTForm2Knobs = {
    {{KnobRole::kMicEqMode, FaderRole::kLevel, {754, 38}, kModeKnob.min, kModeKnob.max}}};
inline constexpr std::array<PolaritySwitch, 2> kTForm2Polarity = {{
    {{15, 22}, "MIC13 Pol", settings::kMicPolarity1},
    {{15, 67}, "MIC2 Pol", settings::kMicPolarity2},
}};
// The table gives the Mic Equalizer no chart rectangle; it takes the strip of the window below
// its Q row, as wide as the other pages' charts.
inline constexpr PageLayout kTForm2 = {
    .id = PageId::kMicEqualizer,
    .background = skin::PageBackgroundSlot(0),
    .titleArea = {806, 8, 148, 24},
    .closeButton = {960, 8},
    .eqPassButton = {890, 60},
    .logo = false,
    .chart = {0, 359, 1000, 241},
    .eqY = 134,
    .eqX = kTForm2Strips,
    .qBoxDy = 195,
    .faderY = 147,
    .faders = kTForm2Faders,
    .knobs = kTForm2Knobs,
    .polarity = kTForm2Polarity,
};

// ---- TForm3, Main Output, and TForm5, Surround Output (the same panel) ----
inline constexpr std::array<int, 5> kWideOutputStrips = {134, 187, 238, 289, 342};
inline constexpr std::array<PageFader, 5> kHighPassOutputFaders = {
    Threshold(413), Attack(466), Release(522), Ratio(579), HighPass(656)};
inline constexpr std::array<PageKnob, 2> kHighPassOutputKnobs = {{
    {KnobRole::kFamily, FaderRole::kHighPass, {731, 136}, kFamilyKnob.min, kFamilyKnob.max},
    {KnobRole::kOrder, FaderRole::kHighPass, {731, 224}, kOrderKnob.min, kOrderKnob.max},
}};
inline constexpr PageLayout kTForm3 = {
    .id = PageId::kMainOutput,
    .background = skin::PageBackgroundSlot(1),
    .titleArea = {500, 30, 300, 30},
    .closeButton = {960, 8},
    .eqPassButton = {400, 35},
    .logo = true,
    .logoAt = {838, 109},
    .chart = {0, 359, 1000, 241},
    .eqY = 129,
    .eqX = kWideOutputStrips,
    .qBoxDy = 200,
    .faderY = 136,
    .faders = kHighPassOutputFaders,
    .knobs = kHighPassOutputKnobs,
};
inline constexpr PageLayout kTForm5 =
    SamePanelAs(kTForm3, PageId::kSurroundOutput, skin::PageBackgroundSlot(3));

// ---- TForm4, Center Output, and TForm6, Subwoofer Output ----
inline constexpr std::array<int, 5> kNarrowOutputStrips = {73, 125, 177, 229, 281};
inline constexpr std::array<PageFader, 6> kTForm4Faders = {
    Threshold(374), Attack(428), Release(483), Ratio(540), HighPass(618), LowPass(826)};
inline constexpr std::array<PageFader, 7> kTForm6Faders = {
    Threshold(374),
    Attack(428),
    Release(483),
    Ratio(540),
    HighPass(618),
    LowPass(826),
    WithMinText(Level("Decay", {}, 1021, settings::range::kSubDecay, 2, PageField::kSubDecay),
                "OFF")};
inline constexpr std::array<PageKnob, 4> kBandPassOutputKnobs = {{
    {KnobRole::kFamily, FaderRole::kHighPass, {693, 132}, kFamilyKnob.min, kFamilyKnob.max},
    {KnobRole::kOrder, FaderRole::kHighPass, {693, 220}, kOrderKnob.min, kOrderKnob.max},
    {KnobRole::kFamily, FaderRole::kLowPass, {901, 132}, kFamilyKnob.min, kFamilyKnob.max},
    {KnobRole::kOrder, FaderRole::kLowPass, {901, 220}, kOrderKnob.min, kOrderKnob.max},
}};
inline constexpr PageLayout kTForm4 = {
    .id = PageId::kCenterOutput,
    .background = skin::PageBackgroundSlot(2),
    .titleArea = {470, 30, 300, 30},
    .closeButton = {960, 8},
    .eqPassButton = {357, 35},
    .logo = false,
    .chart = {0, 351, 1000, 249},
    .eqY = 121,
    .eqX = kNarrowOutputStrips,
    .qBoxDy = 200,
    .faderY = 132,
    .faders = kTForm4Faders,
    .knobs = kBandPassOutputKnobs,
};
inline constexpr PageLayout kTForm6 = {
    .id = PageId::kSubwooferOutput,
    .background = skin::PageBackgroundSlot(4),
    .titleArea = {500, 30, 300, 30},
    .closeButton = {1020, 8},
    .eqPassButton = {400, 35},
    .logo = false,
    .chart = {0, 351, 1050, 249},
    .eqY = 121,
    .eqX = kNarrowOutputStrips,
    .qBoxDy = 200,
    .faderY = 132,
    .faders = kTForm6Faders,
    .knobs = kBandPassOutputKnobs,
};

// ---- TForm7, Music Equalizer ----
inline constexpr std::array<int, 7> kTForm7Strips = {104, 159, 213, 267, 323, 378, 433};
inline constexpr std::array<PageFader, 4> kTForm7Faders = {Threshold(542), Attack(595),
                                                           Release(651), Ratio(708)};
inline constexpr PageLayout kTForm7 = {
    .id = PageId::kMusicEqualizer,
    .background = skin::PageBackgroundSlot(5),
    .titleArea = {600, 30, 300, 30},
    .closeButton = {960, 8},
    .eqPassButton = {500, 35},
    .logo = true,
    .logoAt = {825, 115},
    .chart = {0, 364, 1000, 236},
    .eqY = 134,
    .eqX = kTForm7Strips,
    .qBoxDy = 200,
    .faderY = 144,
    .faders = kTForm7Faders,
};

// ---- TForm8, Echo Effect, and TForm9, Reverb Effect ----
// The reverb's names, which the reverb dialog shows for the same three block fields.
// The reverb dialog shows these names too, translated; the page's legends stay English.
inline constexpr std::string_view kRevLevelName = KDSP_TRANSLATE_NOOP("Dialogs", "Rev Level");
inline constexpr std::string_view kRevTimeName = KDSP_TRANSLATE_NOOP("Dialogs", "Rev Time");
inline constexpr std::string_view kRevPreDelayName =
    KDSP_TRANSLATE_NOOP("Dialogs", "Rev Pre Delay");
inline constexpr std::array<int, 3> kEffectStrips = {107, 161, 215};
inline constexpr std::array<PageFader, 9> kTForm8Faders = {
    Level("Echo Level", "ECHO", 305, settings::range::kEffectLevel, 2, PageField::kEchoLevel),
    InMilliseconds(
        Level("Echo Delay", "ECHO", 355, settings::range::kEchoDelay, 3, PageField::kEchoDelay)),
    Level("Echo Repeat", "ECHO", 404, settings::range::kEffectLevel, 2, PageField::kEchoRepeat),
    InMilliseconds(Level("Pre Delay", "ECHO", 452, settings::range::kEchoPreDelay, 3,
                         PageField::kEchoPreDelay)),
    InMilliseconds(
        Level("Delay L-R", "ECHO", 500, settings::range::kEchoOffset, 3, PageField::kEchoDelayLr)),
    InMilliseconds(Level("Pre Delay L-R", "ECHO", 548, settings::range::kEchoOffset, 3,
                         PageField::kEchoPreDelayLr)),
    HighPass(596, "Echo HPF", "FILTER"),
    LowPass(644, "Echo LPF", "FILTER"),
    Level("Direct Volume", {}, 729, settings::range::kEffectLevel, 2, PageField::kEchoDirect),
};
inline constexpr std::array<PageFader, 5> kTForm9Faders = {
    Level(kRevLevelName, "REVERB", 305, settings::range::kEffectLevel, 2, PageField::kRevLevel),
    Level(kRevTimeName, "REVERB", 355, settings::range::kRevPageTime, 2, PageField::kRevTime),
    InMilliseconds(Level(kRevPreDelayName, "REVERB", 404, settings::range::kRevPreDelay, 3,
                         PageField::kRevPreDelay)),
    HighPass(452, "Rev HPF", "FILTER"),
    LowPass(500, "Rev LPF", "FILTER"),
};
inline constexpr PageLayout kTForm8 = {
    .id = PageId::kEcho,
    .background = skin::PageBackgroundSlot(6),
    .titleArea = {420, 30, 300, 30},
    .closeButton = {960, 8},
    .eqPassButton = {300, 35},
    .logo = true,
    .logoAt = {810, 100},
    .chart = {0, 363, 1000, 237},
    .eqY = 133,
    .eqX = kEffectStrips,
    .qBoxDy = 200,
    .faderY = 140,
    .faders = kTForm8Faders,
};
inline constexpr PageLayout kTForm9 = {
    .id = PageId::kReverb,
    .background = skin::PageBackgroundSlot(7),
    .titleArea = {420, 30, 300, 30},
    .closeButton = {960, 8},
    .eqPassButton = {300, 35},
    .logo = true,
    .logoAt = {810, 100},
    .chart = {0, 363, 1000, 237},
    .eqY = 133,
    .eqX = kEffectStrips,
    .qBoxDy = 200,
    .faderY = 140,
    .faders = kTForm9Faders,
};

// The eight pages in window-class order, the order of their backgrounds.
inline constexpr std::array<const PageLayout*, 8> kPageLayouts = {
    &kTForm2, &kTForm3, &kTForm4, &kTForm5, &kTForm6, &kTForm7, &kTForm8, &kTForm9};

constexpr const PageLayout& LayoutOf(PageId id) {
  for (const PageLayout* page : kPageLayouts)
    if (page->id == id) return *page;
  return kTForm2;  // every PageId has a layout; checked below
}

constexpr bool EveryPageHasOneLayout() {
  for (const settings::PageParameters& p : settings::kPages) {
    int found = 0;
    for (const PageLayout* page : kPageLayouts) found += page->id == p.id ? 1 : 0;
    if (found != 1) return false;
  }
  return true;
}
static_assert(EveryPageHasOneLayout());

// ---- Geometry derived from the template ----

constexpr LayoutSize PageSize(const PageLayout& page) {
  return skin::SkinImageSize(page.background);
}

constexpr LayoutSize ThumbSize() {
  return skin::SkinImageSize(SkinSlot::kThumbNormal);
}
constexpr LayoutSize SmallThumbSize() {
  return skin::SkinImageSize(SkinSlot::kSmallThumbNormal);
}
constexpr LayoutSize BoxSize() {
  return skin::SkinImageSize(SkinSlot::kPageBoxNormal);
}
constexpr LayoutSize StripButtonSize() {
  return skin::SkinImageSize(SkinSlot::kPeakOn);
}

constexpr LayoutRect EqFaderRect(const PageLayout& page, int strip) {
  return {page.eqX[strip], page.eqY, ThumbSize().w, ThumbSize().h + kPageTemplate.eqFaderTravel};
}
constexpr LayoutRect EqGainBoxRect(const PageLayout& page, int strip) {
  return RectAt({page.eqX[strip] + kPageTemplate.gainBox.x, page.eqY + kPageTemplate.gainBox.y},
                BoxSize());
}
constexpr LayoutRect EqFreqBoxRect(const PageLayout& page, int strip) {
  return RectAt({page.eqX[strip] + kPageTemplate.buttonDx, page.eqY + kPageTemplate.freqBoxDy},
                BoxSize());
}
constexpr LayoutRect EqQBoxRect(const PageLayout& page, int strip) {
  return RectAt({page.eqX[strip] + kPageTemplate.buttonDx, page.eqY + page.qBoxDy}, BoxSize());
}
constexpr LayoutRect EqPassButtonRect(const PageLayout& page, int strip) {
  return RectAt({page.eqX[strip] + kPageTemplate.buttonDx, kPageTemplate.passButtonY},
                StripButtonSize());
}
constexpr LayoutRect EqTypeButtonRect(const PageLayout& page, int strip, int type) {
  return RectAt({page.eqX[strip] + kPageTemplate.buttonDx, kPageTemplate.typeButtonY[type]},
                StripButtonSize());
}

constexpr LayoutRect FaderRect(const PageLayout& page, const PageFader& f) {
  return {f.x, page.faderY, SmallThumbSize().w, SmallThumbSize().h + kPageTemplate.faderTravel};
}
constexpr LayoutRect FaderBoxRect(const PageLayout& page, const PageFader& f) {
  return RectAt({f.x + kPageTemplate.faderBox.x, page.faderY + kPageTemplate.faderBox.y},
                BoxSize());
}

constexpr LayoutRect KnobRect(const PageKnob& k) {
  return RectAt(k.at, skin::SkinImageSize(SkinSlot::kKnobNormal));
}
constexpr LayoutRect PolaritySwitchRect(const PolaritySwitch& s) {
  return RectAt(
      s.at, skin::ScaledDown(skin::SkinImageSize(SkinSlot::kMuteOn), kPageTemplate.reducedPercent));
}
constexpr LayoutRect CloseButtonRect(const PageLayout& page) {
  return RectAt(page.closeButton, skin::SkinImageSize(SkinSlot::kPageCloseButton));
}
constexpr LayoutRect EqPassRect(const PageLayout& page) {
  return RectAt(page.eqPassButton, skin::SkinImageSize(SkinSlot::kEqPassOn));
}
constexpr LayoutRect LogoRect(const PageLayout& page) {
  return page.logo ? RectAt(page.logoAt, skin::SkinImageSize(SkinSlot::kLogo)) : LayoutRect{};
}

// The block offset a fader's value decides.
inline std::size_t FaderTarget(PageId id, const PageFader& f) {
  return device::RuleOf(id, f.field).field.offset;
}

// What a control is, for checks and for the generator's layout overlay.
enum class ControlKind {
  kCloseButton,
  kEqPassButton,
  kLogo,
  kEqFader,
  kEqGainBox,
  kEqFreqBox,
  kEqQBox,
  kEqPassBandButton,
  kEqTypeButton,
  kFader,
  kFaderBox,
  kKnob,
  kPolaritySwitch,
};

// Calls visit(kind, index, rect) for every control rectangle of the page (and the logo).
template <class Visit>
constexpr void ForEachControl(const PageLayout& page, Visit&& visit) {
  visit(ControlKind::kCloseButton, 0, CloseButtonRect(page));
  visit(ControlKind::kEqPassButton, 0, EqPassRect(page));
  if (page.logo) visit(ControlKind::kLogo, 0, LogoRect(page));
  for (int i = 0; i < static_cast<int>(page.eqX.size()); ++i) {
    visit(ControlKind::kEqFader, i, EqFaderRect(page, i));
    visit(ControlKind::kEqGainBox, i, EqGainBoxRect(page, i));
    visit(ControlKind::kEqFreqBox, i, EqFreqBoxRect(page, i));
    visit(ControlKind::kEqQBox, i, EqQBoxRect(page, i));
    visit(ControlKind::kEqPassBandButton, i, EqPassButtonRect(page, i));
    for (int t = 0; t < 3; ++t)
      visit(ControlKind::kEqTypeButton, i * 3 + t, EqTypeButtonRect(page, i, t));
  }
  for (int i = 0; i < static_cast<int>(page.faders.size()); ++i) {
    visit(ControlKind::kFader, i, FaderRect(page, page.faders[i]));
    visit(ControlKind::kFaderBox, i, FaderBoxRect(page, page.faders[i]));
  }
  for (int i = 0; i < static_cast<int>(page.knobs.size()); ++i)
    visit(ControlKind::kKnob, i, KnobRect(page.knobs[i]));
  for (int i = 0; i < static_cast<int>(page.polarity.size()); ++i)
    visit(ControlKind::kPolaritySwitch, i, PolaritySwitchRect(page.polarity[i]));
}

}  // namespace kdsp::skin::page_layout
