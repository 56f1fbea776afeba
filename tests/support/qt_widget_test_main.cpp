// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the widget tests: GoogleTest inside a QApplication on the offscreen platform, so
// real windows receive real mouse, wheel and key events without a display.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
