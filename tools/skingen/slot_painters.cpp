// SPDX-License-Identifier: GPL-3.0-or-later
// Which painter makes the picture of each skin slot: one row per slot, in the skin table's order,
// checked when this file compiles.
#include "slot_painters.h"

#include <array>

#include "buttons.h"
#include "indicators.h"
#include "knobs_thumbs.h"
#include "layout_overlay.h"
#include "main_background.h"
#include "page_background.h"
#include "panel_style.h"

namespace kdsp::skingen {
namespace {

using skin::SkinSlot;

// What a painter is told: the slot, the size the table lists for it and the options.
struct PaintRequest {
  SkinSlot slot;
  skin::LayoutSize size;
  const PaintOptions& options;
};

struct SlotPainter {
  SkinSlot slot;
  QImage (*paint)(const PaintRequest&);
};

QImage MainBackground(const PaintRequest& request) {
  QImage image = MainBackgroundPicture(request.options.scale);
  if (request.options.overlay) DrawMainOverlay(image);
  return image;
}

// Every page background comes from its page's layout; the slots follow the pages' order.
QImage PageBackground(const PaintRequest& request) {
  const int page = static_cast<int>(request.slot) - static_cast<int>(SkinSlot::kPageBackground0);
  const skin::page_layout::PageLayout& layout = *skin::page_layout::kPageLayouts[page];
  QImage image = PageBackgroundPicture(layout, request.options.scale);
  if (request.options.overlay) DrawPageOverlay(image, layout);
  return image;
}

QImage ActiveThumb(const PaintRequest& r) {
  return ThumbPicture(r.size.w, r.size.h, true, r.options.scale);
}
QImage NormalThumb(const PaintRequest& r) {
  return ThumbPicture(r.size.w, r.size.h, false, r.options.scale);
}
QImage ActiveValueBox(const PaintRequest& r) {
  return ValueBoxPicture(r.size.w, r.size.h, true, r.options.scale);
}
QImage NormalValueBox(const PaintRequest& r) {
  return ValueBoxPicture(r.size.w, r.size.h, false, r.options.scale);
}
// The knob turns as one picture; it looks the same whether or not it has the focus.
QImage Knob(const PaintRequest& r) {
  return KnobPicture(r.size.w, r.options.scale);
}
QImage CloseButton(const PaintRequest& r) {
  return TitleButtonPicture(TitleGlyph::kClose, r.options.scale);
}

// The pressed ("Off") pictures of the push buttons are the ones drawn pressed in.
constexpr std::array<SlotPainter, skin::kSkinSlotCount> kSlotPainters{{
    {SkinSlot::kMainBackground, MainBackground},
    {SkinSlot::kPageBackground0, PageBackground},
    {SkinSlot::kPageBackground1, PageBackground},
    {SkinSlot::kPageBackground2, PageBackground},
    {SkinSlot::kPageBackground3, PageBackground},
    {SkinSlot::kPageBackground4, PageBackground},
    {SkinSlot::kPageBackground5, PageBackground},
    {SkinSlot::kPageBackground6, PageBackground},
    {SkinSlot::kPageBackground7, PageBackground},
    {SkinSlot::kPageButtonOn,
     [](const PaintRequest& r) { return PageButtonPicture(false, r.options.scale); }},
    {SkinSlot::kPageButtonOff,
     [](const PaintRequest& r) { return PageButtonPicture(true, r.options.scale); }},
    {SkinSlot::kSpeakerOn,
     [](const PaintRequest& r) { return SpeakerPicture(true, r.options.scale); }},
    {SkinSlot::kSpeakerOff,
     [](const PaintRequest& r) { return SpeakerPicture(false, r.options.scale); }},
    {SkinSlot::kThumbActive, ActiveThumb},
    {SkinSlot::kThumbNormal, NormalThumb},
    {SkinSlot::kMainBoxActive, ActiveValueBox},
    {SkinSlot::kMainBoxNormal, NormalValueBox},
    {SkinSlot::kPageBoxActive, ActiveValueBox},
    {SkinSlot::kPageBoxNormal, NormalValueBox},
    {SkinSlot::kKnobNormal, Knob},
    {SkinSlot::kKnobActive, Knob},
    {SkinSlot::kMinimizeButton,
     [](const PaintRequest& r) {
       return TitleButtonPicture(TitleGlyph::kMinimize, r.options.scale);
     }},
    {SkinSlot::kCloseButton, CloseButton},
    {SkinSlot::kPageCloseButton, CloseButton},
    {SkinSlot::kPeakOn,
     [](const PaintRequest& r) {
       return StripButtonPicture(QStringLiteral("P"), StripGlyph::kPeak, true, colour::kLitAmber,
                                 r.options.scale);
     }},
    {SkinSlot::kPeakOff,
     [](const PaintRequest& r) {
       return StripButtonPicture(QStringLiteral("P"), StripGlyph::kPeak, false, colour::kLitAmber,
                                 r.options.scale);
     }},
    {SkinSlot::kLowShelfOn,
     [](const PaintRequest& r) {
       return StripButtonPicture(QStringLiteral("LS"), StripGlyph::kLowShelf, true,
                                 colour::kLitAmber, r.options.scale);
     }},
    {SkinSlot::kLowShelfOff,
     [](const PaintRequest& r) {
       return StripButtonPicture(QStringLiteral("LS"), StripGlyph::kLowShelf, false,
                                 colour::kLitAmber, r.options.scale);
     }},
    {SkinSlot::kHighShelfOn,
     [](const PaintRequest& r) {
       return StripButtonPicture(QStringLiteral("HS"), StripGlyph::kHighShelf, true,
                                 colour::kLitAmber, r.options.scale);
     }},
    {SkinSlot::kHighShelfOff,
     [](const PaintRequest& r) {
       return StripButtonPicture(QStringLiteral("HS"), StripGlyph::kHighShelf, false,
                                 colour::kLitAmber, r.options.scale);
     }},
    {SkinSlot::kSmallThumbActive, ActiveThumb},
    {SkinSlot::kSmallThumbNormal, NormalThumb},
    {SkinSlot::kMuteOn, [](const PaintRequest& r) { return MutePicture(true, r.options.scale); }},
    {SkinSlot::kMuteOff, [](const PaintRequest& r) { return MutePicture(false, r.options.scale); }},
    // The lit PASS picture shows a band that is switched off.
    {SkinSlot::kBandPassOn,
     [](const PaintRequest& r) {
       return StripButtonPicture(QStringLiteral("PASS"), StripGlyph::kNone, true, colour::kLitRed,
                                 r.options.scale);
     }},
    {SkinSlot::kBandPassOff,
     [](const PaintRequest& r) {
       return StripButtonPicture(QStringLiteral("PASS"), StripGlyph::kNone, false, colour::kLitRed,
                                 r.options.scale);
     }},
    {SkinSlot::kLinkOn,
     [](const PaintRequest& r) { return LinkPicture(r.size.w, LinkLamp::kOn, r.options.scale); }},
    {SkinSlot::kLinkOff,
     [](const PaintRequest& r) { return LinkPicture(r.size.w, LinkLamp::kOff, r.options.scale); }},
    {SkinSlot::kLinkWithoutAccess,
     [](const PaintRequest& r) {
       return LinkPicture(r.size.w, LinkLamp::kWithoutAccess, r.options.scale);
     }},
    {SkinSlot::kLogo,
     [](const PaintRequest& r) { return LogoPicture(r.size.w, r.size.h, r.options.scale); }},
    {SkinSlot::kPresetsOn,
     [](const PaintRequest& r) { return PresetsPicture(false, r.options.scale); }},
    {SkinSlot::kPresetsOff,
     [](const PaintRequest& r) { return PresetsPicture(true, r.options.scale); }},
    {SkinSlot::kEqPassOn,
     [](const PaintRequest& r) { return EqPassPicture(false, r.options.scale); }},
    {SkinSlot::kEqPassOff,
     [](const PaintRequest& r) { return EqPassPicture(true, r.options.scale); }},
}};

// A row left out leaves a hole that is not in slot order; a row too many does not compile.
constexpr bool EverySlotHasItsPainter() {
  for (int i = 0; i < skin::kSkinSlotCount; ++i)
    if (static_cast<int>(kSlotPainters[i].slot) != i || kSlotPainters[i].paint == nullptr)
      return false;
  return true;
}
static_assert(EverySlotHasItsPainter(), "one painter per skin slot, in the skin table's order");

}  // namespace

QImage PaintSlot(SkinSlot slot, const PaintOptions& options) {
  return kSlotPainters[static_cast<int>(slot)].paint({slot, skin::SkinImageSize(slot), options});
}

}  // namespace kdsp::skingen
