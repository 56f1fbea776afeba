// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the connection indicator and the logo.
#include "indicators.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "cap_drawing.h"
#include "emblem.h"
#include "panel_drawing.h"
#include "panel_style.h"

namespace kdsp::skingen {
namespace {

// Two interlocked links across the lens, scaled to the lens radius.
void DrawChain(QPainter& p, QPointF c, double r, const QColor& ink) {
  p.save();
  p.translate(c);
  p.rotate(-45);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(ink, r * 0.15, Qt::SolidLine, Qt::RoundCap));
  const double w = r * 0.78;
  const double h = r * 0.42;
  p.drawRoundedRect(QRectF(-w + r * 0.12, -h / 2, w, h), h / 2, h / 2);
  p.drawRoundedRect(QRectF(-r * 0.12, -h / 2, w, h), h / 2, h / 2);
  p.restore();
}

}  // namespace

QImage LinkPicture(int size, LinkLamp lamp, int scale) {
  const bool on = lamp == LinkLamp::kOn;
  QImage image = Transparent(size, size, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QPointF c(size / 2.0, size / 2.0);
  const double outer = size / 2.0 - 2;
  const double lens = outer * 0.8;
  // Chrome bezel.
  QLinearGradient chrome(c - QPointF(0, outer), c + QPointF(0, outer));
  chrome.setColorAt(0, QColor(0xd8, 0xdc, 0xe0));
  chrome.setColorAt(0.5, QColor(0x5c, 0x61, 0x68));
  chrome.setColorAt(1, QColor(0x22, 0x25, 0x29));
  p.setPen(QPen(QColor(0, 0, 0, 220), outer * 0.03));
  p.setBrush(chrome);
  p.drawEllipse(c, outer, outer);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x08, 0x09, 0x0a));
  p.drawEllipse(c, lens + outer * 0.06, lens + outer * 0.06);
  // Lens.
  QRadialGradient glass(c - QPointF(lens * 0.25, lens * 0.3), lens * 1.35);
  QColor chain;
  switch (lamp) {
    case LinkLamp::kOn:
      glass.setColorAt(0, QColor(0xe8, 0xff, 0xee));
      glass.setColorAt(0.35, colour::kLitGreen);
      glass.setColorAt(1, colour::kLitGreen.darker(260));
      chain = QColor(0x0b, 0x3a, 0x18);
      break;
    case LinkLamp::kOff:
      glass.setColorAt(0, QColor(0x3c, 0x34, 0x34));
      glass.setColorAt(1, QColor(0x0e, 0x0c, 0x0c));
      chain = QColor(0x6a, 0x5c, 0x5c);
      break;
    case LinkLamp::kWithoutAccess:
      // A warning glow, dimmer than the lit lamp, so it reads as neither on nor off.
      glass.setColorAt(0, QColor(0xff, 0xe2, 0x9a));
      glass.setColorAt(0.35, colour::kLitAmber.darker(130));
      glass.setColorAt(1, colour::kLitAmber.darker(360));
      chain = QColor(0x3a, 0x24, 0x08);
      break;
  }
  p.setBrush(glass);
  p.drawEllipse(c, lens, lens);
  DrawChain(p, c, lens, chain);
  if (lamp == LinkLamp::kWithoutAccess) {
    // The link struck through across the chain, outlined so it stands off the amber glass.
    const QPointF from = c + QPointF(-lens, -lens) * 0.6;
    const QPointF to = c + QPointF(lens, lens) * 0.6;
    p.setPen(QPen(QColor(0x1a, 0x06, 0x04), lens * 0.26, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    p.setPen(QPen(colour::kLitRed, lens * 0.16, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    p.setPen(Qt::NoPen);
  }
  // Reflection on the upper lens.
  QLinearGradient gloss(c - QPointF(0, lens), c);
  gloss.setColorAt(0, QColor(255, 255, 255, on ? 150 : lamp == LinkLamp::kOff ? 70 : 110));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  p.setBrush(gloss);
  p.drawEllipse(QRectF(c.x() - lens * 0.62, c.y() - lens * 0.92, lens * 1.24, lens * 0.8));
  return image;
}

QImage LogoPicture(int width, int height, int scale) {
  QImage image = Transparent(width, height, scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  PaintEmblem(p, EmblemShapes(QPointF(height / 2.0, height / 2.0), height / 2.0 - 3));
  // The word mark and the line below it.
  const double textLeft = height + 4;
  DrawLabel(p, QStringLiteral("KDSP"), QPointF(textLeft - 1, 24), Qt::AlignLeft,
            {27, true, colour::kSilk, 2.5});
  p.fillRect(QRectF(textLeft, 28, width - textLeft - 3, 1.2), colour::kSilkAccent);
  DrawLabel(p, QStringLiteral("KARAOKE DSP"), QPointF(textLeft, 32), Qt::AlignLeft | Qt::AlignTop,
            {8, true, colour::kSilkDim, 2.2});
  return image;
}

}  // namespace kdsp::skingen
