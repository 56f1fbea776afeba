// SPDX-License-Identifier: GPL-3.0-or-later
// The settings status as the main window paints it.
#include "app/settings_status_view.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "skin/main_window_layout.h"
#include "skin/skin_colours.h"

namespace kdsp::app {
namespace {

using namespace skin::main_layout;
namespace colour = skin::colour;

QRect ToQRect(const skin::LayoutRect& r) {
  return QRect(r.x, r.y, r.w, r.h);
}

// The tab's lamp: a short bar along its top, lit green with a soft halo, or dark.
void DrawTabLamp(QPainter& painter, const QRectF& tab, bool lit) {
  const QRectF lamp(tab.x() + 8, tab.y() + 4, tab.width() - 16, 3);
  if (lit) {
    QColor halo = colour::kLitGreen;
    halo.setAlpha(60);
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawRoundedRect(lamp.adjusted(-2, -1.5, 2, 1.5), 2.5, 2.5);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(lit ? colour::kLitGreen : colour::kUnlit);
  painter.drawRoundedRect(lamp, 1.5, 1.5);
}

void DrawTab(QPainter& painter, const skin::SkinFonts& fonts, int side, bool live) {
  const QRectF tab = QRectF(ToQRect(kSettingsSideTabs[side])).adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient cap(tab.topLeft(), tab.bottomLeft());
  cap.setColorAt(0, live ? colour::kCapTop.lighter(115) : colour::kCapTop);
  cap.setColorAt(1, colour::kCapBottom);
  painter.setPen(QPen(colour::kCapEdge, 1));
  painter.setBrush(cap);
  painter.drawRoundedRect(tab, 3, 3);
  DrawTabLamp(painter, tab, live);
  const std::string_view caption = kSettingsSideCaptions[side];
  painter.setFont(fonts.fontValue);
  painter.setPen(live ? colour::kSilk : colour::kSilkDim);
  painter.drawText(tab.adjusted(0, 7, 0, 0), Qt::AlignCenter,
                   QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
}

}  // namespace

QRect SettingsStatusBounds() {
  QRect bounds = ToQRect(kSettingsOriginRect) | ToQRect(kSettingsModifiedRect);
  for (const skin::LayoutRect& tab : kSettingsSideTabs) bounds |= ToQRect(tab);
  // The lamp's halo and the antialiased edges.
  return bounds.adjusted(-2, -2, 2, 2);
}

QString ShownOrigin(const SettingsStatus& status, const skin::SkinFonts& fonts) {
  return QFontMetrics(fonts.fontValue)
      .elidedText(QString::fromStdString(status.origin), Qt::ElideRight, kSettingsOriginRect.w);
}

void DrawSettingsStatus(QPainter& painter, const SettingsStatus& status,
                        const skin::SkinFonts& fonts) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (int side = 0; side < static_cast<int>(kSettingsSideTabs.size()); ++side)
    DrawTab(painter, fonts, side, side == status.liveSide);
  painter.setFont(fonts.fontValue);
  painter.setPen(colour::kSilk);
  painter.drawText(ToQRect(kSettingsOriginRect), Qt::AlignCenter, ShownOrigin(status, fonts));
  // What the processor plays matters more than what a file holds.
  const QString remark = !status.onProcessor
                             ? QApplication::translate("TForm1", "Not on the processor")
                         : status.modified ? QApplication::translate("TForm1", "Modified")
                                           : QString();
  if (!remark.isEmpty()) {
    painter.setFont(fonts.fontSmall);
    painter.setPen(colour::kLitAmber);
    painter.drawText(ToQRect(kSettingsModifiedRect), Qt::AlignCenter, remark);
  }
  painter.restore();
}

std::string SourceLine(const std::string& origin, bool onProcessor) {
  if (onProcessor) return origin;
  return QApplication::translate("TForm1", "%1 — not on the processor")
      .arg(QString::fromStdString(origin))
      .toStdString();
}

}  // namespace kdsp::app
