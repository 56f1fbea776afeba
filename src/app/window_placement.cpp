// SPDX-License-Identifier: GPL-3.0-or-later
// Placing pages and dialogs on their first showing.
#include "app/window_placement.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <array>
#include <limits>

#include "skin/main_window_layout.h"

namespace kdsp::app {
namespace {

// Room left between a window and the controls it keeps clear of.
constexpr int kClearance = 8;

QRect ToQRect(const skin::LayoutRect& r) {
  return QRect(r.x, r.y, r.w, r.h);
}

// The Presets button and the LINK lamp, in screen coordinates, with their clearance.
QRect KeptVisible(const QRect& mainWindow) {
  const QRect both = ToQRect(skin::main_layout::PresetsButtonRect()) |
                     ToQRect(skin::main_layout::kLinkIndicatorRect);
  return both.translated(mainWindow.topLeft())
      .adjusted(-kClearance, -kClearance, kClearance, kClearance);
}

// The top-left corner moved just enough to keep the window on the screen; a window larger than
// the screen keeps its top-left corner on it.
QPoint OnScreen(QPoint at, QSize size, const QRect& screen) {
  const int x = std::max(screen.left(), std::min(at.x(), screen.right() + 1 - size.width()));
  const int y = std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - size.height()));
  return {x, y};
}

class FirstShowPlacer : public QObject {
 public:
  FirstShowPlacer(QWidget& window, const QWidget& mainWindow)
      : QObject(&window), window_(window), mainWindow_(&mainWindow) {
    window_.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Show) {
      place();
      // Once placed, the window keeps whatever place the user gives it.
      window_.removeEventFilter(this);
      deleteLater();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void place() {
    if (mainWindow_.isNull()) return;
    const QScreen* screen = mainWindow_->screen();
    if (screen == nullptr) return;
    window_.move(FirstPlacement(mainWindow_->frameGeometry(), screen->availableGeometry(),
                                window_.frameGeometry().size()));
  }

  QWidget& window_;
  QPointer<const QWidget> mainWindow_;
};

}  // namespace

QPoint FirstPlacement(const QRect& mainWindow, const QRect& screen, QSize size) {
  const QPoint centred = OnScreen(screen.topLeft() + QPoint((screen.width() - size.width()) / 2,
                                                            (screen.height() - size.height()) / 2),
                                  size, screen);
  const QRect keep = KeptVisible(mainWindow);
  const std::array<QPoint, 5> candidates{
      centred,
      {keep.left() - size.width(), centred.y()},  // to the left of them
      {keep.right() + 1, centred.y()},            // to the right
      {centred.x(), keep.top() - size.height()},  // above
      {centred.x(), keep.bottom() + 1},           // below
  };
  QPoint best = centred;
  int bestDistance = std::numeric_limits<int>::max();
  for (const QPoint& candidate : candidates) {
    const QRect placed(OnScreen(candidate, size, screen), size);
    if (!screen.contains(placed) || placed.intersects(keep)) continue;
    const int distance = (placed.topLeft() - centred).manhattanLength();
    if (distance < bestDistance) {
      best = placed.topLeft();
      bestDistance = distance;
    }
  }
  return best;
}

void PlaceOnFirstShow(QWidget& window, const QWidget& mainWindow) {
  new FirstShowPlacer(window, mainWindow);
}

void ShowInFront(QWidget& window) {
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace kdsp::app
