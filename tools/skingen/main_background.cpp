// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the main window's background from its control table.
#include "main_background.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <vector>

#include "panel_drawing.h"
#include "panel_style.h"
#include "skin/main_window_layout.h"
#include "skin/skin_fonts.h"

namespace kdsp::skingen {
namespace {

using namespace kdsp::skin::main_layout;
using skin::SkinSlot;

QPointF CentreTop(const QRect& r) {
  return {r.x() + r.width() / 2.0, static_cast<double>(r.y())};
}

constexpr int kThumbHeight = skin::SkinImageSize(SkinSlot::kThumbNormal).h;

FaderGeometry Geometry(const MainFader& f) {
  return {ToQRect(FaderRect(f)), kThumbHeight, f.min, f.max};
}

std::vector<ScaleMark> FaderMarks(const MainFader& f) {
  return NumberScale(f.min, f.max, 5, 10);
}

bool SameScale(const MainFader& a, const MainFader& b) {
  return a.section == b.section && a.min == b.min && a.max == b.max;
}

void DrawFaders(QPainter& p) {
  const int count = static_cast<int>(kFaders.size());
  for (int i = 0; i < count; ++i) {
    const MainFader& f = kFaders[i];
    const FaderGeometry g = Geometry(f);
    const bool pairedLeft = i > 0 && SameScale(kFaders[i - 1], f);
    const bool pairedRight = i + 1 < count && SameScale(f, kFaders[i + 1]);
    const bool alone = !pairedLeft && !pairedRight;
    DrawSlot(p, g);
    DrawTicks(p, g, FaderMarks(f), {.left = pairedLeft, .right = pairedRight || alone});
    if (pairedRight) DrawGapScale(p, g, Geometry(kFaders[i + 1]), FaderMarks(f));
    // A fader alone on its scale prints its numbers beside it.
    if (alone) DrawScaleLabels(p, g, FaderMarks(f), Side::kRight);
    DrawLabel(p, ToQString(f.source), CentreTop(g.rect) + QPointF(0, g.rect.height() + 7),
              Qt::AlignHCenter | Qt::AlignTop, text::kSmallCaption);
  }
}

std::vector<ScaleMark> KnobMarks(const MainKnob& k) {
  switch (k.scale) {
    case KnobScale::kDelay: {
      std::vector<ScaleMark> marks;
      for (int v = k.min; v <= k.max; v += k.max / 10) {
        const bool label = v == k.min || v == k.max || v == k.max / 2;
        marks.push_back({v, label ? QString::number(v / 100) : QString(), label});
      }
      return marks;
    }
    case KnobScale::kFeedback: {
      std::vector<QString> labels;
      for (std::string_view s : kFeedbackPositions) labels.push_back(ToQString(s));
      return PositionScale(labels);
    }
    case KnobScale::kMusicInput: {
      std::vector<QString> labels;
      for (std::string_view s : kMusicInputPositions) labels.push_back(ToQString(s));
      return PositionScale(labels);
    }
  }
  return {};
}

void DrawKnobs(QPainter& p) {
  for (const MainKnob& k : kKnobs) {
    const QRect knob = ToQRect(KnobRect(k));
    DrawKnobScale(p, knob, k.min, k.max, KnobMarks(k), text::kScaleBold);
    DrawLabel(p, ToQString(k.caption), CentreTop(knob) + QPointF(0, -25),
              Qt::AlignHCenter | Qt::AlignVCenter, text::kSmallCaption);
    if (k.valueBox) {
      const QRect box = ToQRect(KnobBoxRect(k));
      DrawLabel(p, QStringLiteral("ms"), QPointF(box.right() + 4, box.center().y() + 1),
                Qt::AlignLeft | Qt::AlignVCenter, text::kScale);
    }
  }
}

void DrawOutputSwitchCaptions(QPainter& p) {
  for (const OutputSwitch& s : kOutputSwitches) {
    const QRect r = ToQRect(OutputSwitchRect(s));
    DrawLabel(p, ToQString(s.caption), CentreTop(r) + QPointF(0, -7),
              Qt::AlignHCenter | Qt::AlignVCenter, text::kSmallCaption);
  }
}

// Output sections print the caption beside their page button, the Control section under it.
void DrawPageButtonCaptions(QPainter& p) {
  for (const PageButton& b : kPageButtons) {
    const QRect r = ToQRect(PageButtonRect(b));
    const QStringList lines = ToQString(b.caption).split(QLatin1Char(' '));
    const bool beside = b.section != MainSection::kControl;
    for (int i = 0; i < lines.size(); ++i) {
      if (beside) {
        const double y = r.center().y() + (i - (lines.size() - 1) / 2.0) * 10;
        DrawLabel(p, lines[i], QPointF(r.right() - 1, y), Qt::AlignLeft | Qt::AlignVCenter,
                  text::kSmallCaption);
      } else {
        DrawLabel(p, lines[i], CentreTop(r) + QPointF(0, r.height() + 4 + 9 * i),
                  Qt::AlignHCenter | Qt::AlignVCenter, text::kScaleBold);
      }
    }
  }
}

void DrawFixedCaptions(QPainter& p) {
  DrawLabel(p, QStringLiteral("KARAOKE EFFECTS PROCESSOR"), QPointF(18, 26),
            Qt::AlignLeft | Qt::AlignVCenter, {13, true, colour::kSilk, 2.2});
  const QRect music = ToQRect(MaxVolumeBoxRect(kMaxVolumeBoxes[0]));
  DrawLabel(p, ToQString(kMaxVolumeCaption), QPointF(music.x() - 3, music.center().y() + 1),
            Qt::AlignRight | Qt::AlignVCenter, text::kSmallCaption);
  const QRect link = ToQRect(kLinkIndicatorRect);
  DrawLabel(p, QStringLiteral("LINK"), CentreTop(link) + QPointF(0, link.height() + 8),
            Qt::AlignHCenter | Qt::AlignVCenter, text::kSmallCaption);
  // The version text is drawn in black by the window: it needs a light plate.
  const QFontMetricsF metrics(FontOf({skin::kSmallFontPixels, false, Qt::black, 0}));
  const double width = metrics.horizontalAdvance(ToQString(kVersionText));
  DrawLabelPlate(
      p, QRectF(kVersionTextAt.x - 5, kVersionTextAt.y - 3, width + 9, metrics.height() + 4));
}

}  // namespace

QImage MainBackgroundPicture(int scale) {
  QImage image = PanelSurface(kMainWindowSize.w, kMainWindowSize.h, 2114, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  for (const SectionFrame& s : kSectionFrames)
    DrawSectionFrame(p, ToQRect(s.frame), ToQString(s.title));
  DrawScreen(p, ToQRect(kSettingsDisplayRect));
  DrawFaders(p);
  DrawKnobs(p);
  DrawOutputSwitchCaptions(p);
  DrawPageButtonCaptions(p);
  DrawFixedCaptions(p);
  return image;
}

}  // namespace kdsp::skingen
