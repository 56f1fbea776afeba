// SPDX-License-Identifier: GPL-3.0-or-later
// The application icon as skingen writes it for the icon theme: a bitmap painted at each size,
// and a scalable SVG that draws the same shapes in the same colours.
#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QXmlStreamReader>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app_icon.h"
#include "emblem.h"
#include "skin/skin_colours.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace kdsp {
namespace {

namespace fs = std::filesystem;

QImage Argb(const QImage& image) {
  return image.convertToFormat(QImage::Format_ARGB32);
}

int OpaquePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) == 255;
  return count;
}

class SkingenIconTest : public ::testing::Test {
 protected:
  testing::RunResult writeTheme(const fs::path& folder) {
    fs::create_directories(temp / "scratch");
    return testing::RunCommand(
        "QT_QPA_PLATFORM=offscreen '" SKINGEN_PATH "' --icon-dir '" + folder.string() + "'",
        temp / "scratch");
  }

  testing::TempDir temp;
};

// Each bitmap is the picture painted at its own size: a badge filling most of the square with
// clear corners, and not the large picture shrunk, which would blur its edges.
TEST_F(SkingenIconTest, EveryThemeSizeHoldsThePicturePaintedAtThatSize) {
  const fs::path theme = temp / "icons";
  const testing::RunResult result = writeTheme(theme);
  ASSERT_EQ(result.status, 0) << result.err;
  const QImage large = Argb(skingen::AppIconPicture(256));
  for (const int n : skingen::kAppIconSizes) {
    SCOPED_TRACE(n);
    const fs::path path = theme / (std::to_string(n) + "x" + std::to_string(n)) / "apps/kdsp.png";
    const QImage written = Argb(QImage(QString::fromStdString(path.string())));
    ASSERT_EQ(written.size(), QSize(n, n));
    EXPECT_EQ(written, Argb(skingen::AppIconPicture(n)));
    EXPECT_GT(OpaquePixels(written), n * n / 2);
    EXPECT_EQ(qAlpha(written.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(written.pixel(n - 1, n - 1)), 0);
    if (n != 256) {
      EXPECT_NE(written, Argb(large.scaled(n, n, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }
  }
  EXPECT_TRUE(fs::exists(theme / "scalable/apps/kdsp.svg"));
}

TEST_F(SkingenIconTest, AnIconFolderThatCannotBeMadeIsReported) {
  testing::WriteBytes(temp / "occupied", "a file where the folder should be");
  const testing::RunResult result = writeTheme(temp / "occupied" / "icons");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("cannot make"), std::string::npos) << result.err;
}

struct SvgIcon {
  QString viewBox;
  std::set<QString> colours;     // every stop, fill and stroke colour named
  std::vector<QRectF> bars;      // the rectangles, in viewBox units
  std::vector<QRectF> ellipses;  // their bounding squares
};

double Attribute(const QXmlStreamReader& xml, const char* name) {
  return xml.attributes().value(QLatin1String(name)).toDouble();
}

SvgIcon ReadSvg(const QString& text) {
  SvgIcon icon;
  QXmlStreamReader xml(text);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    for (const char* name : {"stop-color", "fill", "stroke"}) {
      const QString value = xml.attributes().value(QLatin1String(name)).toString();
      if (value.startsWith(QLatin1Char('#'))) icon.colours.insert(value);
    }
    if (xml.name() == QLatin1String("svg")) {
      icon.viewBox = xml.attributes().value(QLatin1String("viewBox")).toString();
    } else if (xml.name() == QLatin1String("rect")) {
      icon.bars.emplace_back(Attribute(xml, "x"), Attribute(xml, "y"), Attribute(xml, "width"),
                             Attribute(xml, "height"));
    } else if (xml.name() == QLatin1String("ellipse")) {
      const double rx = Attribute(xml, "rx"), ry = Attribute(xml, "ry");
      icon.ellipses.emplace_back(Attribute(xml, "cx") - rx, Attribute(xml, "cy") - ry, 2 * rx,
                                 2 * ry);
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return icon;
}

TEST(AppIconSvgTest, NamesTheColoursThePainterUses) {
  const SvgIcon svg = ReadSvg(skingen::AppIconSvg());
  EXPECT_EQ(svg.viewBox, QStringLiteral("0 0 256 256"));
  std::set<QString> painted;
  for (const skingen::EmblemShape& shape : skingen::EmblemShapes(QPointF(128, 128), 120)) {
    for (const skingen::GradientStop& stop : shape.fill) painted.insert(stop.colour.name());
    if (shape.strokeWidth > 0) painted.insert(shape.stroke.name());
  }
  EXPECT_EQ(svg.colours, painted);
  EXPECT_EQ(svg.colours.count(skin::colour::kLitAmber.name()), 1U);
}

// The SVG's shapes lie where the painter puts them: the 256 px bitmap is lit amber at the centre
// of every bar, dark between the bars, and clear outside the ring and its outline.
TEST(AppIconSvgTest, DrawsItsShapesWhereThePainterPaintsThem) {
  const SvgIcon svg = ReadSvg(skingen::AppIconSvg());
  ASSERT_EQ(svg.ellipses.size(), 2U);
  ASSERT_EQ(svg.bars.size(), 5U);
  const QImage painted = Argb(skingen::AppIconPicture(256));
  const auto at = [&](QPointF point) { return QColor(painted.pixel(point.toPoint())); };
  for (const QRectF& bar : svg.bars) {
    SCOPED_TRACE(bar.x());
    const QColor lit = at(bar.center());
    EXPECT_GT(lit.red(), 200);
    EXPECT_GT(lit.red() - lit.blue(), 60);
    EXPECT_LT(at(QPointF(bar.left() - 4, bar.center().y())).lightness(), 40);
  }
  const QRectF ring = svg.ellipses.front();
  EXPECT_EQ(qAlpha(painted.pixel(QPoint(128, int(ring.top()) - 5))), 0);
  EXPECT_EQ(qAlpha(painted.pixel(QPoint(128, int(ring.top()) + 4))), 255);
  EXPECT_EQ(qAlpha(painted.pixel(QPoint(int(ring.right()) + 5, 128))), 0);
}

}  // namespace
}  // namespace kdsp
