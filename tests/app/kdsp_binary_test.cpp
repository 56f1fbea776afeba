// The kdsp program answers --help and --version without starting anything graphical, so both
// work where there is no display.
#include <gtest/gtest.h>

#include <string>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

// No display of any kind: a program that opened a window here would abort.
const std::string kWithoutDisplay =
    "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " + std::string(KDSP_PATH);

TEST(KdspBinaryTest, HelpAndVersionNeedNoDisplay) {
  testing::TempDir temp;
  const testing::RunResult help = testing::RunCommand(kWithoutDisplay + " --help", temp.path());
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_TRUE(help.out.starts_with("usage: kdsp ")) << help.out;
  EXPECT_NE(help.out.find("--version"), std::string::npos);

  const testing::RunResult version =
      testing::RunCommand(kWithoutDisplay + " --version", temp.path());
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "kdsp " KDSP_VERSION "\n");
}

}  // namespace
}  // namespace kdsp::app
