// SPDX-License-Identifier: GPL-3.0-or-later
// Building the dark theme from the skin's colours and font.
#include "skin/dark_theme.h"

#include <QApplication>
#include <QStyleFactory>
#include <QToolTip>

#include "skin/skin_colours.h"
#include "skin/skin_fonts.h"

namespace kdsp::skin {
namespace {

// `share` of b mixed into a.
QColor Mix(const QColor& a, const QColor& b, double share) {
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * share),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * share),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * share));
}

// The panel between its lighter top and darker bottom.
QColor PanelFace() {
  return Mix(colour::kPanelTop, colour::kPanelBottom, 0.5);
}
QColor CapFace() {
  return Mix(colour::kCapTop, colour::kCapBottom, 0.4);
}
// Selections: the LCD's active edge, dimmed enough to carry silk-screen text.
QColor Selection() {
  return Mix(colour::kLcdActiveEdge, colour::kPanelBottom, 0.55);
}
QColor DisabledText() {
  return Mix(colour::kSilkDim, colour::kPanelBottom, 0.55);
}

}  // namespace

QPalette DarkPalette() {
  QPalette p;
  const QColor panel = PanelFace();
  p.setColor(QPalette::Window, panel);
  p.setColor(QPalette::WindowText, colour::kSilk);
  p.setColor(QPalette::Base, colour::kLcdTop);
  p.setColor(QPalette::AlternateBase, colour::kScreenTop.lighter(140));
  p.setColor(QPalette::Text, colour::kSilk);
  p.setColor(QPalette::PlaceholderText, colour::kSilkDim);
  p.setColor(QPalette::Button, CapFace());
  p.setColor(QPalette::ButtonText, colour::kSilk);
  p.setColor(QPalette::BrightText, colour::kLitRed);
  p.setColor(QPalette::Highlight, Selection());
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, colour::kLitBlue);
  p.setColor(QPalette::LinkVisited, colour::kLcdActiveEdge);
  p.setColor(QPalette::ToolTipBase, colour::kPanelTop);
  p.setColor(QPalette::ToolTipText, colour::kSilk);
  // The bevels Fusion draws from these.
  p.setColor(QPalette::Light, colour::kCapTop.lighter(130));
  p.setColor(QPalette::Midlight, colour::kCapTop);
  p.setColor(QPalette::Mid, colour::kCapBottom);
  p.setColor(QPalette::Dark, colour::kCapEdge);
  p.setColor(QPalette::Shadow, Qt::black);
  for (const QPalette::ColorRole role :
       {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
    p.setColor(QPalette::Disabled, role, DisabledText());
  p.setColor(QPalette::Disabled, QPalette::Base, panel);
  p.setColor(QPalette::Disabled, QPalette::Button, panel);
  p.setColor(QPalette::Disabled, QPalette::Highlight, colour::kUnlit);
  return p;
}

QFont StandardWindowFont() {
  return MakeSkinFont(kStandardWindowFontPixels, false);
}

void ApplyDarkTheme() {
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(fusion);
  const QPalette palette = DarkPalette();
  QApplication::setPalette(palette);
  QToolTip::setPalette(palette);
  QApplication::setFont(StandardWindowFont());
}

}  // namespace kdsp::skin
