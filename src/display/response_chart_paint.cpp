// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the response chart straight onto the page in two layers: the grid, which never
// changes, and everything over it. The band and filter areas and the sum line, the costly
// antialiased fills, are kept as a picture at the page's device pixel ratio and redrawn only when
// curvesKey says they changed, so a new spectrum costs a copy, a line and the handles.
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QRect>
#include <QString>
#include <QTransform>
#include <array>
#include <cmath>
#include <vector>

#include "display/chart_handle_sprites.h"
#include "display/chart_handles.h"
#include "display/chart_paint_style.h"
#include "display/response_chart.h"
#include "skin/skin_drawing.h"

namespace kdsp::display {
namespace {

void strokeLines(QPainter& painter, std::span<const GridLine> lines, const QPen& pen) {
  painter.setPen(pen);
  for (const GridLine& line : lines) painter.drawLine(line.x1, line.y1, line.x2, line.y2);
}

void drawGrid(ChartCanvas& canvas, const ChartScale& scale) {
  QPainter& painter = canvas.painter();
  const ChartGrid grid = makeGrid(scale);
  painter.setBrush(Qt::NoBrush);
  canvas.atPixelCentres();
  strokeLines(painter, grid.minor, penOf(kGridLine, kMinorGridWidth));
  canvas.atPixelCorners();
  painter.setPen(penOf(kFrame, kFrameWidth));
  painter.drawRect(scale.left, scale.top, scale.width, scale.height);
  canvas.atPixelCentres();
  strokeLines(painter, grid.major, penOf(kGridLine, kMajorGridWidth));
  canvas.atPixelCorners();
  for (const GridLabel& label : grid.labels) {
    skin::DrawTextAt(painter, QString::fromStdString(label.text), chartFonts().label,
                     colourOf(kLabelText), label.x, label.y);
  }
}

// The outline from its last point back to its first. An area is filled the same whichever way
// round its outline runs, but not as fast: the rasteriser keeps each pixel row's cells in a list
// sorted left to right and searches it from the left for every new cell, so a curve that runs
// rightwards along a row, as a band's tails do beside the 0 dB line, costs the square of its
// length there, and leftwards only the length.
QPolygonF leftwardsPolygon(const CurveOutline& outline) {
  QPolygonF polygon;
  polygon.reserve(kOutlinePoints);
  for (int k = kOutlinePoints - 1; k >= 0; --k) polygon.append(QPointF(outline[k].x, outline[k].y));
  return polygon;
}

void fillOutline(ChartCanvas& canvas, const CurveOutline& outline, Argb colour) {
  QPainter& painter = canvas.painter();
  canvas.atPixelCentres();
  painter.setPen(Qt::NoPen);
  painter.setBrush(colourOf(colour));
  painter.drawPolygon(leftwardsPolygon(outline), Qt::OddEvenFill);
}

// The line through the points, broken wherever a point has no finite position. It goes to the
// rasteriser as separate segments with square ends, which it fills directly: a polyline of that
// width is outlined with its joins first, and the spectrum's 928 points then cost several
// milliseconds at a ratio of 2, the sum line's 362 a millisecond at 1 — a third of a drag frame.
// Square ends close the joints as round joins did, to within a fraction of the line's width.
void strokeBrokenLine(ChartCanvas& canvas, std::span<const ChartPointF> points, QPen pen) {
  QPainter& painter = canvas.painter();
  canvas.atPixelCentres();
  pen.setCapStyle(Qt::SquareCap);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  QPolygonF run;
  std::vector<QLineF> segments;
  auto flush = [&] {
    if (run.size() >= 2) {
      segments.clear();
      for (qsizetype k = 1; k < run.size(); ++k) segments.emplace_back(run[k - 1], run[k]);
      painter.drawLines(segments.data(), static_cast<int>(segments.size()));
    }
    run.clear();
  };
  for (const ChartPointF& point : points) {
    if (std::isfinite(point.x) && std::isfinite(point.y)) {
      run.append(QPointF(point.x, point.y));
    } else {
      flush();
    }
  }
  flush();
}

// Areas and lines stay inside the plot, however far a sum or a filter's area reaches.
void clipToPlot(ChartCanvas& canvas, const ChartScale& s) {
  canvas.atPixelCorners();
  // Within whatever the page's painter is already clipped to: a page repaints only what changed.
  canvas.painter().setClipRect(QRect(s.left, s.top, s.width, s.height), Qt::IntersectClip);
}

// Where the chart's (0, 0) lies for a painter that addresses the page as `page` does.
QTransform chartOrigin(const QPainter& page, const ChartRect& bounds) {
  return QTransform::fromTranslate(bounds.x, bounds.y) * page.worldTransform();
}

}  // namespace

void ResponseChart::releasePictures() {
  restingLayer_.release();
  curveLayer_.release();
}

void ResponseChart::paint(QPainter& page) {
  paintGrid(page);
  paintOverGrid(page);
}

void ResponseChart::paintGrid(QPainter& page) const {
  if (area.width <= 0 || area.height <= 0) return;
  page.save();
  skin::PrepareSurface(page);
  ChartCanvas canvas(page, chartOrigin(page, bounds));
  drawGrid(canvas, scale());
  page.restore();
}

void ResponseChart::paintOverGrid(QPainter& page) {
  if (area.width <= 0 || area.height <= 0) return;
  computeSpectrum();
  const std::uint64_t key = curvesKey();
  if (!curveLayer_.holds(page, key)) {
    computeCurves();
    const std::uint64_t restingKey = restingBandsKey();
    if (!restingLayer_.holds(page, restingKey)) drawRestingLayer(page, restingKey);
    drawCurveLayer(key);
  }

  page.save();
  skin::PrepareSurface(page);
  if (anyShown()) curveLayer_.drawOnto(page);
  if (showSpectrum) {
    page.save();
    ChartCanvas canvas(page, chartOrigin(page, bounds));
    clipToPlot(canvas, scale());
    strokeBrokenLine(canvas, spectrumLine(), penOf(kSpectrumLine, kSpectrumLineWidth));
    page.restore();
  }

  // The handles lie above everything, unclipped, since a handle on an edge is still whole.
  auto drawMark = [&](int mark, ChartPoint centre) {
    handleSprites_.draw(page, mark, QPointF(bounds.x + centre.x, bounds.y + centre.y));
  };
  const BandOrder order = bandOrder();
  for (int n = 0; n < order.count; ++n) drawMark(order.index[n], bandHandles[order.index[n]]);
  for (int f : {kHighPassHandle, kLowPassHandle}) {
    if (filterShown(f)) drawMark(filterMark(f), filterHandles[f]);
  }
  if (filterShown(selectedFilter)) drawMark(kSelectedFilterMark, filterHandles[selectedFilter]);
  page.restore();
}

void ResponseChart::drawRestingLayer(const QPainter& page, std::uint64_t key) {
  const ChartScale s = scale();
  const QRectF plotOnPage(bounds.x + s.left, bounds.y + s.top, s.width, s.height);
  const QTransform pageToLayer = restingLayer_.restart(page, plotOnPage, key);
  if (s.width <= 0 || s.height <= 0 || !anyShown()) return;

  QPainter painter(&restingLayer_.image());
  skin::PrepareSurface(painter);
  ChartCanvas canvas(painter, QTransform::fromTranslate(bounds.x, bounds.y) * pageToLayer);
  clipToPlot(canvas, s);
  const BandOrder order = bandOrder();
  for (int n = 0; n < order.count; ++n) {
    const int band = order.index[n];
    if (band != selectedBand) fillOutline(canvas, bandCurves[band], kBandFills[band]);
  }
}

void ResponseChart::drawCurveLayer(std::uint64_t key) {
  const QTransform pageToLayer = curveLayer_.restartFrom(restingLayer_, key);
  const ChartScale s = scale();
  if (s.width <= 0 || s.height <= 0 || !anyShown()) return;

  QPainter painter(&curveLayer_.image());
  skin::PrepareSurface(painter);
  ChartCanvas canvas(painter, QTransform::fromTranslate(bounds.x, bounds.y) * pageToLayer);
  clipToPlot(canvas, s);
  if (bandShown(selectedBand))
    fillOutline(canvas, bandCurves[selectedBand], kBandFills[selectedBand]);
  if (filterShown(selectedFilter)) {
    fillOutline(canvas, filterCurves[selectedFilter],
                selectedFilter == kHighPassHandle ? kHighPassFill : kLowPassFill);
  }
  strokeBrokenLine(canvas, sumLine(), penOf(kSumLine, kSumLineWidth));
}

}  // namespace kdsp::display
