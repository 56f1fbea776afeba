// SPDX-License-Identifier: GPL-3.0-or-later
// Two screens side by side on the offscreen platform, one at device pixel ratio 1 and one at 2,
// so checks and benchmarks put a real window on a screen of either scale and move it between
// them as a user drags a window from a laptop's panel to an external monitor. Call
// UseScaledOffscreenScreens before the application object exists.
#pragma once

#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QWidget>
#include <cmath>

namespace kdsp::testing {

inline constexpr int kScreenWidth = 1920;
inline constexpr int kScreenHeight = 1080;

// Writes the screens into a file of the temporary folder and points the offscreen platform at
// it, unless the caller chose another platform. Returns false when the file cannot be written.
inline bool UseScaledOffscreenScreens() {
  const char* chosen = getenv("QT_QPA_PLATFORM");
  if (chosen != nullptr && *chosen != '\0' && QString::fromLocal8Bit(chosen) != "offscreen")
    return true;
  const QString path = QDir::temp().filePath(
      QStringLiteral("kdsp-scaled-screens-%1.json").arg(QCoreApplication::applicationPid()));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const QString screen = QStringLiteral(
      R"({"name": "%1", "x": %2, "y": 0, "width": %3, "height": %4, "logicalDpi": 96,)"
      R"( "logicalBaseDpi": 96, "dpr": %5})");
  const QString json =
      QStringLiteral(R"({"screens": [%1, %2]})")
          .arg(screen.arg("standard").arg(0).arg(kScreenWidth).arg(kScreenHeight).arg(1),
               screen.arg("sharp").arg(kScreenWidth).arg(kScreenWidth).arg(kScreenHeight).arg(2));
  if (file.write(json.toUtf8()) < 0) return false;
  file.close();
  setenv("QT_QPA_PLATFORM", qPrintable(QStringLiteral("offscreen:configfile=") + path), 1);
  return true;
}

// The screen of a ratio, or none.
inline QScreen* ScreenOfRatio(qreal ratio) {
  for (QScreen* screen : QGuiApplication::screens())
    if (std::abs(screen->devicePixelRatio() - ratio) < 1e-6) return screen;
  return nullptr;
}

// Moves a window onto the screen of a ratio and lets it take that ratio. False when there is no
// such screen or the window did not follow within two seconds.
inline bool MoveToScreenOfRatio(QWidget& window, qreal ratio) {
  QScreen* screen = ScreenOfRatio(ratio);
  if (screen == nullptr) return false;
  window.move(screen->geometry().topLeft() + QPoint(40, 40));
  QElapsedTimer waited;
  waited.start();
  while (std::abs(window.devicePixelRatioF() - ratio) > 1e-6 && waited.elapsed() < 2000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  QApplication::processEvents();
  return std::abs(window.devicePixelRatioF() - ratio) < 1e-6;
}

}  // namespace kdsp::testing
