// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the program's language and installing its translators.
#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace kdsp::app {
namespace {

// The catalogue built into the program (translations/CMakeLists.txt puts it there).
constexpr char kCatalogueFolder[] = ":/translations";

std::string_view Set(const char* value) {
  return value == nullptr ? std::string_view() : std::string_view(value);
}

// "zh_CN.UTF-8@mod" less its encoding and modifier: "zh_CN".
std::string_view LanguagePart(std::string_view locale) {
  return locale.substr(0, locale.find_first_of(".@"));
}

bool IsPlainLocale(std::string_view locale) {
  const std::string_view name = LanguagePart(locale);
  return name == "C" || name == "POSIX";
}

// The translators of the running application; replaced on every change of language.
struct Installed {
  std::unique_ptr<QTranslator> program;
  std::unique_ptr<QTranslator> qt;
};

Installed& Current() {
  static Installed installed;
  return installed;
}

void Remove(std::unique_ptr<QTranslator>& translator) {
  if (translator) QCoreApplication::removeTranslator(translator.get());
  translator.reset();
}

}  // namespace

std::string_view LanguageCode(Language language) {
  return language == Language::kChinese ? "zh_CN" : "en";
}

std::optional<Language> LanguageNamed(std::string_view code) {
  if (code == "en") return Language::kEnglish;
  if (code == "zh_CN") return Language::kChinese;
  return std::nullopt;
}

std::optional<Language> LanguageOfLocale(std::string_view locale) {
  std::string name(LanguagePart(locale));
  for (char& c : name)
    if (c == '-') c = '_';
  // Simplified Chinese: the language alone, mainland China, Singapore and the Hans script.
  if (name == "zh" || name == "zh_CN" || name == "zh_SG" || name.starts_with("zh_Hans"))
    return Language::kChinese;
  if (name == "en" || name.starts_with("en_")) return Language::kEnglish;
  return std::nullopt;
}

Language LanguageFromEnvironment(const EnvironmentLookup& lookup) {
  std::string_view locale;
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = Set(lookup(variable));
    if (!locale.empty()) break;
  }
  if (locale.empty() || IsPlainLocale(locale)) return Language::kEnglish;
  const std::string_view preferences = Set(lookup("LANGUAGE"));
  if (!preferences.empty()) {
    for (std::size_t start = 0; start <= preferences.size();) {
      const std::size_t colon = std::min(preferences.find(':', start), preferences.size());
      if (const auto language = LanguageOfLocale(preferences.substr(start, colon - start)))
        return *language;
      start = colon + 1;
    }
    return Language::kEnglish;
  }
  return LanguageOfLocale(locale).value_or(Language::kEnglish);
}

Language LanguageFromEnvironment() {
  return LanguageFromEnvironment([](const char* name) { return std::getenv(name); });
}

bool UseLanguage(Language language) {
  Installed& installed = Current();
  Remove(installed.program);
  Remove(installed.qt);
  if (language == Language::kEnglish) return true;

  const QString code = QString::fromLatin1(LanguageCode(language));
  auto program = std::make_unique<QTranslator>();
  if (!program->load(QStringLiteral("kdsp_") + code, kCatalogueFolder)) return false;
  QCoreApplication::installTranslator(program.get());
  installed.program = std::move(program);

  auto qt = std::make_unique<QTranslator>();
  if (qt->load(QStringLiteral("qtbase_") + code,
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qt.get());
    installed.qt = std::move(qt);
  }
  return true;
}

QString InstalledLanguageTag() {
  const Installed& installed = Current();
  if (!installed.program) return QStringLiteral("en");
  return installed.program->language().replace('_', '-');
}

std::string TranslateText(const char* context, const char* english) {
  return QCoreApplication::translate(context, english).toStdString();
}

}  // namespace kdsp::app
