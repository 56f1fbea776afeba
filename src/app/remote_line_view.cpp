// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote's line as the main window paints it.
#include "app/remote_line_view.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include "skin/main_window_layout.h"
#include "skin/skin_colours.h"

namespace kdsp::app {
namespace {

using namespace skin::main_layout;
namespace colour = skin::colour;

QRectF ToRectF(const skin::LayoutRect& r) {
  return QRectF(r.x, r.y, r.w, r.h);
}

// The strip: an LCD window cut into the panel, dark lip above, light lip below.
void DrawStrip(QPainter& painter) {
  const QRectF strip = ToRectF(kRemoteLineRect).adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient fill(strip.topLeft(), strip.bottomLeft());
  fill.setColorAt(0, colour::kLcdTop);
  fill.setColorAt(1, colour::kLcdBottom);
  painter.setPen(QPen(colour::kEngraveLight, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(strip.translated(0, 1), 4, 4);
  painter.setPen(QPen(colour::kEngraveDark, 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(strip, 4, 4);
}

// A round lamp, lit green with a soft halo, or dark.
void DrawLamp(QPainter& painter, bool lit) {
  const QRectF lamp = ToRectF(kRemoteLampRect);
  painter.setPen(Qt::NoPen);
  if (lit) {
    QColor halo = colour::kLitGreen;
    halo.setAlpha(70);
    painter.setBrush(halo);
    painter.drawEllipse(lamp.adjusted(-2.5, -2.5, 2.5, 2.5));
  }
  painter.setBrush(lit ? colour::kLitGreen : colour::kUnlit);
  painter.drawEllipse(lamp);
}

}  // namespace

QRect RemoteLineBounds() {
  // The light lip below the strip and the antialiased edges.
  const skin::LayoutRect& r = kRemoteLineRect;
  return QRect(r.x, r.y, r.w, r.h).adjusted(-1, -1, 1, 2);
}

void DrawRemoteLine(QPainter& painter, const RemoteLine& line, const skin::SkinFonts& fonts) {
  if (!line.serving) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  DrawStrip(painter);
  DrawLamp(painter, line.phoneConnected);

  painter.setFont(fonts.fontValue);
  painter.setPen(colour::kSilkAccent);
  painter.drawText(ToRectF(kRemoteCaptionRect), Qt::AlignLeft | Qt::AlignVCenter,
                   QApplication::translate("TForm1", "PHONE REMOTE"));
  const QRectF url = ToRectF(kRemoteUrlRect);
  painter.setPen(colour::kSilk);
  painter.drawText(url, Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(fonts.fontValue)
                       .elidedText(QString::fromStdString(line.url), Qt::ElideMiddle,
                                   static_cast<int>(url.width())));

  painter.setFont(fonts.fontSmall);
  painter.setPen(colour::kSilkDim);
  painter.drawText(ToRectF(kRemoteCodeCaptionRect), Qt::AlignRight | Qt::AlignVCenter,
                   QApplication::translate("TForm1", "PAIRING CODE"));
  // The code on a lit display of its own, spaced so it reads digit by digit.
  const QRectF display = ToRectF(kRemoteCodeRect);
  QLinearGradient fill(display.topLeft(), display.bottomLeft());
  fill.setColorAt(0, colour::kLcdActiveTop);
  fill.setColorAt(1, colour::kLcdActiveBottom);
  painter.setPen(QPen(colour::kLcdActiveEdge.darker(170), 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(display.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  QFont digits = fonts.fontValue;
  digits.setLetterSpacing(QFont::AbsoluteSpacing, 3);
  painter.setFont(digits);
  painter.setPen(colour::kLitBlue);
  painter.drawText(display, Qt::AlignCenter, QString::fromStdString(line.code));
  painter.restore();
}

}  // namespace kdsp::app
