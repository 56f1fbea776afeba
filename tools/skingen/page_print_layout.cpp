// SPDX-License-Identifier: GPL-3.0-or-later
// Where a page background prints what: the scales of the faders, strips and knobs, the side each
// fader's numbers stand on, the captions, the button bank and the engraved frames with their
// titles. Measurement only; page_background.cpp paints from it.
#include "page_print_layout.h"

#include <QFontMetricsF>
#include <algorithm>
#include <string>

#include "settings/frequency_grid.h"
#include "settings/value_texts.h"

namespace kdsp::skingen {

using namespace kdsp::skin::page_layout;
using skin::SkinSlot;

namespace {

constexpr int kThumbHeight = skin::SkinImageSize(SkinSlot::kThumbNormal).h;
constexpr int kSmallThumbHeight = skin::SkinImageSize(SkinSlot::kSmallThumbNormal).h;

}  // namespace

// ---- Scales ----

std::vector<ScaleMark> EqGainMarks() {
  std::vector<ScaleMark> marks;
  for (int tenths = kPageTemplate.eqGainMax; tenths >= kPageTemplate.eqGainMin; tenths -= 30) {
    const bool label = tenths % 60 == 0;
    const QString text =
        tenths > 0 ? QStringLiteral("+%1").arg(tenths / 10) : QString::number(tenths / 10);
    marks.push_back({tenths, label ? text : QString(), label});
  }
  return marks;
}

namespace {

template <std::size_t N>
std::vector<QString> Texts(const std::array<std::string_view, N>& texts) {
  std::vector<QString> out;
  for (std::string_view s : texts) out.push_back(ToQString(s));
  return out;
}

std::vector<ScaleMark> FrequencyMarks(bool highPass) {
  std::vector<ScaleMark> marks;
  marks.push_back({0, highPass ? QStringLiteral("OFF") : QStringLiteral("20"), true});
  const std::pair<float, const char*> points[] = {{50, "50"},   {100, "100"},  {200, "200"},
                                                  {500, "500"}, {1000, "1k"},  {2000, "2k"},
                                                  {5000, "5k"}, {10000, "10k"}};
  for (const auto& [hz, text] : points)
    marks.push_back({settings::gridStepAtOrAbove(hz), QString::fromLatin1(text), true});
  marks.push_back(
      {settings::kLastStep, highPass ? QStringLiteral("22k") : QStringLiteral("OFF"), true});
  return marks;
}

std::vector<ScaleMark> LevelMarks(const PageFader& f) {
  const int span = f.max - f.min;
  int label = 10;
  for (int step : {10, 20, 25, 50, 100})
    if (span / step <= 5) {
      label = step;
      break;
    }
  std::vector<ScaleMark> marks = NumberScale(f.min, f.max, label == 10 ? 5 : label / 2, label);
  if (!f.minText.empty()) marks.front().label = ToQString(f.minText);
  return marks;
}

}  // namespace

std::vector<ScaleMark> FaderMarks(const PageFader& f) {
  switch (f.format) {
    case FaderFormat::kInt:
    case FaderFormat::kMilliseconds:
      return LevelMarks(f);
    case FaderFormat::kAttack:
      return PositionScale(Texts(settings::kAttackTexts));
    case FaderFormat::kRelease:
      return PositionScale(Texts(settings::kReleaseTexts));
    case FaderFormat::kRatio: {
      std::vector<ScaleMark> marks = PositionScale(Texts(settings::kRatioTexts));
      for (ScaleMark& m : marks) {
        m.major = (m.value % 2 == 0 && m.value != 10) || m.value == 11;
        if (!m.major) m.label.clear();
      }
      return marks;
    }
    case FaderFormat::kFreqOffLow:
      return FrequencyMarks(true);
    case FaderFormat::kFreqOffHigh:
      return FrequencyMarks(false);
  }
  return {};
}

FaderGeometry Geometry(const PageLayout& page, const PageFader& f) {
  return {ToQRect(FaderRect(page, f)), kSmallThumbHeight, f.min, f.max};
}
FaderGeometry EqGeometry(const PageLayout& page, int strip) {
  return {ToQRect(EqFaderRect(page, strip)), kThumbHeight, kPageTemplate.eqGainMin,
          kPageTemplate.eqGainMax};
}

// ---- Knobs ----

std::vector<ScaleMark> KnobMarks(const PageKnob& k) {
  std::vector<QString> labels;
  for (std::string_view s : KnobPositions(k.role)) labels.push_back(ToQString(s));
  return PositionScale(labels);
}

QString KnobCaption(const PageKnob& k) {
  return ToQString(kKnobCaptions[static_cast<int>(k.role)]);
}

QPointF KnobCaptionAnchor(const PageKnob& k) {
  const QRect r = ToQRect(KnobRect(k));
  return {r.x() - 7.0, r.center().y() + 1.0};
}

std::vector<QRectF> KnobTexts(const PageKnob& k) {
  std::vector<QRectF> texts =
      MeasureKnobLabels(ToQRect(KnobRect(k)), k.min, k.max, KnobMarks(k), text::kScaleBold);
  texts.push_back(MeasureLabel(KnobCaption(k), KnobCaptionAnchor(k),
                               Qt::AlignRight | Qt::AlignVCenter, text::kSmallCaption));
  return texts;
}

QRectF KnobExtent(const PageKnob& k) {
  const QRect r = ToQRect(KnobRect(k));
  QRectF extent = MeasureKnobScale(r, k.min, k.max, KnobMarks(k), text::kScaleBold);
  extent = extent.united(QRectF(r).adjusted(-8, -8, 8, 8));
  return extent.united(MeasureLabel(KnobCaption(k), KnobCaptionAnchor(k),
                                    Qt::AlignRight | Qt::AlignVCenter, text::kSmallCaption));
}

// ---- Fader captions and label sides ----

// The caption under a fader, on two lines when it would run into its neighbours.
QStringList CaptionLines(const PageLayout& page, int index) {
  const PageFader& f = page.faders[index];
  int room = 1000;
  if (index > 0) room = std::min(room, f.x - page.faders[index - 1].x);
  if (index + 1 < static_cast<int>(page.faders.size()))
    room = std::min(room, page.faders[index + 1].x - f.x);
  const QString caption = ToQString(f.caption);
  const QFontMetricsF metrics(FontOf(text::kSmallCaption));
  const int space = caption.lastIndexOf(QLatin1Char(' '));
  if (metrics.horizontalAdvance(caption) <= room - 8 || space < 0) return {caption};
  return {caption.left(space), caption.mid(space + 1)};
}

QPointF CaptionAnchor(const PageLayout& page, const PageFader& f, int line) {
  const QRect r = ToQRect(FaderRect(page, f));
  return {r.x() + r.width() / 2.0, r.bottom() + 9.0 + 10 * line};
}

namespace {

QRectF CaptionExtent(const PageLayout& page, int index) {
  QRectF extent;
  const QStringList lines = CaptionLines(page, index);
  for (int i = 0; i < lines.size(); ++i)
    extent = extent.united(MeasureLabel(lines[i], CaptionAnchor(page, page.faders[index], i),
                                        Qt::AlignHCenter | Qt::AlignVCenter, text::kSmallCaption));
  return extent;
}

// Everything a fader's numbers must keep clear of: the other controls, the knobs' dials and the
// ticks of the neighbouring faders.
std::vector<QRectF> Obstacles(const PageLayout& page, int index) {
  std::vector<QRectF> out;
  const QRect own = ToQRect(FaderRect(page, page.faders[index]));
  const QRect ownBox = ToQRect(FaderBoxRect(page, page.faders[index]));
  ForEachControl(page, [&](ControlKind, int, const skin::LayoutRect& r) {
    const QRect q = ToQRect(r);
    if (q != own && q != ownBox) out.push_back(q);
  });
  for (const PageKnob& k : page.knobs) out.push_back(KnobExtent(k));
  for (int i = 0; i < static_cast<int>(page.faders.size()); ++i)
    if (i != index)
      out.push_back(QRectF(ToQRect(FaderRect(page, page.faders[i]))).adjusted(-9, 0, 9, 0));
  return out;
}

}  // namespace

Side LabelSide(const PageLayout& page, int index) {
  const PageFader& f = page.faders[index];
  const QRectF column = ScaleLabelColumn(Geometry(page, f), FaderMarks(f), Side::kRight);
  const QRect pageRect(0, 0, PageSize(page).w, PageSize(page).h);
  if (!pageRect.contains(column.toAlignedRect())) return Side::kLeft;
  for (const QRectF& o : Obstacles(page, index))
    if (o.intersects(column)) return Side::kLeft;
  return Side::kRight;
}

// ---- Frames ----

namespace {

QRectF FaderExtent(const PageLayout& page, int index) {
  const PageFader& f = page.faders[index];
  const FaderGeometry g = Geometry(page, f);
  QRectF extent = QRectF(g.rect).adjusted(-8, 0, 8, 0);
  extent = extent.united(ToQRect(FaderBoxRect(page, f)));
  extent = extent.united(ScaleLabelColumn(g, FaderMarks(f), LabelSide(page, index)));
  return extent.united(CaptionExtent(page, index));
}

QRectF StripCaptionExtent(const QString& text, const QRect& box) {
  return MeasureLabel(text, QPointF(box.x() - 5, box.center().y() + 1),
                      Qt::AlignRight | Qt::AlignVCenter, text::kSmallCaption);
}

QRectF StripsExtent(const PageLayout& page) {
  const int last = static_cast<int>(page.eqX.size()) - 1;
  QRectF extent = QRectF(ToQRect(EqGainBoxRect(page, 0)))
                      .united(ToQRect(EqQBoxRect(page, last)))
                      .united(ToQRect(EqFaderRect(page, last)));
  const std::vector<ScaleMark> marks = EqGainMarks();
  extent = extent.united(ScaleLabelColumn(EqGeometry(page, 0), marks, Side::kLeft));
  extent = extent.united(ScaleLabelColumn(EqGeometry(page, last), marks, Side::kRight));
  extent =
      extent.united(StripCaptionExtent(ToQString(kGainCaption), ToQRect(EqGainBoxRect(page, 0))));
  extent =
      extent.united(StripCaptionExtent(ToQString(kFreqCaption), ToQRect(EqFreqBoxRect(page, 0))));
  return extent.adjusted(-6, -9, 6, 0);
}

// Whether the strips' title, cut into the top edge of `frame`, clears the button bank and every
// control.
bool StripsTitleClear(const PageLayout& page, const QRectF& frame) {
  const QRectF box = SectionTitleBox(frame, ToQString(kStripsTitle));
  bool clear = !box.intersects(ButtonBank(page));
  ForEachControl(page, [&](ControlKind, int, const skin::LayoutRect& r) {
    clear = clear && !box.intersects(ToQRect(r));
  });
  return clear;
}

// The strips' frame: far enough above the gain boxes for the scale labels, or, where the button
// bank sits close above them, lowered so that its title starts where the bank ends; closed below
// the Q row, clear of the chart screen under it.
QRectF StripsFrame(const PageLayout& page) {
  QRectF frame = StripsExtent(page);
  frame.setBottom(frame.bottom() + 6);
  if (!StripsTitleClear(page, frame)) {
    const double titleAbove = frame.top() - SectionTitleBox(frame, ToQString(kStripsTitle)).top();
    QRectF lowered = frame;
    lowered.setTop(ButtonBank(page).bottom() + titleAbove);
    if (StripsTitleClear(page, lowered)) frame = lowered;
  }
  return frame;
}

}  // namespace

QRectF ButtonBank(const PageLayout& page) {
  const int last = static_cast<int>(page.eqX.size()) - 1;
  const QRectF first = QRectF(ToQRect(EqPassButtonRect(page, 0)));
  const QRectF bottom = QRectF(ToQRect(EqTypeButtonRect(page, last, 2)));
  return QRectF(first.topLeft(), bottom.bottomRight()).adjusted(-3, -3, 3, 3);
}

std::vector<SectionFrame> PageFrames(const PageLayout& page) {
  std::vector<SectionFrame> frames;
  const QRectF strips = StripsFrame(page);
  frames.push_back({StripsTitleClear(page, strips) ? ToQString(kStripsTitle) : QString(), strips});
  // One frame per run of faders of one group, with the dials of the knobs of their filters.
  const std::size_t firstGroup = frames.size();
  for (int i = 0; i < static_cast<int>(page.faders.size()); ++i) {
    const PageFader& f = page.faders[i];
    QRectF extent = FaderExtent(page, i);
    for (const PageKnob& k : page.knobs)
      if (k.role != KnobRole::kMicEqMode && k.filter == f.role)
        extent = extent.united(KnobExtent(k));
    if (i > 0 && !f.group.empty() && page.faders[i - 1].group == f.group) {
      frames.back().rect = frames.back().rect.united(extent);
    } else {
      frames.push_back({ToQString(f.group), extent});
    }
  }
  const QRectF inside(3, 3, PageSize(page).w - 6, PageSize(page).h - 6);
  for (std::size_t i = firstGroup; i < frames.size(); ++i)
    frames[i].rect = frames[i].rect.adjusted(-5, -13, 5, 6).intersected(inside);
  // Neighbouring frames meet halfway across the gap between their contents.
  for (std::size_t i = 1; i < frames.size(); ++i) {
    QRectF& a = frames[i - 1].rect;
    QRectF& b = frames[i].rect;
    if (a.right() + 4 > b.left()) {
      const double middle = (a.right() + b.left()) / 2;
      a.setRight(middle - 2);
      b.setLeft(middle + 2);
    }
  }
  return frames;
}

}  // namespace kdsp::skingen
