// Painting a page background from its page table.
#include "page_background.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <string>
#include <vector>

#include "panel_drawing.h"
#include "panel_style.h"
#include "settings/frequency_grid.h"
#include "settings/value_texts.h"
#include "skin/skin_fonts.h"

namespace kdsp::skingen {
namespace {

using namespace kdsp::skin::page_layout;
using skin::SkinSlot;

constexpr int kThumbHeight = skin::SkinImageSize(SkinSlot::kThumbNormal).h;
constexpr int kSmallThumbHeight = skin::SkinImageSize(SkinSlot::kSmallThumbNormal).h;

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

std::vector<ScaleMark> FaderMarks(const PageFader& f) {
  switch (f.format) {
    case FaderFormat::kInt:
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

struct Frame {
  QString title;
  QRectF rect;
};

QRectF FaderExtent(const PageLayout& page, int index) {
  const PageFader& f = page.faders[index];
  const FaderGeometry g = Geometry(page, f);
  QRectF extent = QRectF(g.rect).adjusted(-8, 0, 8, 0);
  extent = extent.united(ToQRect(FaderBoxRect(page, f)));
  extent = extent.united(ScaleLabelColumn(g, FaderMarks(f), LabelSide(page, index)));
  return extent.united(CaptionExtent(page, index));
}

// The recessed plate behind the strips' columns of small buttons.
QRectF ButtonBank(const PageLayout& page) {
  const int last = static_cast<int>(page.eqX.size()) - 1;
  const QRect first = ToQRect(EqPassButtonRect(page, 0));
  const QRect bottom = ToQRect(EqTypeButtonRect(page, last, 2));
  return {first.x() - 4.0, first.y() - 4.0, bottom.right() - first.x() + 9.0,
          bottom.bottom() - first.y() + 9.0};
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

// The EQ strips' frame, closed below the Q row and clear of the chart screen under it, then one
// frame per run of faders of one group with the dials of the knobs that belong to their filters.
std::vector<Frame> Frames(const PageLayout& page) {
  std::vector<Frame> frames;
  QRectF strips = StripsExtent(page);
  strips.setBottom(strips.bottom() + 6);
  // The strips' title is printed where it clears the button bank and the controls.
  QString title = QStringLiteral("PARAMETRIC EQ");
  const QRectF titleBox = SectionTitleBox(strips, title).adjusted(-2, -2, 2, 2);
  bool clear = !titleBox.intersects(ButtonBank(page));
  ForEachControl(page, [&](ControlKind, int, const skin::LayoutRect& r) {
    clear = clear && !titleBox.intersects(ToQRect(r));
  });
  frames.push_back({clear ? title : QString(), strips});
  for (int i = 0; i < static_cast<int>(page.faders.size()); ++i) {
    const PageFader& f = page.faders[i];
    QRectF extent = FaderExtent(page, i);
    for (const PageKnob& k : page.knobs)
      if (k.role != KnobRole::kMicEqMode && k.filter == f.role)
        extent = extent.united(KnobExtent(k));
    if (!frames.empty() && frames.back().title == ToQString(f.group)) {
      frames.back().rect = frames.back().rect.united(extent);
    } else {
      frames.push_back({ToQString(f.group), extent});
    }
  }
  const QRectF inside(3, 3, PageSize(page).w - 6, PageSize(page).h - 6);
  for (std::size_t i = 1; i < frames.size(); ++i)
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
  p.setPen(QPen(colour::kEngraveDark, 1.0));
  p.setBrush(QColor(0, 0, 0, 70));
  p.drawRoundedRect(bank, 5, 5);
  p.setPen(QPen(colour::kEngraveLight, 1.0));
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
    const double y = std::floor(MarkY(left, m.value)) + 0.5;
    p.setPen(QPen(m.value == 0 ? QColor(255, 255, 255, 70) : QColor(255, 255, 255, 26), 1.0));
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

QImage PageBackgroundPicture(const PageLayout& page) {
  const skin::LayoutSize size = PageSize(page);
  QImage image = PanelSurface(size.w, size.h, 7000 + static_cast<int>(page.id));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);

  for (const Frame& frame : Frames(page)) DrawSectionFrame(p, frame.rect, frame.title);
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
