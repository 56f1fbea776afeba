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
  QImage image = MainBackgroundPicture();
  if (request.options.overlay) DrawMainOverlay(image);
  return image;
}

// Every page background comes from its page's layout; the slots follow the pages' order.
QImage PageBackground(const PaintRequest& request) {
  const int page = static_cast<int>(request.slot) - static_cast<int>(SkinSlot::kPageBackground0);
  const skin::page_layout::PageLayout& layout = *skin::page_layout::kPageLayouts[page];
  QImage image = PageBackgroundPicture(layout);
  if (request.options.overlay) DrawPageOverlay(image, layout);
  return image;
}

QImage ActiveThumb(const PaintRequest& r) {
  return ThumbPicture(r.size.w, r.size.h, true);
}
QImage NormalThumb(const PaintRequest& r) {
  return ThumbPicture(r.size.w, r.size.h, false);
}
QImage ActiveValueBox(const PaintRequest& r) {
  return ValueBoxPicture(r.size.w, r.size.h, true);
}
QImage NormalValueBox(const PaintRequest& r) {
  return ValueBoxPicture(r.size.w, r.size.h, false);
}
// The knob turns as one picture; it looks the same whether or not it has the focus.
QImage Knob(const PaintRequest& r) {
  return KnobPicture(r.size.w);
}
QImage CloseButton(const PaintRequest&) {
  return TitleButtonPicture(TitleGlyph::kClose);
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
    {SkinSlot::kPageButtonOn, [](const PaintRequest&) { return PageButtonPicture(false); }},
    {SkinSlot::kPageButtonOff, [](const PaintRequest&) { return PageButtonPicture(true); }},
    {SkinSlot::kSpeakerOn, [](const PaintRequest&) { return SpeakerPicture(true); }},
    {SkinSlot::kSpeakerOff, [](const PaintRequest&) { return SpeakerPicture(false); }},
    {SkinSlot::kThumbActive, ActiveThumb},
    {SkinSlot::kThumbNormal, NormalThumb},
    {SkinSlot::kMainBoxActive, ActiveValueBox},
    {SkinSlot::kMainBoxNormal, NormalValueBox},
    {SkinSlot::kPageBoxActive, ActiveValueBox},
    {SkinSlot::kPageBoxNormal, NormalValueBox},
    {SkinSlot::kKnobNormal, Knob},
    {SkinSlot::kKnobActive, Knob},
    {SkinSlot::kMinimizeButton,
     [](const PaintRequest&) { return TitleButtonPicture(TitleGlyph::kMinimize); }},
    {SkinSlot::kCloseButton, CloseButton},
    {SkinSlot::kPageCloseButton, CloseButton},
    {SkinSlot::kPeakOn,
     [](const PaintRequest&) {
       return StripButtonPicture(QStringLiteral("P"), StripGlyph::kPeak, true, colour::kLitAmber);
     }},
    {SkinSlot::kPeakOff,
     [](const PaintRequest&) {
       return StripButtonPicture(QStringLiteral("P"), StripGlyph::kPeak, false, colour::kLitAmber);
     }},
    {SkinSlot::kLowShelfOn,
     [](const PaintRequest&) {
       return StripButtonPicture(QStringLiteral("LS"), StripGlyph::kLowShelf, true,
                                 colour::kLitAmber);
     }},
    {SkinSlot::kLowShelfOff,
     [](const PaintRequest&) {
       return StripButtonPicture(QStringLiteral("LS"), StripGlyph::kLowShelf, false,
                                 colour::kLitAmber);
     }},
    {SkinSlot::kHighShelfOn,
     [](const PaintRequest&) {
       return StripButtonPicture(QStringLiteral("HS"), StripGlyph::kHighShelf, true,
                                 colour::kLitAmber);
     }},
    {SkinSlot::kHighShelfOff,
     [](const PaintRequest&) {
       return StripButtonPicture(QStringLiteral("HS"), StripGlyph::kHighShelf, false,
                                 colour::kLitAmber);
     }},
    {SkinSlot::kSmallThumbActive, ActiveThumb},
    {SkinSlot::kSmallThumbNormal, NormalThumb},
    {SkinSlot::kMuteOn, [](const PaintRequest&) { return MutePicture(true); }},
    {SkinSlot::kMuteOff, [](const PaintRequest&) { return MutePicture(false); }},
    // The lit PASS picture shows a band that is switched off.
    {SkinSlot::kBandPassOn,
     [](const PaintRequest&) {
       return StripButtonPicture(QStringLiteral("PASS"), StripGlyph::kNone, true, colour::kLitRed);
     }},
    {SkinSlot::kBandPassOff,
     [](const PaintRequest&) {
       return StripButtonPicture(QStringLiteral("PASS"), StripGlyph::kNone, false, colour::kLitRed);
     }},
    {SkinSlot::kLinkOn, [](const PaintRequest& r) { return LinkPicture(r.size.w, LinkLamp::kOn); }},
    {SkinSlot::kLinkOff,
     [](const PaintRequest& r) { return LinkPicture(r.size.w, LinkLamp::kOff); }},
    {SkinSlot::kLinkWithoutAccess,
     [](const PaintRequest& r) { return LinkPicture(r.size.w, LinkLamp::kWithoutAccess); }},
    {SkinSlot::kLogo, [](const PaintRequest& r) { return LogoPicture(r.size.w, r.size.h); }},
    {SkinSlot::kPresetsOn, [](const PaintRequest&) { return PresetsPicture(false); }},
    {SkinSlot::kPresetsOff, [](const PaintRequest&) { return PresetsPicture(true); }},
    {SkinSlot::kEqPassOn, [](const PaintRequest&) { return EqPassPicture(false); }},
    {SkinSlot::kEqPassOff, [](const PaintRequest&) { return EqPassPicture(true); }},
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
