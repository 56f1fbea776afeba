// SPDX-License-Identifier: GPL-3.0-or-later
// A smoke run of the real program in a real X server (Xvfb): it starts with the simulated
// processor, shows its main window and saves what the screen shows of it.
#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "support/private_instance.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace kdsp {
namespace {

TEST(XvfbSmoke, TheMainWindowAppearsOnAScreen) {
  testing::TempDir temp;
  const auto shot = temp / "main.png";
  const testing::RunResult run =
      // A private instance name: a kdsp running elsewhere (the user's, another test's) is not
      // this one's first instance.
      testing::RunCommand("KDSP_INSTANCE_NAME=" + testing::PrivateInstanceName("xvfb-smoke") + " " +
                              XVFB_RUN + " -a -s '-screen 0 1280x800x24' " + KDSP_PATH +
                              " --simulate --screenshot '" + shot.string() + "'",
                          temp.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const QImage image(QString::fromStdString(shot.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(999, 600));
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 7)
    for (int x = 0; x < image.width(); x += 7) colours.insert(image.pixel(x, y));
  EXPECT_GT(colours.size(), 500u);  // a painted panel, not a blank or single-colour window
}

}  // namespace
}  // namespace kdsp
