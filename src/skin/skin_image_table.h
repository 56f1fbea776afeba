// The skin image set as a table: every slot with its resource number and picture size. The
// loader and the skin generator take it from here; the build embeds what the generator lists.
// Plain C++, no Qt.
#pragma once

#include <array>
#include <string_view>

#include "skin/skin_geometry.h"

namespace kdsp::skin {

// The slots in the order the set is loaded: main background, page backgrounds, then the rest.
enum class SkinSlot : int {
  kMainBackground,
  kPageBackground0,  // TForm2, Mic Equalizer
  kPageBackground1,  // TForm3, Main Output
  kPageBackground2,  // TForm4, Center Output
  kPageBackground3,  // TForm5, Surround Output
  kPageBackground4,  // TForm6, Subwoofer Output
  kPageBackground5,  // TForm7, Music Equalizer
  kPageBackground6,  // TForm8, Echo Effect
  kPageBackground7,  // TForm9, Reverb Effect
  kPageButtonOn,
  kPageButtonOff,
  kSpeakerOn,
  kSpeakerOff,
  kThumbActive,
  kThumbNormal,
  kMainBoxActive,
  kMainBoxNormal,
  kPageBoxActive,
  kPageBoxNormal,
  kKnobNormal,
  kKnobActive,
  kMinimizeButton,
  kCloseButton,
  kPageCloseButton,
  kPeakOn,
  kPeakOff,
  kLowShelfOn,
  kLowShelfOff,
  kHighShelfOn,
  kHighShelfOff,
  kSmallThumbActive,
  kSmallThumbNormal,
  kMuteOn,
  kMuteOff,
  kBandPassOn,
  kBandPassOff,
  kLinkOn,
  kLinkOff,
  kLinkWithoutAccess,  // a processor is present that this user may not open
  kLogo,
  kPresetsOn,
  kPresetsOff,
  kEqPassOn,
  kEqPassOff,
};

inline constexpr int kSkinSlotCount = static_cast<int>(SkinSlot::kEqPassOff) + 1;
inline constexpr int kPageBackgroundCount = 8;

struct SkinImageEntry {
  SkinSlot slot;
  std::string_view name;  // the member of SkinImages that holds it
  int resourceId;         // the picture is embedded as ":/skin/<resourceId>.png"
  int width;
  int height;
};

inline constexpr std::array<SkinImageEntry, kSkinSlotCount> kSkinImageTable{{
    {SkinSlot::kMainBackground, "mainBackground", 2114, 999, 600},
    {SkinSlot::kPageBackground0, "pageBackground[0]", 2218, 999, 600},
    {SkinSlot::kPageBackground1, "pageBackground[1]", 2106, 999, 600},
    {SkinSlot::kPageBackground2, "pageBackground[2]", 2107, 999, 600},
    {SkinSlot::kPageBackground3, "pageBackground[3]", 2108, 999, 600},
    {SkinSlot::kPageBackground4, "pageBackground[4]", 2109, 1055, 600},
    {SkinSlot::kPageBackground5, "pageBackground[5]", 8110, 999, 600},
    {SkinSlot::kPageBackground6, "pageBackground[6]", 302, 999, 600},
    {SkinSlot::kPageBackground7, "pageBackground[7]", 2112, 999, 600},
    {SkinSlot::kPageButtonOn, "pageButtonOn", 203, 42, 41},
    {SkinSlot::kPageButtonOff, "pageButtonOff", 204, 42, 41},
    {SkinSlot::kSpeakerOn, "speakerOn", 213, 43, 42},
    {SkinSlot::kSpeakerOff, "speakerOff", 214, 43, 42},
    {SkinSlot::kThumbActive, "thumbActive", 201, 20, 40},
    {SkinSlot::kThumbNormal, "thumbNormal", 202, 20, 40},
    {SkinSlot::kMainBoxActive, "mainBoxActive", 164, 32, 18},
    {SkinSlot::kMainBoxNormal, "mainBoxNormal", 165, 32, 18},
    {SkinSlot::kPageBoxActive, "pageBoxActive", 179, 38, 20},
    {SkinSlot::kPageBoxNormal, "pageBoxNormal", 192, 38, 20},
    {SkinSlot::kKnobNormal, "knobNormal", 205, 32, 32},
    {SkinSlot::kKnobActive, "knobActive", 205, 32, 32},
    {SkinSlot::kMinimizeButton, "minimizeButton", 162, 25, 23},
    {SkinSlot::kCloseButton, "closeButton", 163, 25, 23},
    {SkinSlot::kPageCloseButton, "pageCloseButton", 193, 25, 23},
    {SkinSlot::kPeakOn, "peakOn", 188, 39, 20},
    {SkinSlot::kPeakOff, "peakOff", 189, 39, 20},
    {SkinSlot::kLowShelfOn, "lowShelfOn", 186, 39, 20},
    {SkinSlot::kLowShelfOff, "lowShelfOff", 187, 39, 20},
    {SkinSlot::kHighShelfOn, "highShelfOn", 184, 39, 20},
    {SkinSlot::kHighShelfOff, "highShelfOff", 185, 39, 20},
    {SkinSlot::kSmallThumbActive, "smallThumbActive", 191, 10, 20},
    {SkinSlot::kSmallThumbNormal, "smallThumbNormal", 190, 10, 20},
    {SkinSlot::kMuteOn, "muteOn", 209, 31, 30},
    {SkinSlot::kMuteOff, "muteOff", 210, 31, 30},
    {SkinSlot::kBandPassOn, "bandPassOn", 215, 39, 20},
    {SkinSlot::kBandPassOff, "bandPassOff", 216, 39, 20},
    {SkinSlot::kLinkOn, "linkOn", 206, 256, 256},
    {SkinSlot::kLinkOff, "linkOff", 207, 256, 256},
    {SkinSlot::kLinkWithoutAccess, "linkWithoutAccess", 208, 256, 256},
    {SkinSlot::kLogo, "logo", 105, 137, 44},
    {SkinSlot::kPresetsOn, "presetsOn", 211, 58, 59},
    {SkinSlot::kPresetsOff, "presetsOff", 212, 58, 59},
    {SkinSlot::kEqPassOn, "eqPassOn", 180, 78, 35},
    {SkinSlot::kEqPassOff, "eqPassOff", 181, 78, 35},
}};

constexpr bool SkinTableInSlotOrder() {
  for (int i = 0; i < kSkinSlotCount; ++i)
    if (static_cast<int>(kSkinImageTable[i].slot) != i) return false;
  return true;
}
static_assert(SkinTableInSlotOrder(), "the skin table is indexed by slot");

constexpr const SkinImageEntry& SkinImageEntryOf(SkinSlot slot) {
  return kSkinImageTable[static_cast<int>(slot)];
}

constexpr LayoutSize SkinImageSize(SkinSlot slot) {
  return {SkinImageEntryOf(slot).width, SkinImageEntryOf(slot).height};
}

// The background slot of page i, pages in window-class order TForm2..TForm9.
constexpr SkinSlot PageBackgroundSlot(int page) {
  return static_cast<SkinSlot>(static_cast<int>(SkinSlot::kPageBackground0) + page);
}

}  // namespace kdsp::skin
