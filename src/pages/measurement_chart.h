// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement analyser's chart: the spectrum over 20 Hz to 20 kHz on a logarithmic axis, with
// its dBFS scale beside it and the frequencies below. It only paints what it is handed.
#pragma once

#include <QString>
#include <QWidget>
#include <span>

#include "display/measurement_scale.h"

class QPainter;

namespace kdsp::pages {

// What the chart shows: levels in dBFS per transform bin (bin k at k x binSpacing Hz), the held
// peaks (empty when peak hold is off) and, when there is no spectrum, a line saying why.
struct MeasurementPicture {
  std::span<const float> levels;
  std::span<const float> peaks;
  double binSpacing = 1.0;
  QString notice;
};

// The plot inside a chart of the given size, in logical pixels: room on the left for the dB
// labels and below for the frequencies.
display::MeasurementScale MeasurementPlot(QSizeF size);

// Paints the whole chart at the painter's device (any pixel ratio): background, grid, labels,
// the peaks and then the levels.
void PaintMeasurementChart(QPainter& painter, QSizeF size, const MeasurementPicture& picture,
                           const QPalette& palette);

class MeasurementChart : public QWidget {
 public:
  explicit MeasurementChart(QWidget* parent = nullptr);

  // The spans must stay valid until the next showPicture(); the chart repaints soon after.
  void showPicture(const MeasurementPicture& picture);
  const MeasurementPicture& picture() const { return picture_; }

  QSize sizeHint() const override { return {760, 420}; }
  QSize minimumSizeHint() const override { return {420, 240}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  MeasurementPicture picture_;
};

}  // namespace kdsp::pages
