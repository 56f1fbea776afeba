// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the buttons and value-box windows.
#include "buttons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "cap_drawing.h"
#include "panel_drawing.h"
#include "panel_style.h"

namespace kdsp::skingen {
namespace {

// Three small faders: the symbol of the buttons that open an effect page.
void DrawPageSymbol(QPainter& p, QPointF centre, const QColor& colour) {
  p.save();
  p.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap));
  const double knobY[3] = {3, -4, 1};
  for (int i = 0; i < 3; ++i) {
    const double x = centre.x() + (i - 1) * 6.5;
    p.drawLine(QPointF(x, centre.y() - 7), QPointF(x, centre.y() + 7));
    p.fillRect(QRectF(x - 2.5, centre.y() + knobY[i] - 1.5, 5, 3), colour);
  }
  p.restore();
}

QPainterPath SpeakerPath(QPointF c, double s) {
  QPainterPath path;
  path.moveTo(c + QPointF(-7, -3) * s);
  path.lineTo(c + QPointF(-3, -3) * s);
  path.lineTo(c + QPointF(2, -8) * s);
  path.lineTo(c + QPointF(2, 8) * s);
  path.lineTo(c + QPointF(-3, 3) * s);
  path.lineTo(c + QPointF(-7, 3) * s);
  path.closeSubpath();
  return path;
}

}  // namespace

QImage PageButtonPicture(bool pressed, int scale) {
  QImage image = Transparent(42, 41, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  // The picture leaves a margin: the Control section places these 38 pixels apart.
  const QRectF cap(4, 3.5, 34, 33);
  DrawCap(p, cap, pressed, 5);
  const QColor symbol = pressed ? colour::kLitAmber : colour::kSilk;
  if (pressed) DrawGlow(p, cap.center() + QPointF(0, 1), 12, colour::kLitAmber, 70);
  DrawPageSymbol(p, cap.center() + QPointF(0, pressed ? 1 : 0), symbol);
  return image;
}

QImage SpeakerPicture(bool on, int scale) {
  QImage image = Transparent(43, 42, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF cap(3, 3, 37, 36);
  DrawCap(p, cap, false, 6);
  const QPointF c = cap.center() + QPointF(-3, 0);
  if (on) {
    DrawGlow(p, cap.center(), 16, colour::kLitGreen, 90);
    p.fillPath(SpeakerPath(c, 1.0), colour::kLitGreen);
    p.setPen(QPen(colour::kLitGreen, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 2; ++i) {
      const double r = 4.0 * i + 1;
      p.drawArc(QRectF(c.x() + 2 - r, c.y() - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
  } else {
    p.fillPath(SpeakerPath(c, 1.0), colour::kSilkDim.darker(150));
    p.setPen(QPen(QColor(0xc0, 0x4a, 0x40), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(6, -4), c + QPointF(13, 3));
    p.drawLine(c + QPointF(6, 3), c + QPointF(13, -4));
  }
  return image;
}

QImage MutePicture(bool on, int scale) {
  QImage image = Transparent(31, 30, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF cap(2, 2, 27, 26);
  DrawCap(p, cap, false, 5);
  DrawLens(p, cap.center(), 6.5, on ? colour::kLitGreen : QColor(), on);
  return image;
}

QImage TitleButtonPicture(TitleGlyph glyph, int scale) {
  QImage image = Transparent(25, 23, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF cap(1.5, 1.5, 22, 20);
  DrawCap(p, cap, false, 4);
  p.setPen(QPen(colour::kSilk, 2.0, Qt::SolidLine, Qt::RoundCap));
  const QPointF c = cap.center();
  if (glyph == TitleGlyph::kClose) {
    p.drawLine(c + QPointF(-4.5, -4.5), c + QPointF(4.5, 4.5));
    p.drawLine(c + QPointF(-4.5, 4.5), c + QPointF(4.5, -4.5));
  } else {
    p.drawLine(c + QPointF(-5, 4), c + QPointF(5, 4));
  }
  return image;
}

QImage PresetsPicture(bool pressed, int scale) {
  QImage image = Transparent(58, 59, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF cap(4, 4, 50, 50);
  DrawCap(p, cap, pressed, 8);
  const QPointF shift(0, pressed ? 1 : 0);
  const QColor ink = pressed ? colour::kLitAmber : colour::kSilk;
  if (pressed) DrawGlow(p, cap.center(), 20, colour::kLitAmber, 60);
  // A stack of slots above the word.
  p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 3; ++i)
    p.drawLine(cap.center() + shift + QPointF(-9, -14 + 5 * i),
               cap.center() + shift + QPointF(9, -14 + 5 * i));
  DrawLabel(p, QStringLiteral("PRESETS"), cap.center() + shift + QPointF(0, 8),
            Qt::AlignHCenter | Qt::AlignVCenter, {9, true, ink, 0.6});
  return image;
}

QImage EqPassPicture(bool pressed, int scale) {
  QImage image = Transparent(78, 35, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF cap(3, 3, 72, 29);
  DrawCap(p, cap, pressed, 5);
  const QColor ink = pressed ? colour::kLitAmber : colour::kSilk;
  if (pressed) DrawGlow(p, cap.center(), 26, colour::kLitAmber, 60);
  DrawLabel(p, QStringLiteral("EQPass"), cap.center() + QPointF(0, pressed ? 1 : 0),
            Qt::AlignHCenter | Qt::AlignVCenter, {12, true, ink, 0.5});
  return image;
}

namespace {

// The three response shapes in a box of 10 × 7 with its bottom-left at `at`.
void DrawStripGlyph(QPainter& p, StripGlyph glyph, QPointF at, const QColor& ink) {
  if (glyph == StripGlyph::kNone) return;
  QPainterPath path;
  switch (glyph) {
    case StripGlyph::kPeak:
      path.moveTo(at);
      path.cubicTo(at + QPointF(4, 0), at + QPointF(3.5, -7), at + QPointF(5, -7));
      path.cubicTo(at + QPointF(6.5, -7), at + QPointF(6, 0), at + QPointF(10, 0));
      break;
    case StripGlyph::kLowShelf:
      path.moveTo(at + QPointF(0, -6));
      path.lineTo(at + QPointF(3, -6));
      path.cubicTo(at + QPointF(5, -6), at + QPointF(5, 0), at + QPointF(7, 0));
      path.lineTo(at + QPointF(10, 0));
      break;
    case StripGlyph::kHighShelf:
      path.moveTo(at);
      path.lineTo(at + QPointF(3, 0));
      path.cubicTo(at + QPointF(5, 0), at + QPointF(5, -6), at + QPointF(7, -6));
      path.lineTo(at + QPointF(10, -6));
      break;
    case StripGlyph::kNone:
      break;
  }
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.restore();
}

}  // namespace

QImage StripButtonPicture(const QString& label, StripGlyph glyph, bool lit, const QColor& lamp,
                          int scale) {
  QImage image = Transparent(39, 20, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF cap(1, 1, 37, 18);
  if (lit) {
    DrawLitFace(p, cap, 3, lamp);
  } else {
    DrawCap(p, cap, false, 3);
  }
  const QColor ink = lit ? QColor(0x14, 0x10, 0x08) : colour::kSilkDim;
  const TextStyle style{10, true, ink, 0.4};
  if (glyph == StripGlyph::kNone) {
    DrawLabel(p, label, cap.center() + QPointF(0, 0.5), Qt::AlignHCenter | Qt::AlignVCenter, style);
  } else {
    DrawStripGlyph(p, glyph, QPointF(6, 13.5), ink);
    DrawLabel(p, label, QPointF(27, cap.center().y() + 0.5), Qt::AlignHCenter | Qt::AlignVCenter,
              style);
  }
  return image;
}

QImage ValueBoxPicture(int width, int height, bool active, int scale) {
  QImage image = Transparent(width, height, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF outer(0.5, 0.5, width - 1, height - 1);
  // The bezel: dark above, a light lip below, as a window cut into the plate.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 200));
  p.drawRoundedRect(outer, 2.5, 2.5);
  const QRectF glass = outer.adjusted(1, 1, -1, -1);
  QLinearGradient fill(glass.topLeft(), glass.bottomLeft());
  fill.setColorAt(0, active ? colour::kLcdActiveTop : colour::kLcdTop);
  fill.setColorAt(1, active ? colour::kLcdActiveBottom : colour::kLcdBottom);
  p.setBrush(fill);
  p.drawRoundedRect(glass, 2, 2);
  // A faint reflection across the upper half of the glass.
  QLinearGradient gloss(glass.topLeft(), glass.topLeft() + QPointF(0, glass.height() / 2));
  gloss.setColorAt(0, QColor(255, 255, 255, 22));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  p.setBrush(gloss);
  p.drawRoundedRect(QRectF(glass.left(), glass.top(), glass.width(), glass.height() / 2), 2, 2);
  p.setBrush(Qt::NoBrush);
  if (active) {
    p.setPen(QPen(colour::kLcdActiveEdge, 1.2));
    p.drawRoundedRect(glass.adjusted(0.2, 0.2, -0.2, -0.2), 2, 2);
  } else {
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
    p.drawLine(QPointF(outer.left() + 2, outer.bottom()),
               QPointF(outer.right() - 2, outer.bottom()));
  }
  return image;
}

}  // namespace kdsp::skingen
