// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the shared parts of the panel backgrounds.
#include "panel_drawing.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "picture_scale.h"

namespace kdsp::skingen {
namespace {

int Clamp255(float v) {
  return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

QColor Mix(const QColor& a, const QColor& b, float t) {
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                          a.greenF() + (b.greenF() - a.greenF()) * t,
                          a.blueF() + (b.blueF() - a.blueF()) * t);
}

// A horizontal streak pattern: values that drift slowly along x, new on every row. The knots lie
// `knot` pixels apart.
std::vector<float> Streaks(int width, int knot, std::mt19937& rng) {
  std::normal_distribution<float> normal(0.0f, 1.0f);
  std::vector<float> knots(width / knot + 2);
  for (float& k : knots) k = normal(rng);
  std::vector<float> row(width);
  for (int x = 0; x < width; ++x) {
    const int i = x / knot;
    const float t = static_cast<float>(x % knot) / knot;
    const float s = t * t * (3 - 2 * t);
    row[x] = knots[i] + (knots[i + 1] - knots[i]) * s;
  }
  return row;
}

QPointF Direction(double degrees) {
  const double r = degrees * std::numbers::pi / 180.0;
  return {std::sin(r), -std::cos(r)};
}

double PixelCentre(double y) {
  return std::floor(y) + 0.5;
}

}  // namespace

QRect ToQRect(const skin::LayoutRect& r) {
  return {r.x, r.y, r.w, r.h};
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size())).trimmed();
}

QImage PanelSurface(int width, int height, std::uint32_t seed, int scale) {
  // The streaks keep their length in units; the grain is drawn per device pixel.
  constexpr int kKnotUnits = 48;
  QImage image = Canvas(width, height, scale);
  const int rows = image.height();
  const int columns = image.width();
  std::mt19937 rng(seed);
  std::normal_distribution<float> normal(0.0f, 1.0f);
  for (int y = 0; y < rows; ++y) {
    const float t = static_cast<float>(y) / std::max(1, rows - 1);
    // A soft sheen a fifth of the way down, as light falls on a brushed plate.
    const float sheen = 5.0f * std::exp(-std::pow((t - 0.2f) / 0.18f, 2.0f));
    const QColor base = Mix(colour::kPanelTop, colour::kPanelBottom, t);
    const float row = 1.6f * normal(rng);
    const std::vector<float> streak = Streaks(columns, kKnotUnits * scale, rng);
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < columns; ++x) {
      const float v = sheen + row + 1.3f * streak[x] + 0.9f * normal(rng);
      line[x] = qRgb(Clamp255(base.red() + v), Clamp255(base.green() + v),
                     Clamp255(base.blue() + v * 1.1f));
    }
  }
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  // Bevel: a light lip along the top and left, a dark one along the bottom and right, each one
  // unit wide at every scale as it is part of the plate's shape. The lips meet at the corners.
  const QColor light(255, 255, 255, 40);
  p.fillRect(QRect(1, 1, width - 2, 1), light);
  p.fillRect(QRect(1, 1, 1, height - 2), light);
  const QColor shade(0, 0, 0, 140);
  p.fillRect(QRect(1, height - 2, width - 2, 1), shade);
  p.fillRect(QRect(width - 2, 1, 1, height - 2), shade);
  const QColor edge(0, 0, 0, 220);
  p.fillRect(QRect(0, 0, width, 1), edge);
  p.fillRect(QRect(0, height - 1, width, 1), edge);
  p.fillRect(QRect(0, 1, 1, height - 2), edge);
  p.fillRect(QRect(width - 1, 1, 1, height - 2), edge);
  return image;
}

QRectF MeasureLabel(const QString& text, QPointF at, Qt::Alignment align, const TextStyle& style) {
  const QFontMetricsF metrics(FontOf(style));
  const qreal width = metrics.horizontalAdvance(text) - style.letterSpacing;
  qreal x = at.x();
  if (align & Qt::AlignRight) x -= width;
  if (align & Qt::AlignHCenter) x -= width / 2;
  qreal baseline = at.y();
  if (align & Qt::AlignTop) baseline += metrics.ascent();
  if (align & Qt::AlignVCenter) baseline += metrics.capHeight() / 2;
  return {x, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()};
}

QRectF DrawLabel(QPainter& p, const QString& text, QPointF at, Qt::Alignment align,
                 const TextStyle& style) {
  const QRectF box = MeasureLabel(text, at, align, style);
  const QFont font = FontOf(style);
  p.save();
  p.setFont(font);
  p.setPen(style.colour);
  p.drawText(QPointF(box.left(), box.top() + QFontMetricsF(font).ascent()), text);
  p.restore();
  return box;
}

namespace {

// The section titles leave the frame's rounded corners and a little of its edge either side.
constexpr double kTitleMargin = 9;

}  // namespace

QRectF SectionTitleBox(const QRectF& frame, const QString& title) {
  return MeasureLabel(title, {frame.center().x(), frame.top()}, Qt::AlignHCenter | Qt::AlignVCenter,
                      text::kSectionTitle);
}

bool SectionTitleFits(const QRectF& frame, const QString& title) {
  return SectionTitleBox(frame, title).width() <= frame.width() - 2 * kTitleMargin;
}

void DrawSectionFrame(QPainter& p, const QRectF& frame, const QString& title) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  // The engraving is a hairline, as fine as the screen allows, on the frame's outer device pixel.
  const double hairline = Hairline(p);
  const double inset = HairlineCentre(p, 0);
  QPainterPath outline;
  outline.addRoundedRect(frame.adjusted(inset, inset, -inset, -inset), 6, 6);
  p.fillPath(outline, QColor(0, 0, 0, 26));

  const TextStyle& style = text::kSectionTitle;
  const QPointF titleAt(frame.center().x(), frame.top());
  QPainterPath clip;
  clip.addRect(frame.adjusted(-4, -12, 4, 4));
  if (!title.isEmpty()) {
    QPainterPath gap;
    gap.addRect(MeasureLabel(title, titleAt, Qt::AlignHCenter | Qt::AlignVCenter, style)
                    .adjusted(-6, -4, 6, 4));
    clip = clip.subtracted(gap);
  }
  p.setClipPath(clip);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour::kEngraveLight, hairline));
  p.drawPath(outline.translated(1, 1));
  p.setPen(QPen(colour::kEngraveDark, 1.2 * hairline));
  p.drawPath(outline);
  p.setClipping(false);
  if (!title.isEmpty()) DrawLabel(p, title, titleAt, Qt::AlignHCenter | Qt::AlignVCenter, style);
  p.restore();
}

void DrawScreen(QPainter& p, const QRectF& rect) {
  p.save();
  QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
  fill.setColorAt(0, colour::kScreenTop);
  fill.setColorAt(1, colour::kScreenBottom);
  p.fillRect(rect, fill);
  // The screen sits below the plate: a shadow under its top edge, a lip above it.
  QLinearGradient shade(rect.topLeft(), rect.topLeft() + QPointF(0, 8));
  shade.setColorAt(0, QColor(0, 0, 0, 170));
  shade.setColorAt(1, QColor(0, 0, 0, 0));
  p.fillRect(QRectF(rect.left(), rect.top(), rect.width(), 8), shade);
  p.setPen(QColor(255, 255, 255, 38));
  p.drawLine(QPointF(rect.left(), rect.top() - 0.5), QPointF(rect.right(), rect.top() - 0.5));
  p.restore();
}

void DrawLabelPlate(QPainter& p, const QRectF& rect) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
  fill.setColorAt(0, colour::kPlateTop);
  fill.setColorAt(1, colour::kPlateBottom);
  p.setPen(QPen(QColor(0, 0, 0, 170), 1.0));
  p.setBrush(fill);
  p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
  p.setPen(QColor(255, 255, 255, 150));
  p.drawLine(QPointF(rect.left() + 2, rect.top() + 1.5),
             QPointF(rect.right() - 2, rect.top() + 1.5));
  p.restore();
}

double MarkY(const FaderGeometry& f, int value) {
  const double travel = f.rect.height() - f.thumbHeight;
  const double offset = std::ceil(travel * (f.max - value) / static_cast<double>(f.max - f.min));
  return f.rect.y() + offset + f.thumbHeight / 2.0;
}

void DrawSlot(QPainter& p, const FaderGeometry& f) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  const double width = f.rect.width() >= 20 ? 4.0 : 3.0;
  const double cx = f.rect.x() + f.rect.width() / 2.0;
  const double top = MarkY(f, f.max) - 5;
  const double bottom = MarkY(f, f.min) + 5;
  const QRectF slot(cx - width / 2, top, width, bottom - top);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 90));
  p.drawRoundedRect(slot.adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);
  p.setBrush(colour::kSlot);
  p.drawRoundedRect(slot, width / 2, width / 2);
  p.setPen(QPen(QColor(255, 255, 255, 36), 1.0));
  p.drawLine(QPointF(slot.right() + 1.5, top + 2), QPointF(slot.right() + 1.5, bottom - 1));
  p.drawLine(QPointF(slot.left() + 1, bottom + 1.5), QPointF(slot.right() + 1, bottom + 1.5));
  p.restore();
}

void DrawTicks(QPainter& p, const FaderGeometry& f, const std::vector<ScaleMark>& marks,
               NumberSides numbers) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  // The ticks are hairlines on the first device row of the unit they mark.
  for (const ScaleMark& m : marks) {
    const double y = HairlineCentre(p, std::floor(MarkY(f, m.value)));
    const double length = m.major ? 5 : 3;
    const bool numbered = !m.label.isEmpty();
    p.setPen(QPen(m.major ? colour::kSilk : colour::kSilkDim, Hairline(p)));
    if (!(numbered && numbers.left))
      p.drawLine(QPointF(f.rect.x() - 2 - length, y), QPointF(f.rect.x() - 2, y));
    if (!(numbered && numbers.right))
      p.drawLine(QPointF(f.rect.right() + 3, y), QPointF(f.rect.right() + 3 + length, y));
  }
  p.restore();
}

QRectF DrawGapScale(QPainter& p, const FaderGeometry& left, const FaderGeometry& right,
                    const std::vector<ScaleMark>& marks) {
  QRectF extent;
  const double middle = (left.rect.right() + 1 + right.rect.x()) / 2.0;
  for (const ScaleMark& m : marks) {
    if (m.label.isEmpty()) continue;
    const double y = PixelCentre(MarkY(left, m.value));
    extent = extent.united(
        DrawLabel(p, m.label, {middle, y}, Qt::AlignHCenter | Qt::AlignVCenter, text::kScale));
  }
  return extent;
}

namespace {

QPointF ColumnAnchor(const FaderGeometry& f, const ScaleMark& m, Side side) {
  const double y = PixelCentre(MarkY(f, m.value));
  return side == Side::kRight ? QPointF(f.rect.right() + 4, y) : QPointF(f.rect.x() - 3, y);
}

Qt::Alignment ColumnAlign(Side side) {
  return (side == Side::kRight ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
}

}  // namespace

QRectF ScaleLabelColumn(const FaderGeometry& f, const std::vector<ScaleMark>& marks, Side side) {
  QRectF extent;
  for (const ScaleMark& m : marks)
    if (!m.label.isEmpty())
      extent = extent.united(
          MeasureLabel(m.label, ColumnAnchor(f, m, side), ColumnAlign(side), text::kScale));
  return extent;
}

void DrawScaleLabels(QPainter& p, const FaderGeometry& f, const std::vector<ScaleMark>& marks,
                     Side side) {
  for (const ScaleMark& m : marks)
    if (!m.label.isEmpty())
      DrawLabel(p, m.label, ColumnAnchor(f, m, side), ColumnAlign(side), text::kScale);
}

namespace {

int FloorTo(int v, int step) {
  return (v >= 0 ? v / step : -((-v + step - 1) / step)) * step;
}
int CeilTo(int v, int step) {
  return -FloorTo(-v, step);
}

}  // namespace

std::vector<ScaleMark> NumberScale(int min, int max, int tickStep, int labelStep) {
  // An end value off the label step is printed unless a printed value sits too close to it.
  const bool labelMin = min % labelStep == 0 || (CeilTo(min, labelStep) - min) * 2 >= labelStep;
  const bool labelMax = max % labelStep == 0 || (max - FloorTo(max, labelStep)) * 2 >= labelStep;
  std::vector<ScaleMark> marks;
  for (int v = min; v <= max; ++v) {
    bool label = v % labelStep == 0;
    if (v == min) label = labelMin;
    if (v == max) label = labelMax;
    if (v % tickStep != 0 && v != min && v != max) continue;
    marks.push_back({v, label ? QString::number(v) : QString(), label});
  }
  return marks;
}

std::vector<ScaleMark> PositionScale(const std::vector<QString>& labels) {
  std::vector<ScaleMark> marks;
  for (int i = 0; i < static_cast<int>(labels.size()); ++i) marks.push_back({i, labels[i], true});
  return marks;
}

double KnobAngle(int value, int min, int max) {
  return value * 300.0 / (max - min) - 150.0;
}

namespace {

struct KnobLabel {
  QString text;
  QPointF at;
  Qt::Alignment align;
};

std::vector<KnobLabel> KnobLabels(const QRect& knob, int min, int max,
                                  const std::vector<ScaleMark>& marks) {
  const QPointF centre(knob.x() + knob.width() / 2, knob.y() + knob.height() / 2);
  const double r = knob.width() / 2.0;
  std::vector<KnobLabel> labels;
  for (const ScaleMark& m : marks) {
    if (m.label.isEmpty()) continue;
    const QPointF d = Direction(KnobAngle(m.value, min, max));
    Qt::Alignment align = Qt::AlignHCenter;
    if (d.x() < -0.3) align = Qt::AlignRight;
    if (d.x() > 0.3) align = Qt::AlignLeft;
    QPointF at = centre + (r + 10) * d;
    // Labels above the knob clear the tips of its ticks; labels below its middle stand out to the
    // side and no lower than its bottom edge,
    // clear of a value box beneath it.
    if (d.y() < -0.3) at.ry() -= 3;
    if (d.y() > 0.3) {
      const double side = d.x() < 0 ? -1 : 1;
      at.setX(centre.x() + side * std::max(std::abs(at.x() - centre.x()), r + 6));
      at.setY(std::min(at.y(), centre.y() + r));
    }
    labels.push_back({m.label, at, align | Qt::AlignVCenter});
  }
  return labels;
}

}  // namespace

std::vector<QRectF> MeasureKnobLabels(const QRect& knob, int min, int max,
                                      const std::vector<ScaleMark>& marks, const TextStyle& style) {
  std::vector<QRectF> boxes;
  for (const KnobLabel& l : KnobLabels(knob, min, max, marks))
    boxes.push_back(MeasureLabel(l.text, l.at, l.align, style));
  return boxes;
}

QRectF MeasureKnobScale(const QRect& knob, int min, int max, const std::vector<ScaleMark>& marks,
                        const TextStyle& style) {
  QRectF extent;
  for (const QRectF& box : MeasureKnobLabels(knob, min, max, marks, style))
    extent = extent.united(box);
  return extent;
}

QRectF DrawKnobScale(QPainter& p, const QRect& knob, int min, int max,
                     const std::vector<ScaleMark>& marks, const TextStyle& style) {
  const QPointF centre(knob.x() + knob.width() / 2, knob.y() + knob.height() / 2);
  const double r = knob.width() / 2.0;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  // The well the knob sits in.
  QRadialGradient well(centre + QPointF(0, 1.5), r + 4);
  well.setColorAt(0.0, QColor(0, 0, 0, 200));
  well.setColorAt(0.82, QColor(0, 0, 0, 150));
  well.setColorAt(1.0, QColor(0, 0, 0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(well);
  p.drawEllipse(centre + QPointF(0, 1.5), r + 4, r + 4);
  // The sweep from the first position to the last.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255, 55), Hairline(p)));
  const QRectF arc(centre.x() - r - 3.5, centre.y() - r - 3.5, 2 * r + 7, 2 * r + 7);
  p.drawArc(arc, 240 * 16, -300 * 16);
  for (const ScaleMark& m : marks) {
    const QPointF d = Direction(KnobAngle(m.value, min, max));
    p.setPen(QPen(m.major ? colour::kSilk : colour::kSilkDim, (m.major ? 1.4 : 1.0) * Hairline(p),
                  Qt::SolidLine, Qt::FlatCap));
    p.drawLine(centre + (r + 3.5) * d, centre + (r + (m.major ? 7.5 : 6.0)) * d);
  }
  p.restore();
  QRectF extent;
  for (const KnobLabel& l : KnobLabels(knob, min, max, marks))
    extent = extent.united(DrawLabel(p, l.text, l.at, l.align, style));
  return extent;
}

}  // namespace kdsp::skingen
