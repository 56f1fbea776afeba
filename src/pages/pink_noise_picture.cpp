// SPDX-License-Identifier: GPL-3.0-or-later
// The output-layout picture of the pink-noise test, drawn with QPainter.
#include "pages/pink_noise_picture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "pages/dialog_widgets.h"
#include "skin/skin_colours.h"

namespace kdsp::pages {
namespace {

// The room is drawn like the chart screen of the pages, dark under the program's dark windows;
// only the check boxes stay white, as the caption calls them.
const QColor kFloorTop = skin::colour::kScreenTop.lighter(180);
const QColor kFloorBottom = skin::colour::kScreenBottom.lighter(180);
const QColor kFloorGrid(255, 255, 255, 14);
const QColor kWall = skin::colour::kCapTop;
const QColor kInk = skin::colour::kSilk;
const QColor kCabinetLight(0x4B, 0x54, 0x61);
const QColor kCabinetDark(0x22, 0x27, 0x2F);
const QColor kDriverRim(0x9A, 0xA4, 0xB2);
const QColor kBoxBorder(0x5B, 0x66, 0x75);
const QColor kBoxOn(0xD9, 0x3A, 0x78);  // pink: this output plays pink noise
const QColor kAccent(0x2F, 0x6F, 0xD6);

constexpr double kWallWidth = 5;
constexpr QSizeF kTowerSize{30, 46};
constexpr QSizeF kCenterSize{66, 24};
constexpr QSizeF kSubSize{34, 28};
constexpr double kSpeakerGap = 6;
constexpr QPointF kListener{231.5, 318};

QRectF BoxRect(const PinkNoiseOutput& output) {
  return QRectF(output.box.x, output.box.y, kPinkNoiseBoxSize.w, kPinkNoiseBoxSize.h);
}

QFont CaptionFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
  font.setPixelSize(11);
  font.setBold(true);
  return font;
}

void PaintRoom(QPainter& p, const QRectF& room) {
  QLinearGradient floor(room.topLeft(), room.bottomLeft());
  floor.setColorAt(0, kFloorTop);
  floor.setColorAt(1, kFloorBottom);
  p.fillRect(room, floor);
  // A faint floor grid gives the plan its scale without competing with the speakers.
  p.setPen(QPen(kFloorGrid, 1));
  for (double x = 25; x < room.width(); x += 25)
    p.drawLine(QPointF(x, 0), QPointF(x, room.height()));
  for (double y = 25; y < room.height(); y += 25)
    p.drawLine(QPointF(0, y), QPointF(room.width(), y));
  p.setPen(QPen(kWall, kWallWidth));
  p.setBrush(Qt::NoBrush);
  const double inset = kWallWidth / 2;
  p.drawRoundedRect(room.adjusted(inset, inset, -inset, -inset), 6, 6);
}

void PaintScreen(QPainter& p) {
  const QRectF screen(kListener.x() - 78, 54, 156, 22);
  QLinearGradient glass(screen.topLeft(), screen.bottomLeft());
  glass.setColorAt(0, QColor(0x3A, 0x44, 0x52));
  glass.setColorAt(1, QColor(0x14, 0x18, 0x1E));
  p.setPen(QPen(kCabinetDark, 1.5));
  p.setBrush(glass);
  p.drawRoundedRect(screen, 3, 3);
  p.setPen(QColor(0xB8, 0xC2, 0xCF));
  QFont font = CaptionFont();
  font.setPixelSize(9);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
  p.setFont(font);
  p.drawText(screen, Qt::AlignCenter, QStringLiteral("SCREEN"));
}

void PaintListener(QPainter& p) {
  // The sweet spot, then a sofa seen from above with the listener facing the screen.
  QRadialGradient spot(kListener, 70);
  spot.setColorAt(0, QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 40));
  spot.setColorAt(1, QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 0));
  p.setPen(Qt::NoPen);
  p.setBrush(spot);
  p.drawEllipse(kListener, 70, 70);

  const QRectF sofa(kListener.x() - 48, kListener.y() + 6, 96, 30);
  p.setPen(QPen(QColor(0x4A, 0x3C, 0x32), 1.5));
  p.setBrush(QColor(0x7A, 0x62, 0x50));
  p.drawRoundedRect(sofa, 7, 7);
  p.setBrush(QColor(0x94, 0x7A, 0x66));
  p.drawRoundedRect(sofa.adjusted(10, -4, -10, -12), 5, 5);

  p.setPen(QPen(kInk, 1.5));
  p.setBrush(QColor(0x7D, 0x8B, 0x9C));
  p.drawEllipse(QPointF(kListener.x(), kListener.y() + 6), 22, 11);  // shoulders
  p.setBrush(QColor(0xF0, 0xD2, 0xB4));
  p.drawEllipse(QPointF(kListener.x(), kListener.y()), 10, 10);  // head
  p.setBrush(kInk);
  p.drawPolygon(QPolygonF({QPointF(kListener.x() - 3, kListener.y() - 9),
                           QPointF(kListener.x() + 3, kListener.y() - 9),
                           QPointF(kListener.x(), kListener.y() - 14)}));  // facing the screen
}

void PaintDriver(QPainter& p, QPointF centre, double radius) {
  QRadialGradient cone(centre, radius);
  cone.setColorAt(0, QColor(0x6E, 0x78, 0x86));
  cone.setColorAt(0.55, QColor(0x2C, 0x32, 0x3B));
  cone.setColorAt(1, QColor(0x11, 0x14, 0x19));
  p.setPen(QPen(kDriverRim, 1.2));
  p.setBrush(cone);
  p.drawEllipse(centre, radius, radius);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x8C, 0x96, 0xA4));
  p.drawEllipse(centre, radius * 0.28, radius * 0.28);
}

void PaintCabinet(QPainter& p, const QRectF& r) {
  QLinearGradient body(r.topLeft(), r.topRight());
  body.setColorAt(0, kCabinetLight);
  body.setColorAt(1, kCabinetDark);
  p.setPen(QPen(QColor(0x12, 0x15, 0x1A), 1.2));
  p.setBrush(body);
  p.drawRoundedRect(r, 4, 4);
}

// The speaker's rectangle beside its box: towers and the centre speaker stand above the box,
// the subwoofer to its right where the wall leaves no room above.
QRectF SpeakerRect(const PinkNoiseOutput& o) {
  const QRectF box = BoxRect(o);
  switch (o.kind) {
    case SpeakerKind::kTower:
      return QRectF(QPointF(box.center().x() - kTowerSize.width() / 2,
                            box.top() - kSpeakerGap - kTowerSize.height()),
                    kTowerSize);
    case SpeakerKind::kCenter:
      return QRectF(QPointF(box.center().x() - kCenterSize.width() / 2,
                            box.top() - kSpeakerGap - kCenterSize.height()),
                    kCenterSize);
    case SpeakerKind::kSubwoofer:
      return QRectF(QPointF(box.right() + kSpeakerGap, box.center().y() - kSubSize.height() / 2),
                    kSubSize);
  }
  return {};
}

void PaintSpeaker(QPainter& p, const PinkNoiseOutput& o) {
  const QRectF r = SpeakerRect(o);
  PaintCabinet(p, r);
  switch (o.kind) {
    case SpeakerKind::kTower:
      PaintDriver(p, QPointF(r.center().x(), r.top() + 11), 5);
      PaintDriver(p, QPointF(r.center().x(), r.bottom() - 15), 10);
      break;
    case SpeakerKind::kCenter:
      PaintDriver(p, QPointF(r.left() + 14, r.center().y()), 8.5);
      PaintDriver(p, r.center(), 4.5);
      PaintDriver(p, QPointF(r.right() - 14, r.center().y()), 8.5);
      break;
    case SpeakerKind::kSubwoofer:
      PaintDriver(p, r.center(), 11);
      break;
  }
}

// Below the box, or right of the subwoofer.
void PaintCaption(QPainter& p, const PinkNoiseOutput& o) {
  const QString text = Text(o.name);
  p.setFont(CaptionFont());
  p.setPen(kInk);
  if (o.kind == SpeakerKind::kSubwoofer) {
    const QRectF speaker = SpeakerRect(o);
    p.drawText(QRectF(speaker.right() + kSpeakerGap, speaker.top(), 100, speaker.height()),
               Qt::AlignLeft | Qt::AlignVCenter, text);
    return;
  }
  const QRectF box = BoxRect(o);
  p.drawText(QRectF(box.center().x() - 50, box.bottom() + 3, 100, 16),
             Qt::AlignHCenter | Qt::AlignTop, text);
}

}  // namespace

void PaintPinkNoiseBox(QPainter& p, const QRectF& rect, bool on, bool hot) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = rect.adjusted(1, 1, -1, -1);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 40));
  p.drawRoundedRect(r.translated(0, 1), 4, 4);  // a soft drop shadow lifts the box off the floor
  p.setPen(QPen(hot ? kAccent : kBoxBorder, hot ? 2 : 1.5));
  p.setBrush(on ? kBoxOn : QColor(Qt::white));
  p.drawRoundedRect(r, 4, 4);
  if (on) {
    QPainterPath tick;
    tick.moveTo(r.left() + r.width() * 0.24, r.top() + r.height() * 0.52);
    tick.lineTo(r.left() + r.width() * 0.43, r.top() + r.height() * 0.72);
    tick.lineTo(r.left() + r.width() * 0.77, r.top() + r.height() * 0.30);
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  }
  p.restore();
}

QImage PinkNoisePicture() {
  QImage image(kPinkNoisePictureSize.w, kPinkNoisePictureSize.h,
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  PaintRoom(p, QRectF(0, 0, image.width(), image.height()));
  PaintScreen(p);
  PaintListener(p);
  for (const PinkNoiseOutput& output : kPinkNoiseOutputs) {
    PaintSpeaker(p, output);
    PaintPinkNoiseBox(p, BoxRect(output), false, false);
    PaintCaption(p, output);
  }
  return image;
}

}  // namespace kdsp::pages
