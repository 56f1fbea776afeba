// Painting the skin image set slot by slot and writing it out.
#include "image_set.h"

#include <QDir>
#include <QPainter>
#include <set>

#include "buttons.h"
#include "indicators.h"
#include "knobs_thumbs.h"
#include "layout_overlay.h"
#include "main_background.h"
#include "page_background.h"
#include "panel_drawing.h"
#include "panel_style.h"

namespace kdsp::skingen {
namespace {

using skin::SkinSlot;

QImage Background(SkinSlot slot, const PaintOptions& options) {
  if (slot == SkinSlot::kMainBackground) {
    QImage image = MainBackgroundPicture();
    if (options.overlay) DrawMainOverlay(image);
    return image;
  }
  const int page = static_cast<int>(slot) - static_cast<int>(SkinSlot::kPageBackground0);
  const skin::page_layout::PageLayout& layout = *skin::page_layout::kPageLayouts[page];
  QImage image = PageBackgroundPicture(layout);
  if (options.overlay) DrawPageOverlay(image, layout);
  return image;
}

QImage Control(SkinSlot slot) {
  const skin::LayoutSize size = skin::SkinImageSize(slot);
  switch (slot) {
    case SkinSlot::kPageButtonOn:
      return PageButtonPicture(false);
    case SkinSlot::kPageButtonOff:
      return PageButtonPicture(true);
    case SkinSlot::kSpeakerOn:
      return SpeakerPicture(true);
    case SkinSlot::kSpeakerOff:
      return SpeakerPicture(false);
    case SkinSlot::kThumbActive:
    case SkinSlot::kSmallThumbActive:
      return ThumbPicture(size.w, size.h, true);
    case SkinSlot::kThumbNormal:
    case SkinSlot::kSmallThumbNormal:
      return ThumbPicture(size.w, size.h, false);
    case SkinSlot::kMainBoxActive:
    case SkinSlot::kPageBoxActive:
      return ValueBoxPicture(size.w, size.h, true);
    case SkinSlot::kMainBoxNormal:
    case SkinSlot::kPageBoxNormal:
      return ValueBoxPicture(size.w, size.h, false);
    case SkinSlot::kKnobNormal:
    case SkinSlot::kKnobActive:
      return KnobPicture(size.w);
    case SkinSlot::kMinimizeButton:
      return TitleButtonPicture(TitleGlyph::kMinimize);
    case SkinSlot::kCloseButton:
    case SkinSlot::kPageCloseButton:
      return TitleButtonPicture(TitleGlyph::kClose);
    case SkinSlot::kPeakOn:
    case SkinSlot::kPeakOff:
      return StripButtonPicture(QStringLiteral("P"), StripGlyph::kPeak, slot == SkinSlot::kPeakOn,
                                colour::kLitAmber);
    case SkinSlot::kLowShelfOn:
    case SkinSlot::kLowShelfOff:
      return StripButtonPicture(QStringLiteral("LS"), StripGlyph::kLowShelf,
                                slot == SkinSlot::kLowShelfOn, colour::kLitAmber);
    case SkinSlot::kHighShelfOn:
    case SkinSlot::kHighShelfOff:
      return StripButtonPicture(QStringLiteral("HS"), StripGlyph::kHighShelf,
                                slot == SkinSlot::kHighShelfOn, colour::kLitAmber);
    case SkinSlot::kMuteOn:
      return MutePicture(true);
    case SkinSlot::kMuteOff:
      return MutePicture(false);
    // The lit PASS picture shows a band that is switched off.
    case SkinSlot::kBandPassOn:
      return StripButtonPicture(QStringLiteral("PASS"), StripGlyph::kNone, true, colour::kLitRed);
    case SkinSlot::kBandPassOff:
      return StripButtonPicture(QStringLiteral("PASS"), StripGlyph::kNone, false, colour::kLitRed);
    case SkinSlot::kLinkOn:
      return LinkPicture(size.w, LinkLamp::kOn);
    case SkinSlot::kLinkOff:
      return LinkPicture(size.w, LinkLamp::kOff);
    case SkinSlot::kLinkWithoutAccess:
      return LinkPicture(size.w, LinkLamp::kWithoutAccess);
    case SkinSlot::kLogo:
      return LogoPicture(size.w, size.h);
    case SkinSlot::kPresetsOn:
      return PresetsPicture(false);
    case SkinSlot::kPresetsOff:
      return PresetsPicture(true);
    case SkinSlot::kEqPassOn:
      return EqPassPicture(false);
    case SkinSlot::kEqPassOff:
      return EqPassPicture(true);
    default:
      return {};
  }
}

bool IsBackground(SkinSlot slot) {
  return slot == SkinSlot::kMainBackground ||
         (slot >= SkinSlot::kPageBackground0 && slot <= SkinSlot::kPageBackground7);
}

}  // namespace

QImage PaintSlot(SkinSlot slot, const PaintOptions& options) {
  return IsBackground(slot) ? Background(slot, options) : Control(slot);
}

bool WriteSkinImages(const QString& folder, const PaintOptions& options, QString& error) {
  if (!QDir().mkpath(folder)) {
    error = QStringLiteral("cannot create the folder %1").arg(folder);
    return false;
  }
  std::set<int> written;
  for (const skin::SkinImageEntry& entry : skin::kSkinImageTable) {
    // Two slots may share one picture (the knob): it is written once.
    if (!written.insert(entry.resourceId).second) continue;
    const QImage image = PaintSlot(entry.slot, options);
    if (image.width() != entry.width || image.height() != entry.height) {
      error = QStringLiteral("%1 painted at %2 x %3, listed at %4 x %5")
                  .arg(QString::fromLatin1(entry.name.data(), static_cast<int>(entry.name.size())))
                  .arg(image.width())
                  .arg(image.height())
                  .arg(entry.width)
                  .arg(entry.height);
      return false;
    }
    const QString path = QDir(folder).filePath(QStringLiteral("%1.png").arg(entry.resourceId));
    if (!image.save(path, "PNG")) {
      error = QStringLiteral("cannot write %1").arg(path);
      return false;
    }
  }
  return true;
}

QImage ContactSheet(const PaintOptions& options) {
  constexpr int kWidth = 1100;
  constexpr int kCell = 150;
  QImage sheet = PanelSurface(kWidth, 900, 1);
  QPainter p(&sheet);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  int x = 10;
  int y = 10;
  int rowHeight = 0;
  for (const skin::SkinImageEntry& entry : skin::kSkinImageTable) {
    if (IsBackground(entry.slot)) continue;
    const QImage image = PaintSlot(entry.slot, options);
    // Small pictures are shown twice their size so their detail can be judged.
    const int scale = image.width() <= 64 && image.height() <= 64 ? 2 : 1;
    QSize shown = image.size() * scale;
    if (shown.width() > kCell) shown.scale(kCell, kCell, Qt::KeepAspectRatio);
    if (x + kCell > kWidth) {
      x = 10;
      y += rowHeight + 24;
      rowHeight = 0;
    }
    p.drawImage(QRect(QPoint(x, y), shown), image);
    DrawLabel(p, QString::fromLatin1(entry.name.data(), static_cast<int>(entry.name.size())),
              QPointF(x, y + shown.height() + 4), Qt::AlignLeft | Qt::AlignTop, text::kScale);
    rowHeight = std::max(rowHeight, shown.height());
    x += kCell;
  }
  return sheet.copy(0, 0, kWidth, std::min(900, y + rowHeight + 30));
}

}  // namespace kdsp::skingen
