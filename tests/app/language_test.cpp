// SPDX-License-Identifier: GPL-3.0-or-later
// The program's language from the environment, in gettext's order, and from --lang.
#include "app/language.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/command_line.h"

namespace kdsp::app {
namespace {

using Environment = std::map<std::string, std::string>;

Language From(const Environment& environment) {
  return LanguageFromEnvironment([&](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  });
}

TEST(LanguageTest, TheEnvironmentChoosesAsGettextDoes) {
  constexpr Language en = Language::kEnglish, zh = Language::kChinese;
  const struct {
    Environment environment;
    Language expected;
  } cases[] = {
      {{}, en},
      {{{"LANG", "zh_CN.UTF-8"}}, zh},
      {{{"LANG", "zh_CN.utf8"}}, zh},
      {{{"LANG", "zh_CN"}}, zh},
      {{{"LANG", "zh"}}, zh},
      {{{"LANG", "zh_SG.UTF-8"}}, zh},
      {{{"LANG", "zh_Hans"}}, zh},
      {{{"LANG", "zh-Hans-CN"}}, zh},
      {{{"LANG", "zh_CN.GB18030@stroke"}}, zh},
      {{{"LANG", "zh_TW.UTF-8"}}, en},  // traditional characters: no catalogue
      {{{"LANG", "zh_HK.UTF-8"}}, en},
      {{{"LANG", "de_DE.UTF-8"}}, en},
      {{{"LANG", "C"}}, en},
      {{{"LANG", "en_GB.UTF-8"}}, en},
      // LC_ALL over LC_MESSAGES over LANG; an empty value counts as unset.
      {{{"LANG", "zh_CN.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, en},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "zh_CN.UTF-8"}}, zh},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}, {"LC_ALL", "zh_CN.UTF-8"}}, zh},
      {{{"LANG", "zh_CN.UTF-8"}, {"LC_ALL", "C"}}, en},
      {{{"LANG", "zh_CN.UTF-8"}, {"LC_ALL", ""}}, zh},
      {{{"LANG", "zh_CN.UTF-8"}, {"LC_ALL", "C.UTF-8"}}, en},
      {{{"LANG", "zh_CN.UTF-8"}, {"LC_ALL", "POSIX"}}, en},
      // LANGUAGE's list comes first, but not under the C locale nor without a locale.
      {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "zh_CN"}}, zh},
      {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "fr:de:zh_CN:en"}}, zh},
      {{{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", "fr:en_GB:zh_CN"}}, en},
      {{{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", "fr:de"}}, en},
      {{{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", ""}}, zh},
      {{{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", ":zh_SG:"}}, zh},
      {{{"LANG", "C"}, {"LANGUAGE", "zh_CN"}}, en},
      {{{"LANGUAGE", "zh_CN"}}, en},
      {{{"LC_ALL", "de_DE.UTF-8"}, {"LANGUAGE", "zh"}}, zh},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& [name, value] : c.environment) shown += name + "=" + value + " ";
    EXPECT_EQ(From(c.environment), c.expected) << shown;
  }
}

TEST(LanguageTest, LangNamesOneOfTheTwoLanguagesAndNothingElse) {
  const auto parse = [](QStringList args) { return ParseCommandLine(QStringList{"kdsp"} + args); };
  EXPECT_EQ(parse({"--lang", "en"}).language, Language::kEnglish);
  EXPECT_EQ(parse({"--lang", "zh_CN"}).language, Language::kChinese);
  EXPECT_FALSE(parse({}).language.has_value());
  for (const char* bad : {"zh", "fr", "EN", "zh_TW", ""})
    EXPECT_EQ(parse({"--lang", bad}).error,
              std::string("--lang takes en or zh_CN, not '") + bad + "'");
  EXPECT_NE(parse({"--lang"}).error, "");
  EXPECT_NE(CommandLineHelp().find("--lang en|zh_CN"), std::string::npos);
  EXPECT_EQ(LanguageCode(Language::kChinese), "zh_CN");
  EXPECT_EQ(LanguageCode(Language::kEnglish), "en");
}

}  // namespace
}  // namespace kdsp::app
