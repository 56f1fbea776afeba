// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement analyser's chart.
#include "pages/measurement_chart.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <algorithm>

namespace kdsp::pages {
namespace {

constexpr double kScaleWidth = 46;   // the dB labels and their unit
constexpr double kLabelHeight = 22;  // the frequency labels
constexpr double kMargin = 10;
constexpr double kTopMargin = 22;  // the dB unit above the labels

// The plot is an instrument's screen: dark whatever the window's palette.
const QColor kPlotBackground(14, 18, 22);
const QColor kGridMinor(255, 255, 255, 28);
const QColor kGridMajor(255, 255, 255, 70);
const QColor kLevelLine(96, 224, 120);
const QColor kPeakLine(236, 176, 64, 200);

// Bins from 20 Hz to 20 kHz as one line; a point per bin keeps every narrow peak in the line
// even where many bins share a pixel.
QPainterPath Trace(const display::MeasurementScale& scale, std::span<const float> levels,
                   double binSpacing) {
  QPainterPath path;
  const double low = display::MeasurementScale::kLowHz;
  const double high = display::MeasurementScale::kHighHz;
  bool started = false;
  for (std::size_t k = 1; k < levels.size(); ++k) {
    const double hz = static_cast<double>(k) * binSpacing;
    if (hz < low) continue;
    if (hz > high) break;
    const QPointF at(scale.xOf(hz), scale.yOf(levels[k]));
    if (started) {
      path.lineTo(at);
    } else {
      path.moveTo(at);
      started = true;
    }
  }
  return path;
}

}  // namespace

display::MeasurementScale MeasurementPlot(QSizeF size) {
  const double width = std::max(1.0, size.width() - kScaleWidth - kMargin);
  const double height = std::max(1.0, size.height() - kTopMargin - kLabelHeight);
  return display::MeasurementScale(kScaleWidth, kTopMargin, width, height);
}

void PaintMeasurementChart(QPainter& painter, QSizeF size, const MeasurementPicture& picture,
                           const QPalette& palette) {
  const display::MeasurementScale scale = MeasurementPlot(size);
  const QRectF plot(QPointF(scale.left(), scale.top()), QPointF(scale.right(), scale.bottom()));
  painter.fillRect(QRectF(QPointF(0, 0), size), palette.window());
  painter.fillRect(plot, kPlotBackground);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setFont(QFont(painter.font().family(), 8));
  const QFontMetricsF metrics(painter.font());
  painter.setPen(palette.text().color());

  for (const display::ScaleMark& mark : display::MeasurementScale::LevelMarks()) {
    const double y = scale.yOf(mark.value);
    painter.setPen(QPen(mark.major ? kGridMajor : kGridMinor, 1.0));
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    if (mark.label.empty()) continue;
    painter.setPen(palette.text().color());
    const QRectF box(0, y - metrics.height() / 2, kScaleWidth - 6, metrics.height());
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(mark.label));
  }
  for (const display::ScaleMark& mark : display::MeasurementScale::FrequencyMarks()) {
    const double x = scale.xOf(mark.value);
    painter.setPen(QPen(mark.major ? kGridMajor : kGridMinor, 1.0));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    if (mark.label.empty()) continue;
    painter.setPen(palette.text().color());
    const QString text = QString::fromStdString(mark.label);
    const double w = metrics.horizontalAdvance(text);
    // The end labels stay inside the chart.
    const double left = std::clamp(x - w / 2, 0.0, size.width() - w);
    painter.drawText(QPointF(left, plot.bottom() + metrics.ascent() + 4), text);
  }
  painter.setPen(palette.text().color());
  painter.drawText(QPointF(4, metrics.ascent() + 1), QStringLiteral("dBFS"));
  painter.drawText(QPointF(kScaleWidth - 18 - metrics.horizontalAdvance("Hz"),
                           plot.bottom() + metrics.ascent() + 4),
                   QStringLiteral("Hz"));

  painter.save();
  painter.setClipRect(plot);
  if (!picture.peaks.empty()) {
    painter.setPen(QPen(kPeakLine, 1.0));
    painter.drawPath(Trace(scale, picture.peaks, picture.binSpacing));
  }
  if (!picture.levels.empty()) {
    painter.setPen(QPen(kLevelLine, 1.3));
    painter.drawPath(Trace(scale, picture.levels, picture.binSpacing));
  }
  painter.restore();

  painter.setPen(QPen(kGridMajor, 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);
  if (!picture.notice.isEmpty()) {
    painter.setPen(QColor(220, 220, 220));
    painter.setFont(QFont(painter.font().family(), 10));
    painter.drawText(plot.adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
                     picture.notice);
  }
}

MeasurementChart::MeasurementChart(QWidget* parent) : QWidget(parent) {
  setObjectName("measurementChart");
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void MeasurementChart::showPicture(const MeasurementPicture& picture) {
  picture_ = picture;
  update();
}

void MeasurementChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintMeasurementChart(painter, size(), picture_, palette());
}

}  // namespace kdsp::pages
