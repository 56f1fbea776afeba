// SPDX-License-Identifier: GPL-3.0-or-later
// Where every control of the main window sits, with its range and its place in the parameter
// block, and the sections the background prints around them. Plain data: the main window
// places its controls from it and the skin generator prints the captions and scales against it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "settings/field_ranges.h"
#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"
#include "settings/value_texts.h"
#include "skin/skin_geometry.h"
#include "skin/skin_image_table.h"

namespace kdsp::skin::main_layout {

// The client size is the background's size.
inline constexpr LayoutSize kMainWindowSize = skin::SkinImageSize(SkinSlot::kMainBackground);

// The printed sections of the panel. The first five group the output mixer and the master
// controls; the sixth frames the Mic Setting knob; the seventh shows the working settings' status.
enum class MainSection : int {
  kMain,
  kCenter,
  kSurround,
  kSubwoofer,
  kControl,
  kMicSetting,
  kSettings
};

struct SectionFrame {
  MainSection section;
  std::string_view title;
  LayoutRect frame;
  // What a user calls the section's faders where it is not the title: the Control section's
  // are the master levels.
  std::string_view faderName = {};
};

inline constexpr std::array<SectionFrame, 7> kSectionFrames{{
    {MainSection::kMain, "MAIN", {8, 50, 164, 512}},
    {MainSection::kCenter, "CENTER", {177, 50, 162, 512}},
    {MainSection::kSurround, "SURROUND", {344, 50, 162, 512}},
    {MainSection::kSubwoofer, "SUBWOOFER", {511, 50, 130, 512}},
    {MainSection::kControl, "CONTROL", {646, 50, 176, 512}, "MASTER"},
    {MainSection::kMicSetting, "MIC SETTING", {838, 300, 140, 118}},
    {MainSection::kSettings, "SETTINGS", {838, 430, 140, 132}},
}};

constexpr bool FramesInSectionOrder() {
  for (int i = 0; i < static_cast<int>(kSectionFrames.size()); ++i)
    if (static_cast<int>(kSectionFrames[i].section) != i) return false;
  return true;
}
static_assert(FramesInSectionOrder());

constexpr const SectionFrame& FrameOf(MainSection section) {
  return kSectionFrames[static_cast<int>(section)];
}

// Title-bar buttons, Presets button and the point where the Presets menu opens.
inline constexpr LayoutPoint kCloseButtonAt{960, 8};
inline constexpr LayoutPoint kMinimizeButtonAt{935, 8};
inline constexpr LayoutPoint kPresetsButtonAt{875, 200};
inline constexpr LayoutPoint kPresetsMenuAt{875, 230};

constexpr LayoutRect CloseButtonRect() {
  return RectAt(kCloseButtonAt, skin::SkinImageSize(SkinSlot::kCloseButton));
}
constexpr LayoutRect MinimizeButtonRect() {
  return RectAt(kMinimizeButtonAt, skin::SkinImageSize(SkinSlot::kMinimizeButton));
}
constexpr LayoutRect PresetsButtonRect() {
  return RectAt(kPresetsButtonAt, skin::SkinImageSize(SkinSlot::kPresetsOn));
}

// Static drawing before the controls.
inline constexpr std::string_view kVersionText = "Ver 2.41";
inline constexpr LayoutPoint kVersionTextAt{955, 585};
inline constexpr LayoutRect kLinkIndicatorRect{886, 121, 43, 43};
inline constexpr LayoutPoint kLogoAt{838, 40};

constexpr LayoutRect LogoRect() {
  return RectAt(kLogoAt, skin::SkinImageSize(SkinSlot::kLogo));
}

// Output switch buttons, indexed by their bit of outputMutes. A switch shows state 1 while its
// bit is 0 (the output plays).
struct OutputSwitch {
  int bit;
  LayoutPoint at;
  int scalePercent;  // the Control section's two are drawn at 70 %
  MainSection section;
  std::string_view caption;
};

inline constexpr std::array<OutputSwitch, 8> kOutputSwitches{{
    {0, {31, 88}, 100, MainSection::kMain, "OUT L"},
    {1, {31, 184}, 100, MainSection::kMain, "OUT R"},
    {2, {196, 121}, 100, MainSection::kCenter, "OUT"},
    {3, {526, 121}, 100, MainSection::kSubwoofer, "OUT"},
    {4, {362, 88}, 100, MainSection::kSurround, "OUT L"},
    {5, {362, 184}, 100, MainSection::kSurround, "OUT R"},
    {6, {705, 180}, 70, MainSection::kControl, "MIC"},
    {7, {665, 180}, 70, MainSection::kControl, "MUSIC"},
}};

constexpr LayoutRect OutputSwitchRect(const OutputSwitch& s) {
  return RectAt(s.at, skin::ScaledDown(skin::SkinImageSize(SkinSlot::kSpeakerOn), s.scalePercent));
}

// The two maximum-volume boxes (music, microphone); main-window state, not block fields.
struct MaxVolumeBox {
  LayoutPoint at;
  std::string_view name;
};

inline constexpr std::array<MaxVolumeBox, 2> kMaxVolumeBoxes{{
    {{672, 305}, "music"},
    {{719, 305}, "mic"},
}};
// Printed beside the music box, for both.
inline constexpr std::string_view kMaxVolumeCaption = "MAX";
inline constexpr int kMaxVolumeMaxChars = 2;
inline constexpr int kMaxVolumeMin = settings::range::kMaxVolume.min;
inline constexpr int kMaxVolumeMax = settings::range::kMaxVolume.max;
inline constexpr int kInitialMaxVolume = 55;

constexpr LayoutRect MaxVolumeBoxRect(const MaxVolumeBox& box) {
  return RectAt(box.at, skin::SkinImageSize(SkinSlot::kMainBoxNormal));
}

// Page buttons, in drawing order; momentary, state 1 at rest.
struct PageButton {
  LayoutPoint at;
  settings::PageId page;
  MainSection section;
  std::string_view caption;  // printed beside or under the button
};

inline constexpr std::array<PageButton, 8> kPageButtons{{
    {{70, 257}, settings::PageId::kMainOutput, MainSection::kMain, "OUTPUT EQ"},
    {{238, 257}, settings::PageId::kCenterOutput, MainSection::kCenter, "OUTPUT EQ"},
    {{398, 257}, settings::PageId::kSurroundOutput, MainSection::kSurround, "OUTPUT EQ"},
    {{558, 257}, settings::PageId::kSubwooferOutput, MainSection::kSubwoofer, "OUTPUT EQ"},
    {{658, 229}, settings::PageId::kMusicEqualizer, MainSection::kControl, "MUSIC EQ"},
    {{696, 229}, settings::PageId::kMicEqualizer, MainSection::kControl, "MIC EQ"},
    {{734, 229}, settings::PageId::kEcho, MainSection::kControl, "ECHO"},
    {{772, 229}, settings::PageId::kReverb, MainSection::kControl, "REVERB"},
}};

constexpr LayoutRect PageButtonRect(const PageButton& b) {
  return RectAt(b.at, skin::SkinImageSize(SkinSlot::kPageButtonOn));
}

// Faders: rectangle (x, 355, 20, 175), value box 18 above its top, mute button above that.
inline constexpr int kFaderY = 355;
inline constexpr int kFaderWidth = 20;
inline constexpr int kFaderHeight = 175;
inline constexpr LayoutPoint kFaderBoxOffset{-7, -18};
inline constexpr LayoutPoint kMuteButtonOffset{-6, -50};
inline constexpr int kFaderBoxMaxChars = 2;

// How the upper limit of a fader is set besides its scale.
enum class FaderLimit { kScale, kMusicMaxVolume, kMicMaxVolume };

struct MainFader {
  int x;
  MainSection section;
  std::string_view source;  // printed under the fader
  std::size_t target;       // byte of the parameter block; the value is its low 7 bits
  int min;                  // scale of drag, wheel and keys
  int max;
  FaderLimit limit;
  int typedMin;  // range a typed value is accepted in
  int typedMax;
  bool muteButton;  // a mute button above it toggles bit 7 of the same byte
};

namespace detail {
using settings::Output;
using settings::Source;
constexpr std::size_t Mix(Output o, Source s) {
  return settings::offsets::Mix(o, s);
}
inline constexpr settings::IntRange kMix = settings::range::kMixLevel;
inline constexpr settings::IntRange kMaster = settings::range::kMasterLevel;
inline constexpr settings::IntRange kEffect = settings::range::kMasterEffect;
}  // namespace detail

inline constexpr std::array<MainFader, 17> kFaders{{
    {23, MainSection::kMain, "MUSIC", detail::Mix(settings::kMain, settings::kMusic),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {63, MainSection::kMain, "MIC", detail::Mix(settings::kMain, settings::kMic), detail::kMix.min,
     detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max, true},
    {102, MainSection::kMain, "ECHO", detail::Mix(settings::kMain, settings::kEcho),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {141, MainSection::kMain, "REV", detail::Mix(settings::kMain, settings::kRev), detail::kMix.min,
     detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max, true},
    {189, MainSection::kCenter, "MUSIC", detail::Mix(settings::kCenter, settings::kMusic),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {229, MainSection::kCenter, "MIC", detail::Mix(settings::kCenter, settings::kMic),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {268, MainSection::kCenter, "ECHO", detail::Mix(settings::kCenter, settings::kEcho),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {308, MainSection::kCenter, "REV", detail::Mix(settings::kCenter, settings::kRev),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {356, MainSection::kSurround, "MUSIC", detail::Mix(settings::kSurround, settings::kMusic),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {396, MainSection::kSurround, "MIC", detail::Mix(settings::kSurround, settings::kMic),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {436, MainSection::kSurround, "ECHO", detail::Mix(settings::kSurround, settings::kEcho),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {474, MainSection::kSurround, "REV", detail::Mix(settings::kSurround, settings::kRev),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {540, MainSection::kSubwoofer, "MUSIC", detail::Mix(settings::kSubwoofer, settings::kMusic),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {596, MainSection::kSubwoofer, "MIC", detail::Mix(settings::kSubwoofer, settings::kMic),
     detail::kMix.min, detail::kMix.max, FaderLimit::kScale, detail::kMix.min, detail::kMix.max,
     true},
    {679, MainSection::kControl, "MUSIC", offsetof(settings::ParameterBlock, masterMusic),
     detail::kMaster.min, detail::kMaster.max, FaderLimit::kMusicMaxVolume, detail::kMaster.min,
     detail::kMaster.max, false},
    {726, MainSection::kControl, "MIC", offsetof(settings::ParameterBlock, masterMic),
     detail::kMaster.min, detail::kMaster.max, FaderLimit::kMicMaxVolume, detail::kMaster.min,
     detail::kMaster.max, false},
    {772, MainSection::kControl, "EFFECT", offsetof(settings::ParameterBlock, masterEffect),
     detail::kEffect.min, detail::kEffect.max, FaderLimit::kScale, detail::kEffect.min,
     detail::kEffect.max, false},
}};

// Mute button i belongs to fader i; the first 14 faders have one.
inline constexpr int kMuteButtonCount = 14;

constexpr bool MuteButtonsOnFirstFaders() {
  for (int i = 0; i < static_cast<int>(kFaders.size()); ++i)
    if (kFaders[i].muteButton != (i < kMuteButtonCount)) return false;
  return true;
}
static_assert(MuteButtonsOnFirstFaders());

constexpr LayoutRect FaderRect(const MainFader& f) {
  return {f.x, kFaderY, kFaderWidth, kFaderHeight};
}
constexpr LayoutRect FaderBoxRect(const MainFader& f) {
  return RectAt({f.x + kFaderBoxOffset.x, kFaderY + kFaderBoxOffset.y},
                skin::SkinImageSize(SkinSlot::kMainBoxNormal));
}
constexpr LayoutRect MuteButtonRect(const MainFader& f) {
  return RectAt({f.x + kMuteButtonOffset.x, kFaderY + kMuteButtonOffset.y},
                skin::SkinImageSize(SkinSlot::kMuteOn));
}

// What a knob's printed scale shows.
enum class KnobScale { kDelay, kFeedback, kMusicInput };

struct MainKnob {
  LayoutPoint at;
  std::string_view meaning;
  MainSection section;
  std::string_view caption;  // printed above the knob
  std::size_t target;        // offset in the parameter block
  int min;
  int max;
  int step;      // wheel and arrow keys
  int dragStep;  // one drag movement
  bool valueBox;
  int maxChars;
  KnobScale scale;
};

namespace detail {
constexpr std::size_t Delay(int line) {
  return settings::offsets::kOutputDelay + 4 * line;
}
}  // namespace detail

// Delay knobs count hundredths of a millisecond; their targets hold microseconds (value × 10).
inline constexpr int kDelayKnobMax = settings::range::kOutputDelayKnob.max;
inline constexpr int kDelayToTarget = settings::range::kOutputDelayKnobToBlock;

inline constexpr std::array<MainKnob, 8> kKnobs{{
    {{115, 91},
     "Main left delay",
     MainSection::kMain,
     "DELAY L",
     detail::Delay(0),
     0,
     kDelayKnobMax,
     5,
     100,
     true,
     6,
     KnobScale::kDelay},
    {{115, 189},
     "Main right delay",
     MainSection::kMain,
     "DELAY R",
     detail::Delay(1),
     0,
     kDelayKnobMax,
     5,
     100,
     true,
     6,
     KnobScale::kDelay},
    {{282, 128},
     "Center delay",
     MainSection::kCenter,
     "DELAY",
     detail::Delay(2),
     0,
     kDelayKnobMax,
     5,
     100,
     true,
     6,
     KnobScale::kDelay},
    {{444, 91},
     "Surround left delay",
     MainSection::kSurround,
     "DELAY L",
     detail::Delay(4),
     0,
     kDelayKnobMax,
     5,
     100,
     true,
     6,
     KnobScale::kDelay},
    {{444, 189},
     "Surround right delay",
     MainSection::kSurround,
     "DELAY R",
     detail::Delay(5),
     0,
     kDelayKnobMax,
     5,
     100,
     true,
     6,
     KnobScale::kDelay},
    {{591, 128},
     "Subwoofer delay",
     MainSection::kSubwoofer,
     "DELAY",
     detail::Delay(3),
     0,
     kDelayKnobMax,
     5,
     100,
     true,
     6,
     KnobScale::kDelay},
    {{887, 339},
     "Mic Setting",
     MainSection::kMicSetting,
     "FB-EX",
     offsetof(settings::ParameterBlock, feedbackLevel),
     settings::range::kFeedbackLevel.min,
     settings::range::kFeedbackLevel.max,
     1,
     1,
     false,
     2,
     KnobScale::kFeedback},
    {{716, 119},
     "Music input",
     MainSection::kControl,
     "INPUT",
     offsetof(settings::ParameterBlock, musicInput),
     settings::range::kMusicInput.min,
     settings::range::kMusicInput.max,
     1,
     1,
     false,
     2,
     KnobScale::kMusicInput},
}};

inline constexpr LayoutPoint kKnobBoxOffset{-4, 40};

// The labels printed around the two selector knobs, one per position.
inline constexpr std::array<std::string_view, 6> kFeedbackPositions = {"OFF", "1", "2",
                                                                       "3",   "4", "5"};
inline constexpr const auto& kMusicInputPositions = settings::kMusicInputNames;

constexpr LayoutRect KnobRect(const MainKnob& k) {
  return RectAt(k.at, skin::SkinImageSize(SkinSlot::kKnobNormal));
}
constexpr LayoutRect KnobBoxRect(const MainKnob& k) {
  return RectAt({k.at.x + kKnobBoxOffset.x, k.at.y + kKnobBoxOffset.y},
                skin::SkinImageSize(SkinSlot::kMainBoxNormal));
}

// The settings status section: a tab for each of the two working settings, the live one lit (a
// click on a tab asks for that side), then where the live settings came from and, beneath it,
// whether they were modified since, on a small display the background prints. The window paints
// the tabs and the display's text.
inline constexpr std::array<std::string_view, 2> kSettingsSideCaptions = {"A", "B"};
inline constexpr std::array<LayoutRect, 2> kSettingsSideTabs{{
    {856, 448, 48, 26},
    {912, 448, 48, 26},
}};
inline constexpr LayoutRect kSettingsDisplayRect{846, 486, 124, 56};
inline constexpr LayoutRect kSettingsOriginRect{850, 494, 116, 16};
inline constexpr LayoutRect kSettingsModifiedRect{850, 516, 116, 16};

// The phone remote's line along the bottom edge, below the sections, shown while the remote
// serves: a lamp lit while a phone follows the settings, the caption, the address to open on the
// phone and the pairing code. The window paints all of it.
inline constexpr LayoutRect kRemoteLineRect{8, 567, 814, 26};
inline constexpr LayoutRect kRemoteLampRect{18, 576, 8, 8};
inline constexpr LayoutRect kRemoteCaptionRect{34, 567, 112, 26};
inline constexpr LayoutRect kRemoteUrlRect{150, 567, 450, 26};
inline constexpr LayoutRect kRemoteCodeCaptionRect{604, 567, 92, 26};
inline constexpr LayoutRect kRemoteCodeRect{700, 570, 114, 20};

// The side whose tab holds the point, or -1.
constexpr int SettingsSideAt(int x, int y) {
  for (int side = 0; side < static_cast<int>(kSettingsSideTabs.size()); ++side)
    if (kSettingsSideTabs[side].contains(x, y)) return side;
  return -1;
}

// What a control or fixed picture of the main window is, for checks and the generator's layout
// overlay.
enum class ControlKind {
  kCloseButton,
  kMinimizeButton,
  kPresetsButton,
  kOutputSwitch,
  kMaxVolumeBox,
  kPageButton,
  kFader,
  kFaderBox,
  kKnob,
  kKnobBox,
  kMuteButton,
  kLinkIndicator,
  kLogo,
  kSettingsSideTab,
};

// Calls visit(kind, index, rect) for every control rectangle and fixed picture of the window.
template <class Visit>
constexpr void ForEachControl(Visit&& visit) {
  visit(ControlKind::kCloseButton, 0, CloseButtonRect());
  visit(ControlKind::kMinimizeButton, 0, MinimizeButtonRect());
  visit(ControlKind::kPresetsButton, 0, PresetsButtonRect());
  for (const OutputSwitch& s : kOutputSwitches)
    visit(ControlKind::kOutputSwitch, s.bit, OutputSwitchRect(s));
  for (int i = 0; i < static_cast<int>(kMaxVolumeBoxes.size()); ++i)
    visit(ControlKind::kMaxVolumeBox, i, MaxVolumeBoxRect(kMaxVolumeBoxes[i]));
  for (int i = 0; i < static_cast<int>(kPageButtons.size()); ++i)
    visit(ControlKind::kPageButton, i, PageButtonRect(kPageButtons[i]));
  for (int i = 0; i < static_cast<int>(kFaders.size()); ++i) {
    visit(ControlKind::kFader, i, FaderRect(kFaders[i]));
    visit(ControlKind::kFaderBox, i, FaderBoxRect(kFaders[i]));
    if (kFaders[i].muteButton) visit(ControlKind::kMuteButton, i, MuteButtonRect(kFaders[i]));
  }
  for (int i = 0; i < static_cast<int>(kKnobs.size()); ++i) {
    visit(ControlKind::kKnob, i, KnobRect(kKnobs[i]));
    if (kKnobs[i].valueBox) visit(ControlKind::kKnobBox, i, KnobBoxRect(kKnobs[i]));
  }
  visit(ControlKind::kLinkIndicator, 0, kLinkIndicatorRect);
  visit(ControlKind::kLogo, 0, LogoRect());
  for (int i = 0; i < static_cast<int>(kSettingsSideTabs.size()); ++i)
    visit(ControlKind::kSettingsSideTab, i, kSettingsSideTabs[i]);
}

}  // namespace kdsp::skin::main_layout
