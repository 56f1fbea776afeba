// SPDX-License-Identifier: GPL-3.0-or-later
// The skin image set as a table: every slot with its resource number and picture size. The slot
// enum, the table the loader and the skin generator walk, and the sizes the layouts measure with
// are all made from the one list below. Plain C++, no Qt.
#pragma once

#include <array>
#include <string_view>

#include "skin/skin_geometry.h"

namespace kdsp::skin {

// One picture a row: X(slot, resource number, width, height). The picture is embedded as
// ":/skin/<resource number>.png"; two slots may share a number and then show one picture. Rows
// are in the order the set is loaded: main background, page backgrounds, then the rest. A new
// picture is a row here and its painter in the skin generator.
#define KDSP_SKIN_IMAGES(X)                                                     \
  X(kMainBackground, 2114, 999, 600)                                            \
  X(kPageBackground0, 2218, 999, 600)  /* TForm2, Mic Equalizer */              \
  X(kPageBackground1, 2106, 999, 600)  /* TForm3, Main Output */                \
  X(kPageBackground2, 2107, 999, 600)  /* TForm4, Center Output */              \
  X(kPageBackground3, 2108, 999, 600)  /* TForm5, Surround Output */            \
  X(kPageBackground4, 2109, 1055, 600) /* TForm6, Subwoofer Output */           \
  X(kPageBackground5, 8110, 999, 600)  /* TForm7, Music Equalizer */            \
  X(kPageBackground6, 302, 999, 600)   /* TForm8, Echo Effect */                \
  X(kPageBackground7, 2112, 999, 600)  /* TForm9, Reverb Effect */              \
  X(kPageButtonOn, 203, 42, 41)                                                 \
  X(kPageButtonOff, 204, 42, 41)                                                \
  X(kSpeakerOn, 213, 43, 42)                                                    \
  X(kSpeakerOff, 214, 43, 42)                                                   \
  X(kThumbActive, 201, 20, 40)                                                  \
  X(kThumbNormal, 202, 20, 40)                                                  \
  X(kMainBoxActive, 164, 32, 18)                                                \
  X(kMainBoxNormal, 165, 32, 18)                                                \
  X(kPageBoxActive, 179, 38, 20)                                                \
  X(kPageBoxNormal, 192, 38, 20)                                                \
  X(kKnobNormal, 205, 32, 32)                                                   \
  X(kKnobActive, 205, 32, 32)                                                   \
  X(kMinimizeButton, 162, 25, 23)                                               \
  X(kCloseButton, 163, 25, 23)                                                  \
  X(kPageCloseButton, 193, 25, 23)                                              \
  X(kPeakOn, 188, 39, 20)                                                       \
  X(kPeakOff, 189, 39, 20)                                                      \
  X(kLowShelfOn, 186, 39, 20)                                                   \
  X(kLowShelfOff, 187, 39, 20)                                                  \
  X(kHighShelfOn, 184, 39, 20)                                                  \
  X(kHighShelfOff, 185, 39, 20)                                                 \
  X(kSmallThumbActive, 191, 10, 20)                                             \
  X(kSmallThumbNormal, 190, 10, 20)                                             \
  X(kMuteOn, 209, 31, 30)                                                       \
  X(kMuteOff, 210, 31, 30)                                                      \
  X(kBandPassOn, 215, 39, 20)                                                   \
  X(kBandPassOff, 216, 39, 20)                                                  \
  X(kLinkOn, 206, 256, 256)                                                     \
  X(kLinkOff, 207, 256, 256)                                                    \
  X(kLinkWithoutAccess, 208, 256, 256) /* a processor this user may not open */ \
  X(kLogo, 105, 137, 44)                                                        \
  X(kPresetsOn, 211, 58, 59)                                                    \
  X(kPresetsOff, 212, 58, 59)                                                   \
  X(kEqPassOn, 180, 78, 35)                                                     \
  X(kEqPassOff, 181, 78, 35)

enum class SkinSlot : int {
#define KDSP_SKIN_SLOT(slot, resourceId, width, height) slot,
  KDSP_SKIN_IMAGES(KDSP_SKIN_SLOT)
#undef KDSP_SKIN_SLOT
};

struct SkinImageEntry {
  SkinSlot slot;
  std::string_view name;  // the slot's name, for messages and captions
  int resourceId;         // the picture is embedded as ":/skin/<resourceId>.png"
  int width;
  int height;
};

inline constexpr auto kSkinImageTable = std::to_array<SkinImageEntry>({
#define KDSP_SKIN_ENTRY(slot, resourceId, width, height) \
  {SkinSlot::slot, #slot, resourceId, width, height},
    KDSP_SKIN_IMAGES(KDSP_SKIN_ENTRY)
#undef KDSP_SKIN_ENTRY
});

inline constexpr int kSkinSlotCount = static_cast<int>(kSkinImageTable.size());
inline constexpr int kPageBackgroundCount =
    static_cast<int>(SkinSlot::kPageBackground7) - static_cast<int>(SkinSlot::kPageBackground0) + 1;

constexpr bool SkinTableInSlotOrder() {
  for (int i = 0; i < kSkinSlotCount; ++i)
    if (static_cast<int>(kSkinImageTable[i].slot) != i) return false;
  return true;
}
static_assert(SkinTableInSlotOrder(), "the skin table is indexed by slot");

// The generator paints a shared resource once, from the first of its slots, and every slot of it
// shows that one picture: its slots must list one size.
constexpr bool SharedPicturesListOneSize() {
  for (const SkinImageEntry& a : kSkinImageTable)
    for (const SkinImageEntry& b : kSkinImageTable)
      if (a.resourceId == b.resourceId && (a.width != b.width || a.height != b.height))
        return false;
  return true;
}
static_assert(SharedPicturesListOneSize(), "slots that share a resource number share its size");

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
