// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the widget tests that move windows between screens of different scales:
// GoogleTest inside a QApplication on the offscreen platform with a screen at ratio 1 and one
// at ratio 2.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/scaled_screens.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!kdsp::testing::UseScaledOffscreenScreens()) return 1;
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
