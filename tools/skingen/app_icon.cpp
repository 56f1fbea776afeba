// SPDX-License-Identifier: GPL-3.0-or-later
// The application icon: painted at each theme size and written as SVG text from the same shapes.
#include "app_icon.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include "cap_drawing.h"
#include "emblem.h"

namespace kdsp::skingen {
namespace {

// The badge leaves a thin margin, so the ring's outline is not clipped at the square's edge.
std::vector<EmblemShape> IconShapes(double size) {
  return EmblemShapes(QPointF(size / 2.0, size / 2.0), size / 2.0 - size / 32.0);
}

QString Number(double value) {
  return QString::number(value, 'g', 6);
}

// SVG takes the colour as #rrggbb and its alpha as a separate opacity.
QString Hex(const QColor& colour) {
  return colour.name(QColor::HexRgb);
}
QString Opacity(const QColor& colour) {
  return Number(colour.alphaF());
}

QString GradientElement(const EmblemShape& shape, const QString& id) {
  QString text = QStringLiteral(
                     "  <linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"%2\" "
                     "y1=\"%3\" x2=\"%4\" y2=\"%5\">\n")
                     .arg(id, Number(shape.gradientFrom.x()), Number(shape.gradientFrom.y()),
                          Number(shape.gradientTo.x()), Number(shape.gradientTo.y()));
  for (const GradientStop& stop : shape.fill) {
    text += QStringLiteral("    <stop offset=\"%1\" stop-color=\"%2\"")
                .arg(Number(stop.at), Hex(stop.colour));
    if (stop.colour.alpha() != 255) {
      text += QStringLiteral(" stop-opacity=\"%1\"").arg(Opacity(stop.colour));
    }
    text += QStringLiteral("/>\n");
  }
  return text + QStringLiteral("  </linearGradient>\n");
}

// The shape's fill: its own colour when flat, else the gradient defined under id.
QString FillAttributes(const EmblemShape& shape, const QString& id) {
  if (shape.fill.size() != 1) return QStringLiteral(" fill=\"url(#%1)\"").arg(id);
  const QColor& colour = shape.fill.front().colour;
  QString text = QStringLiteral(" fill=\"%1\"").arg(Hex(colour));
  if (colour.alpha() != 255) text += QStringLiteral(" fill-opacity=\"%1\"").arg(Opacity(colour));
  return text;
}

QString ShapeElement(const EmblemShape& shape, const QString& id) {
  const QRectF& b = shape.bounds;
  QString text;
  switch (shape.kind) {
    case EmblemShape::Kind::kEllipse:
      text = QStringLiteral(" <ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"")
                 .arg(Number(b.center().x()), Number(b.center().y()), Number(b.width() / 2),
                      Number(b.height() / 2));
      break;
    case EmblemShape::Kind::kRoundedRect:
      text = QStringLiteral(" <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\"")
                 .arg(Number(b.x()), Number(b.y()), Number(b.width()), Number(b.height()),
                      Number(shape.cornerRadius));
      break;
  }
  text += FillAttributes(shape, id);
  if (shape.strokeWidth > 0) {
    text += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"")
                .arg(Hex(shape.stroke), Number(shape.strokeWidth));
    if (shape.stroke.alpha() != 255) {
      text += QStringLiteral(" stroke-opacity=\"%1\"").arg(Opacity(shape.stroke));
    }
  }
  return text + QStringLiteral("/>\n");
}

bool WriteFile(const QString& path, const QByteArray& bytes, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    error = QStringLiteral("cannot write %1").arg(path);
    return false;
  }
  return true;
}

// Makes <folder>/<theme size>/apps and gives the icon's path in it.
bool IconPath(const QString& folder, const QString& themeSize, const QString& suffix, QString& path,
              QString& error) {
  const QString apps = QDir(folder).filePath(themeSize + QStringLiteral("/apps"));
  if (!QDir().mkpath(apps)) {
    error = QStringLiteral("cannot make %1").arg(apps);
    return false;
  }
  path = QDir(apps).filePath(QStringLiteral("kdsp.") + suffix);
  return true;
}

}  // namespace

QImage AppIconPicture(int size) {
  QImage image = Transparent(size, size, 1);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  PaintEmblem(p, IconShapes(size));
  return image;
}

QString AppIconSvg() {
  const std::vector<EmblemShape> shapes = IconShapes(kAppIconViewBox);
  QString defs;
  QString body;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const QString id = QStringLiteral("fill%1").arg(i);
    if (shapes[i].fill.size() != 1) defs += GradientElement(shapes[i], id);
    body += ShapeElement(shapes[i], id);
  }
  const QString side = QString::number(kAppIconViewBox);
  return QStringLiteral(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
             "viewBox=\"0 0 %1 %1\">\n"
             " <defs>\n%2 </defs>\n%3</svg>\n")
      .arg(side, defs, body);
}

bool WriteAppIconTheme(const QString& folder, QString& error) {
  QString path;
  for (const int size : kAppIconSizes) {
    if (!IconPath(folder, QStringLiteral("%1x%1").arg(size), QStringLiteral("png"), path, error)) {
      return false;
    }
    if (!AppIconPicture(size).save(path, "PNG")) {
      error = QStringLiteral("cannot write %1").arg(path);
      return false;
    }
  }
  return IconPath(folder, QStringLiteral("scalable"), QStringLiteral("svg"), path, error) &&
         WriteFile(path, AppIconSvg().toUtf8(), error);
}

}  // namespace kdsp::skingen
