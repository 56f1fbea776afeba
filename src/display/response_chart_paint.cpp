// Painting the response chart: grid, band and filter areas, the summed line, the spectrum line
// and the handles, on an off-screen surface that reaches the page in one draw.
#include <QPainter>
#include <QPainterPath>
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

// The selected filter's area spans the whole plot below its curve: light enough that the grid
// stays readable through it.
constexpr Argb kHighPassFill{70, 218, 228, 246};
constexpr Argb kLowPassFill{70, 120, 100, 180};
// One per band, for its area; its handle takes the same colour opaque, so no line shows through
// the handle. The sixteenth belongs to no band.
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
constexpr Argb kFilterLetter{255, 0, 0, 0};
// Band numbers are light with a dark outline and the circle has a dark rim, so the number reads
// on every band colour, the yellow as well as the dark blue, and the handle stands off an area
// of its own colour.
constexpr Argb kBandNumber{255, 255, 255, 255};
constexpr Argb kBandNumberOutline{255, 0, 0, 0};
constexpr Argb kHandleRim{200, 0, 0, 0};
constexpr Argb kSumLine{255, 255, 0, 0};
constexpr Argb kFilterHandle{200, 200, 200, 150};
constexpr Argb kSelectedOutline{200, 255, 255, 255};
// Bright enough over the dark screen to read at a glance (about 11:1), and apart from the red sum
// line and the band colours.
constexpr Argb kSpectrumLine{255, 90, 230, 120};

constexpr qreal kMinorGridWidth = 0.3;
constexpr qreal kFrameWidth = 2.0;
constexpr qreal kMajorGridWidth = 1.5;
constexpr qreal kSumLineWidth = 2.5;
constexpr qreal kSelectedOutlineWidth = 2.0;
constexpr qreal kSpectrumLineWidth = 1.0;
constexpr qreal kBandNumberOutlineWidth = 2.0;
constexpr qreal kHandleRimWidth = 1.0;

constexpr int kLabelPixels = 10;
// Two digits need a smaller face than one to stay inside the 16-pixel circle with their outline.
constexpr int kBandNumberPixels = 12;
constexpr int kWideBandNumberPixels = 10;
constexpr int kFilterLetterPixels = 14;

// The letter of a filter handle starts left of and above its centre.
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
  QFont bandNumber = skin::MakeSkinFont(kBandNumberPixels, true);
  QFont wideBandNumber = skin::MakeSkinFont(kWideBandNumberPixels, true);
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

QColor opaque(Argb c) {
  return QColor(c.r, c.g, c.b);
}

void fillOutline(QPainter& painter, const CurveOutline& outline, Argb colour) {
  atPixelCentres(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colourOf(colour));
  painter.drawPolygon(polygonOf(outline, kOutlinePoints), Qt::OddEvenFill);
}

// The glyphs' own outline centred on the box, so one and two digits both sit in the middle.
QPainterPath centredText(const QString& text, const QFont& font, const QRectF& box) {
  QPainterPath path;
  path.addText(0, 0, font, text);
  return path.translated(box.center() - path.boundingRect().center());
}

void drawBandHandle(QPainter& painter, ChartPoint centre, int band) {
  atPixelCorners(painter);
  const QRectF box = handleBox(centre);
  const qreal rimInset = kHandleRimWidth / 2;
  painter.setPen(penOf(kHandleRim, kHandleRimWidth));
  painter.setBrush(opaque(kBandFills[band]));
  painter.drawEllipse(box.adjusted(rimInset, rimInset, -rimInset, -rimInset));

  const int number = band + 1;
  const QFont& font = number < 10 ? chartFonts().bandNumber : chartFonts().wideBandNumber;
  const QPainterPath text = centredText(QString::number(number), font, box);
  painter.strokePath(text, penOf(kBandNumberOutline, kBandNumberOutlineWidth));
  painter.fillPath(text, colourOf(kBandNumber));
}

void drawFilterHandle(QPainter& painter, ChartPoint centre, const char* letter) {
  atPixelCorners(painter);
  painter.fillRect(handleBox(centre), colourOf(kFilterHandle));
  skin::DrawTextAt(painter, QString::fromLatin1(letter), chartFonts().filterLetter,
                   colourOf(kFilterLetter), centre.x - kLetterShift, centre.y - kTextRise);
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

    // Areas and lines stay inside the plot, however far a sum or a filter's area reaches; the
    // handles lie above them all, unclipped, since a handle on an edge is still whole.
    painter.setClipRect(QRect(s.left, s.top, s.width, s.height));
    const BandOrder order = bandOrder();
    for (int n = 0; n < order.count; ++n) {
      const int band = order.index[n];
      fillOutline(painter, bandCurves[band], kBandFills[band]);
    }
    if (filterShown(selectedFilter)) {
      fillOutline(painter, filterCurves[selectedFilter],
                  selectedFilter == kHighPassHandle ? kHighPassFill : kLowPassFill);
    }
    if (anyShown()) {
      const SumLine sum = sumLine();
      strokeBrokenLine(painter, sum, penOf(kSumLine, kSumLineWidth));
    }
    if (showSpectrum)
      strokeBrokenLine(painter, spectrumLine(), penOf(kSpectrumLine, kSpectrumLineWidth));
    painter.setClipping(false);

    for (int n = 0; n < order.count; ++n) {
      const int band = order.index[n];
      drawBandHandle(painter, bandHandles[band], band);
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
  }
  page.drawImage(bounds.x, bounds.y, surface);
}

}  // namespace kdsp::display
