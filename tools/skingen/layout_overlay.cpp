// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the control rectangles of the tables over a background.
#include "layout_overlay.h"

#include <QPainter>

#include "skin/main_window_layout.h"

namespace kdsp::skingen {
namespace {

void Outline(QPainter& p, const skin::LayoutRect& r) {
  p.setPen(QPen(QColor(255, 0, 200, 170), 1.0));
  p.setBrush(QColor(255, 0, 200, 40));
  p.drawRect(QRectF(r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1));
}

}  // namespace

void DrawMainOverlay(QImage& background) {
  QPainter p(&background);
  skin::main_layout::ForEachControl(
      [&](skin::main_layout::ControlKind, int, const skin::LayoutRect& r) { Outline(p, r); });
  Outline(p, {skin::main_layout::kVersionTextAt.x, skin::main_layout::kVersionTextAt.y, 40, 13});
}

void DrawPageOverlay(QImage& background, const skin::page_layout::PageLayout& page) {
  QPainter p(&background);
  skin::page_layout::ForEachControl(
      page, [&](skin::page_layout::ControlKind, int, const skin::LayoutRect& r) { Outline(p, r); });
  p.setPen(QPen(QColor(0, 255, 255, 160), 1.0, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(page.chart.x + 0.5, page.chart.y + 0.5, page.chart.w - 1, page.chart.h - 1));
  p.drawRect(QRectF(page.titleArea.x + 0.5, page.titleArea.y + 0.5, page.titleArea.w - 1,
                    page.titleArea.h - 1));
  if (page.id == settings::PageId::kMicEqualizer)
    Outline(p, {skin::page_layout::kMicEqModeCaptionAt.x, skin::page_layout::kMicEqModeCaptionAt.y,
                80, 14});
}

}  // namespace kdsp::skingen
