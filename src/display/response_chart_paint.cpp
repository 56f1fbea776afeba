// Painting the response chart: grid, band and filter areas, handles, the summed line and the
// spectrum line, on an off-screen surface that reaches the page in one draw.
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QString>
#include <QTransform>
#include <array>
#include <cmath>
#include <cstdint>

#include "display/response_chart.h"
#include "skin/skin_drawing.h"
#include "skin/skin_fonts.h"

namespace kdsp::display {
namespace {

// Colours as alpha, red, green, blue.
struct Argb {
  std::uint8_t a, r, g, b;
};

constexpr Argb kHighPassFill{150, 218, 228, 246};
constexpr Argb kLowPassFill{150, 120, 100, 180};
// One per band; the sixteenth belongs to no band.
constexpr std::array<Argb, 16> kBandFills = {{{150, 229, 105, 106},
                                              {150, 197, 129, 46},
                                              {150, 64, 143, 91},
                                              {150, 57, 87, 185},
                                              {150, 210, 184, 22},
                                              {150, 171, 36, 168},
                                              {150, 28, 120, 32},
                                              {150, 87, 39, 175},
                                              {150, 40, 196, 161},
                                              {150, 220, 18, 18},
                                              {150, 238, 52, 210},
                                              {150, 162, 117, 38},
                                              {150, 52, 92, 114},
                                              {150, 96, 201, 27},
                                              {150, 240, 86, 32},
                                              {150, 255, 255, 0}}};
constexpr Argb kGridLine{120, 192, 192, 192};
constexpr Argb kFrame{180, 192, 192, 192};
constexpr Argb kLabelText{255, 255, 255, 255};
constexpr Argb kHandleText{255, 0, 0, 0};
constexpr Argb kSumLine{255, 255, 0, 0};
constexpr Argb kFilterHandle{200, 200, 200, 150};
constexpr Argb kSelectedOutline{200, 255, 255, 255};
constexpr Argb kSpectrumLine{255, 0, 100, 0};

constexpr qreal kMinorGridWidth = 0.3;
constexpr qreal kFrameWidth = 2.0;
constexpr qreal kMajorGridWidth = 1.5;
constexpr qreal kSumLineWidth = 2.5;
constexpr qreal kSelectedOutlineWidth = 2.0;
constexpr qreal kSpectrumLineWidth = 1.0;

constexpr int kLabelPixels = 10;
constexpr int kBandNumberPixels = 15;
constexpr int kFilterLetterPixels = 14;

// The text of a handle starts left of and above its centre; two-digit numbers start further left.
constexpr int kNumberShift = 7;
constexpr int kWideNumberShift = 12;
constexpr int kLetterShift = 5;
constexpr int kTextRise = 7;

QColor colourOf(Argb c) {
  return QColor(c.r, c.g, c.b, c.a);
}

QPen penOf(Argb c, qreal width) {
  QPen pen(colourOf(c), width);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

struct ChartFonts {
  QFont label = skin::MakeSkinFont(kLabelPixels, false);
  QFont bandNumber = skin::MakeSkinFont(kBandNumberPixels, false);
  QFont filterLetter = skin::MakeSkinFont(kFilterLetterPixels, false);
};

const ChartFonts& chartFonts() {
  static const ChartFonts fonts;
  return fonts;
}

// Thin lines and curves are stroked with whole coordinates at pixel centres, so a one-pixel line
// at x = 100 covers column 100 alone and a curve point at row y is drawn on row y. The frame,
// the handles and text keep whole coordinates at pixel corners: a 16-pixel handle then covers
// exactly the 16 x 16 pixels a press answers to.
void atPixelCentres(QPainter& painter) {
  painter.setWorldTransform(QTransform::fromTranslate(0.5, 0.5));
}
void atPixelCorners(QPainter& painter) {
  painter.resetTransform();
}

QRectF handleBox(ChartPoint centre) {
  const int half = kHandleSize / 2;
  return QRectF(centre.x - half, centre.y - half, kHandleSize, kHandleSize);
}

void strokeLines(QPainter& painter, std::span<const GridLine> lines, const QPen& pen) {
  painter.setPen(pen);
  for (const GridLine& line : lines) painter.drawLine(line.x1, line.y1, line.x2, line.y2);
}

void drawGrid(QPainter& painter, const ChartScale& scale) {
  const ChartGrid grid = makeGrid(scale);
  painter.setBrush(Qt::NoBrush);
  atPixelCentres(painter);
  strokeLines(painter, grid.minor, penOf(kGridLine, kMinorGridWidth));
  atPixelCorners(painter);
  painter.setPen(penOf(kFrame, kFrameWidth));
  painter.drawRect(scale.left, scale.top, scale.width, scale.height);
  atPixelCentres(painter);
  strokeLines(painter, grid.major, penOf(kGridLine, kMajorGridWidth));
  atPixelCorners(painter);
  for (const GridLabel& label : grid.labels) {
    skin::DrawTextAt(painter, QString::fromStdString(label.text), chartFonts().label,
                     colourOf(kLabelText), label.x, label.y);
  }
}

template <std::size_t N>
QPolygonF polygonOf(const std::array<ChartPointF, N>& points, int count) {
  QPolygonF polygon;
  polygon.reserve(count);
  for (int k = 0; k < count; ++k) polygon.append(QPointF(points[k].x, points[k].y));
  return polygon;
}

void fillOutline(QPainter& painter, const CurveOutline& outline, Argb colour) {
  atPixelCentres(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colourOf(colour));
  painter.drawPolygon(polygonOf(outline, kOutlinePoints), Qt::OddEvenFill);
}

void drawBandHandle(QPainter& painter, ChartPoint centre, int band) {
  atPixelCorners(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colourOf(kBandFills[band]));
  painter.drawEllipse(handleBox(centre));
  const int number = band + 1;
  const int shift = number < 10 ? kNumberShift : kWideNumberShift;
  skin::DrawTextAt(painter, QString::number(number), chartFonts().bandNumber, colourOf(kHandleText),
                   centre.x - shift, centre.y - kTextRise);
}

void drawFilterHandle(QPainter& painter, ChartPoint centre, const char* letter) {
  atPixelCorners(painter);
  painter.fillRect(handleBox(centre), colourOf(kFilterHandle));
  skin::DrawTextAt(painter, QString::fromLatin1(letter), chartFonts().filterLetter,
                   colourOf(kHandleText), centre.x - kLetterShift, centre.y - kTextRise);
}

// The line through the points, broken wherever a point has no finite position.
void strokeBrokenLine(QPainter& painter, std::span<const ChartPointF> points, const QPen& pen) {
  atPixelCentres(painter);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  QPolygonF run;
  auto flush = [&] {
    if (run.size() >= 2) painter.drawPolyline(run);
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

}  // namespace

void ResponseChart::paint(QPainter& page) {
  if (area.width <= 0 || area.height <= 0) return;
  computeCurves();
  computeSpectrum();

  QImage surface = skin::MakeSurface(area.width, area.height);
  {
    QPainter painter(&surface);
    skin::PrepareSurface(painter);
    const ChartScale s = scale();
    drawGrid(painter, s);

    const BandOrder order = bandOrder();
    for (int n = 0; n < order.count; ++n) {
      const int band = order.index[n];
      fillOutline(painter, bandCurves[band], kBandFills[band]);
      drawBandHandle(painter, bandHandles[band], band);
    }
    if (filterShown(selectedFilter)) {
      fillOutline(painter, filterCurves[selectedFilter],
                  selectedFilter == kHighPassHandle ? kHighPassFill : kLowPassFill);
    }
    if (anyShown()) {
      const SumLine sum = sumLine();
      strokeBrokenLine(painter, sum, penOf(kSumLine, kSumLineWidth));
    }
    for (int f : {kHighPassHandle, kLowPassHandle}) {
      if (filterShown(f)) drawFilterHandle(painter, filterHandles[f], f == 0 ? "H" : "L");
    }
    if (filterShown(selectedFilter)) {
      atPixelCorners(painter);
      painter.setPen(penOf(kSelectedOutline, kSelectedOutlineWidth));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(handleBox(filterHandles[selectedFilter]));
    }
    if (showSpectrum)
      strokeBrokenLine(painter, spectrumLine(), penOf(kSpectrumLine, kSpectrumLineWidth));
  }
  page.drawImage(bounds.x, bounds.y, surface);
}

}  // namespace kdsp::display
