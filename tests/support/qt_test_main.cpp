// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the Qt-side tests: GoogleTest inside a QCoreApplication, so that event loops,
// timers and socket notifiers work in every test.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
