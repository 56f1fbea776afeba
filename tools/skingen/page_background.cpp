// SPDX-License-Identifier: GPL-3.0-or-later
// Painting a page background from its page table.
#include "page_background.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <string>
#include <vector>

#include "page_print_layout.h"
#include "panel_drawing.h"
#include "panel_style.h"
#include "picture_scale.h"
#include "skin/skin_fonts.h"

namespace kdsp::skingen {
namespace {

using namespace kdsp::skin::page_layout;
using skin::SkinSlot;

// ---- Painting ----

void DrawTitle(QPainter& p, const PageLayout& page) {
  const QString title = ToQString(settings::Page(page.id).title).toUpper();
  const QRect area = ToQRect(page.titleArea);
  TextStyle style = text::kPageTitle;
  while (style.pixels > 10 &&
         MeasureLabel(title, {}, Qt::AlignLeft, style).width() > area.width() - 10)
    --style.pixels;
  p.fillRect(QRectF(area.x(), area.center().y() - 6, 3, 13), colour::kSilkAccent);
  DrawLabel(p, title, QPointF(area.x() + 9, area.center().y() + 1),
            Qt::AlignLeft | Qt::AlignVCenter, style);
}

void DrawButtonBank(QPainter& p, const PageLayout& page) {
  const QRectF bank = ButtonBank(page);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(colour::kEngraveDark, Hairline(p)));
  p.setBrush(QColor(0, 0, 0, 70));
  p.drawRoundedRect(bank, 5, 5);
  p.setPen(QPen(colour::kEngraveLight, Hairline(p)));
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(bank.left() + 5, bank.bottom() + 1),
             QPointF(bank.right() - 5, bank.bottom() + 1));
  p.restore();

  // Row captions left of the bank, where the page leaves room for them.
  std::vector<QRectF> taken;
  for (const PolaritySwitch& s : page.polarity)
    taken.push_back(QRectF(ToQRect(PolaritySwitchRect(s))).adjusted(-3, -14, 3, 3));
  const QString rows[4] = {ToQString(kPassCaption), ToQString(kTypeCaptions[0]),
                           ToQString(kTypeCaptions[1]), ToQString(kTypeCaptions[2])};
  for (int row = 0; row < 4; ++row) {
    const QRect button =
        ToQRect(row == 0 ? EqPassButtonRect(page, 0) : EqTypeButtonRect(page, 0, row - 1));
    const QPointF at(bank.left() - 5, button.center().y() + 1);
    const QRectF box =
        MeasureLabel(rows[row], at, Qt::AlignRight | Qt::AlignVCenter, text::kSmallCaption);
    const bool clear =
        box.left() > 2 && std::none_of(taken.begin(), taken.end(),
                                       [&](const QRectF& t) { return t.intersects(box); });
    if (clear) DrawLabel(p, rows[row], at, Qt::AlignRight | Qt::AlignVCenter, text::kSmallCaption);
  }
}

void DrawGapLines(QPainter& p, const FaderGeometry& left, const FaderGeometry& right,
                  const std::vector<ScaleMark>& marks) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  const double x0 = left.rect.right() + 10;
  const double x1 = right.rect.x() - 8;
  for (const ScaleMark& m : marks) {
    if (!m.major || x1 <= x0) continue;
    const double y = HairlineCentre(p, std::floor(MarkY(left, m.value)));
    p.setPen(
        QPen(m.value == 0 ? QColor(255, 255, 255, 70) : QColor(255, 255, 255, 26), Hairline(p)));
    p.drawLine(QPointF(x0, y), QPointF(x1, y));
  }
  p.restore();
}

void DrawStrips(QPainter& p, const PageLayout& page) {
  const int count = static_cast<int>(page.eqX.size());
  const std::vector<ScaleMark> marks = EqGainMarks();
  for (int i = 0; i < count; ++i) {
    const FaderGeometry g = EqGeometry(page, i);
    DrawSlot(p, g);
    DrawTicks(p, g, marks, {.left = i == 0, .right = i == count - 1});
    if (i + 1 < count) DrawGapLines(p, g, EqGeometry(page, i + 1), marks);
  }
  DrawScaleLabels(p, EqGeometry(page, 0), marks, Side::kLeft);
  DrawScaleLabels(p, EqGeometry(page, count - 1), marks, Side::kRight);
  const std::pair<QString, QRect> rows[3] = {
      {ToQString(kGainCaption), ToQRect(EqGainBoxRect(page, 0))},
      {ToQString(kFreqCaption), ToQRect(EqFreqBoxRect(page, 0))},
      {ToQString(kQCaption), ToQRect(EqQBoxRect(page, 0))}};
  for (const auto& [caption, box] : rows)
    DrawLabel(p, caption, QPointF(box.x() - 5, box.center().y() + 1),
              Qt::AlignRight | Qt::AlignVCenter, text::kSmallCaption);
}

void DrawFaders(QPainter& p, const PageLayout& page) {
  for (int i = 0; i < static_cast<int>(page.faders.size()); ++i) {
    const PageFader& f = page.faders[i];
    const FaderGeometry g = Geometry(page, f);
    const std::vector<ScaleMark> marks = FaderMarks(f);
    const Side side = LabelSide(page, i);
    DrawSlot(p, g);
    DrawTicks(p, g, marks, {.left = side == Side::kLeft, .right = side == Side::kRight});
    DrawScaleLabels(p, g, marks, side);
    const QStringList lines = CaptionLines(page, i);
    for (int line = 0; line < lines.size(); ++line)
      DrawLabel(p, lines[line], CaptionAnchor(page, f, line), Qt::AlignHCenter | Qt::AlignVCenter,
                text::kSmallCaption);
  }
}

void DrawKnobs(QPainter& p, const PageLayout& page) {
  for (const PageKnob& k : page.knobs) {
    DrawKnobScale(p, ToQRect(KnobRect(k)), k.min, k.max, KnobMarks(k), text::kScaleBold);
    DrawLabel(p, KnobCaption(k), KnobCaptionAnchor(k), Qt::AlignRight | Qt::AlignVCenter,
              text::kSmallCaption);
  }
}

// The Mic Equalizer: captions of the polarity switches and the plate under the mode caption,
// which the page draws in black.
void DrawMicCaptions(QPainter& p, const PageLayout& page) {
  for (const PolaritySwitch& s : page.polarity) {
    const QRect r = ToQRect(PolaritySwitchRect(s));
    DrawLabel(p, ToQString(s.caption), QPointF(r.center().x() + 0.5, r.y() - 7.0),
              Qt::AlignHCenter | Qt::AlignVCenter, text::kScaleBold);
  }
  if (page.id != PageId::kMicEqualizer) return;
  const QFontMetricsF metrics(FontOf({skin::kValueFontPixels, true, Qt::black, 0}));
  double width = 0;
  for (std::string_view caption : kMicEqModeCaptions)
    width = std::max(width, metrics.horizontalAdvance(ToQString(caption)));
  DrawLabelPlate(p, QRectF(kMicEqModeCaptionAt.x - 5, kMicEqModeCaptionAt.y - 2, width + 10,
                           metrics.height() + 3));
}

}  // namespace

QImage PageBackgroundPicture(const PageLayout& page, int scale) {
  const skin::LayoutSize size = PageSize(page);
  QImage image = PanelSurface(size.w, size.h, 7000 + static_cast<int>(page.id), scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);

  for (const SectionFrame& frame : PageFrames(page)) DrawSectionFrame(p, frame.rect, frame.title);
  DrawScreen(p, QRectF(ToQRect(page.chart)).intersected(QRectF(0, 0, size.w, size.h)));

  DrawTitle(p, page);
  DrawButtonBank(p, page);
  DrawStrips(p, page);
  DrawFaders(p, page);
  DrawKnobs(p, page);
  DrawMicCaptions(p, page);
  return image;
}

}  // namespace kdsp::skingen
