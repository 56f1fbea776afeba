// SPDX-License-Identifier: GPL-3.0-or-later
// Composed texts reach the user whole in the user's language: the pattern translated, the file
// names and numbers kept, the values that are texts of their own translated in turn.
#include "app/composed_messages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>
#include <string>

#include "app/language.h"
#include "device/device_link.h"
#include "display/filter_fit.h"
#include "settings/calibration_file.h"
#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"
#include "settings/safe_file_write.h"
#include "settings/setting_file.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

// A small catalogue of its own, so that what is translated is plain to see.
std::string Lookup(std::string_view english) {
  static const std::map<std::string, std::string, std::less<>> kCatalogue{
      {"Can't write %1: %2", "W(%1|%2)"},
      {"%1: %2", "F(%1|%2)"},
      {"line %1: %2 in \"%3\"", "L(%1|%2|%3)"},
      {"unknown filter type '%1'", "T(%1)"},
      {"no filter type", "NT"},
      {"Nothing was changed.", "NC"},
  };
  const auto found = kCatalogue.find(english);
  return found == kCatalogue.end() ? std::string(english) : found->second;
}

TEST(ComposedMessagesTest, PatternsAndTheirTextValuesAreTranslated) {
  const struct {
    std::string_view english;
    std::string_view expected;
  } cases[] = {
      {"Nothing was changed.", "NC"},
      {"Can't write /a/b.aex: No space left on device", "W(/a/b.aex|No space left on device)"},
      // A value that is a text of its own is translated too, to any depth.
      {"x.txt: line 3: no filter type in \"Filter 1: ON\"", "F(x.txt|L(3|NT|Filter 1: ON))"},
      {"x.txt: line 4: unknown filter type 'ZZ' in \"Filter 2: ON ZZ\"",
       "F(x.txt|L(4|T(ZZ)|Filter 2: ON ZZ))"},
      // Several lines are read line by line.
      {"Can't write /x: full\nNothing was changed.", "W(/x|full)\nNC"},
      {"first\n\nNothing was changed.\n", "first\n\nNC\n"},
      // What fits no pattern and no text stays as it is.
      {"/home/user/preset.aex", "/home/user/preset.aex"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TranslateComposed(c.english, MessagePatterns(), Lookup), c.expected);
}

TEST(ComposedMessagesTest, WithoutACatalogueEveryMessageStaysAsItIs) {
  const auto english = [](std::string_view text) { return std::string(text); };
  for (std::string_view text :
       {"Can't write /a: b: c", "x.txt: line 3: no filter type in \"Filter 1: ON\"", "a\nb"}) {
    EXPECT_EQ(TranslateComposed(text, MessagePatterns(), english), text);
  }
}

// A message is never read as a step name, nor a step name as a message.
TEST(ComposedMessagesTest, MessagesAndStepNamesAreKeptApart) {
  const auto patternsMarked = [](std::string_view text) {
    return text.find('%') != std::string_view::npos ? std::string("<").append(text).append(">")
                                                    : std::string(text);
  };
  EXPECT_EQ(TranslateComposed("Load x.aex", StepNamePatterns(), patternsMarked), "<Load x.aex>");
  EXPECT_EQ(TranslateComposed("Load x.aex", MessagePatterns(), patternsMarked), "Load x.aex");
  EXPECT_EQ(TranslateComposed("Can't read x", MessagePatterns(), patternsMarked), "<Can't read x>");
  EXPECT_EQ(TranslateComposed("Can't read x", StepNamePatterns(), patternsMarked), "Can't read x");
}

class ChineseMessagesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(UseLanguage(Language::kChinese)); }
  void TearDown() override { UseLanguage(Language::kEnglish); }

  static std::string Chinese(std::string_view english) {
    return TranslateComposed(english, MessagePatterns(), [](std::string_view text) {
      return QCoreApplication::translate("Messages", std::string(text).c_str()).toStdString();
    });
  }

  testing::TempDir temp_;
};

TEST_F(ChineseMessagesTest, EveryPatternHasItsTranslation) {
  for (Patterns patterns : {MessagePatterns(), StepNamePatterns()}) {
    for (const ComposedPattern& composed : patterns) {
      const std::string pattern(composed.pattern);
      EXPECT_NE(QCoreApplication::translate("Messages", pattern.c_str()).toStdString(), pattern);
    }
  }
}

// The working parts' own messages, as they make them, in Chinese.
TEST_F(ChineseMessagesTest, TheWorkingPartsMessagesArriveInChinese) {
  const std::string folder = (temp_.path() / "gone").string();
  const settings::WriteResult written =
      settings::WriteFileSafely(temp_.path() / "gone" / "a.aex", std::string_view("x"));
  ASSERT_FALSE(written);
  EXPECT_EQ(Chinese(written.message).rfind("无法写入 " + folder + "/a.aex：", 0), 0u)
      << Chinese(written.message);

  settings::ParameterBlock block;
  const std::uint8_t shortImage[10] = {};
  const settings::SettingFileLoad load =
      settings::DecodeSettingFile(shortImage, "/p/short.aex", block);
  EXPECT_EQ(Chinese(load.message), "设置文件太短：/p/short.aex（10 字节，应为 " +
                                       std::to_string(settings::kSettingFileSize) + " 字节）");

  const std::filesystem::path filters = temp_.path() / "eq.txt";
  testing::WriteBytes(filters, "Filter 1: ON ZZ Fc 100 Hz\n");
  const display::FilterFileFit fit =
      display::FitFilterFile(filters, settings::FactoryDefaults(),
                             settings::Page(settings::PageId::kMusicEqualizer), false);
  ASSERT_FALSE(fit.ok());
  EXPECT_EQ(Chinese(fit.error + "\nNothing was changed."),
            filters.string() + "：第 1 行：未知的滤波器类型“ZZ”，见“Filter 1: ON ZZ Fc 100 Hz”\n" +
                "未作任何更改。");

  const settings::CalibrationRead calibration = settings::ParseCalibration("20 1\n10 2\n");
  EXPECT_EQ(Chinese(calibration.error), "校准文件第 2 行的频率不大于上一行：“10 2”");

  const std::string access = Chinese(device::PermissionProblemText("/dev/hidraw3", "denied"));
  EXPECT_EQ(access.rfind("处理器已连接在 /dev/hidraw3，但当前用户无权打开它（denied）。", 0), 0u)
      << access;
  EXPECT_NE(access.find("TAG+=\"uaccess\""), std::string::npos) << access;
}

}  // namespace
}  // namespace kdsp::app
