// SPDX-License-Identifier: GPL-3.0-or-later
// The kdsp program answers --help and --version without starting anything graphical, so both
// work where there is no display.
#include <gtest/gtest.h>

#include <string>

#include "core/program_version.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

// No display of any kind: a program that opened a window here would abort.
const std::string kWithoutDisplay =
    "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " + std::string(KDSP_PATH);

TEST(KdspBinaryTest, HelpAndVersionNeedNoDisplay) {
  testing::TempDir temp;
  // In English whatever the machine's language.
  const testing::RunResult help = testing::RunCommand(
      "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=C " + kWithoutDisplay + " --help",
      temp.path());
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_TRUE(help.out.starts_with("usage: kdsp ")) << help.out;
  EXPECT_NE(help.out.find("--version"), std::string::npos);

  const testing::RunResult version =
      testing::RunCommand(kWithoutDisplay + " --version", temp.path());
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "kdsp " + std::string(core::kProgramVersion) + "\n");

  // After an option of Qt's own, which Qt takes before the program reads the rest.
  const testing::RunResult afterQt =
      testing::RunCommand(kWithoutDisplay + " -platform offscreen --version", temp.path());
  EXPECT_EQ(afterQt.status, 0) << afterQt.err;
  EXPECT_EQ(afterQt.out, "kdsp " + std::string(core::kProgramVersion) + "\n");
  const testing::RunResult helpAfterQt = testing::RunCommand(
      "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=C " + kWithoutDisplay +
          " -platform offscreen --help",
      temp.path());
  EXPECT_EQ(helpAfterQt.status, 0) << helpAfterQt.err;
  EXPECT_TRUE(helpAfterQt.out.starts_with("usage: kdsp ")) << helpAfterQt.out;
}

// The help speaks the desktop's language, in gettext's order of variables, unless --lang says
// otherwise; a language the program does not have is refused with the two it has.
TEST(KdspBinaryTest, HelpSpeaksTheDesktopLanguageOrTheOneAskedFor) {
  testing::TempDir temp;
  const struct {
    const char* environment;
    const char* arguments;
    const char* starts;
  } cases[] = {
      {"LANG=zh_CN.UTF-8", "--help", "用法：kdsp "},
      {"LANG=C LC_MESSAGES=zh_CN.UTF-8", "--help", "用法：kdsp "},
      {"LANG=zh_CN.UTF-8 LANGUAGE=zh_CN", "--help", "用法：kdsp "},
      {"LANG=C", "--help", "usage: kdsp "},
      {"LANG=C LANGUAGE=zh_CN", "--help", "usage: kdsp "},
      {"LANG=zh_CN.UTF-8 LC_ALL=en_US.UTF-8", "--help", "usage: kdsp "},
      {"LANG=zh_CN.UTF-8", "--lang en --help", "usage: kdsp "},
      {"LANG=C", "--help --lang zh_CN", "用法：kdsp "},
  };
  for (const auto& c : cases) {
    const testing::RunResult help = testing::RunCommand(
        "env -u LC_ALL -u LC_MESSAGES -u LANGUAGE " + std::string(c.environment) + " " +
            kWithoutDisplay + " " + c.arguments,
        temp.path());
    EXPECT_EQ(help.status, 0) << c.environment << " " << c.arguments << ": " << help.err;
    EXPECT_TRUE(help.out.starts_with(c.starts))
        << c.environment << " " << c.arguments << ": " << help.out;
  }

  const testing::RunResult refused = testing::RunCommand(
      "env QT_QPA_PLATFORM=offscreen LANG=C " + std::string(KDSP_PATH) + " --lang fr", temp.path());
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("kdsp: --lang takes en or zh_CN, not 'fr'\n"), std::string::npos)
      << refused.err;
  const testing::RunResult refusedInChinese = testing::RunCommand(
      "env QT_QPA_PLATFORM=offscreen LANG=zh_CN.UTF-8 " + std::string(KDSP_PATH) + " --lang fr",
      temp.path());
  EXPECT_EQ(refusedInChinese.status, 2);
  EXPECT_NE(refusedInChinese.err.find("kdsp: --lang 只接受 en 或 zh_CN，而不是“fr”\n"),
            std::string::npos)
      << refusedInChinese.err;
}

}  // namespace
}  // namespace kdsp::app
