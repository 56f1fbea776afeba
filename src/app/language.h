// SPDX-License-Identifier: GPL-3.0-or-later
// The language the program speaks: English (the source texts) or Simplified Chinese, chosen
// from the desktop's locale as gettext chooses it, or by --lang; and the translators that make
// Qt speak it.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kdsp::app {

enum class Language { kEnglish, kChinese };

// The names --lang takes, which are also the catalogues' suffixes: "en" and "zh_CN".
std::string_view LanguageCode(Language language);
std::optional<Language> LanguageNamed(std::string_view code);

// A locale or LANGUAGE entry ("zh_CN.UTF-8", "zh_Hans", "de_DE@euro") as one of the program's
// languages; nothing for a language the program has no catalogue of.
std::optional<Language> LanguageOfLocale(std::string_view locale);

// The environment's value of a variable, or null when it is unset.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// gettext's order: the locale of messages is LC_ALL, else LC_MESSAGES, else LANG (empty values
// count as unset); under the C or POSIX locale everything is English. Otherwise LANGUAGE, a
// colon-separated list of preferences, is read first: its first entry the program has a catalogue
// for wins, and a list naming none gives English. Without LANGUAGE the locale itself decides.
Language LanguageFromEnvironment(const EnvironmentLookup& lookup);
// The same, from the process's environment.
Language LanguageFromEnvironment();

// Makes the running application speak the language: the program's catalogue (built into the
// program) and Qt's own (standard buttons, the file dialog) are installed, replacing whatever an
// earlier call installed; English removes them. False when the program's catalogue cannot be
// loaded; Qt's own is best effort, as a Qt without its translations still works.
bool UseLanguage(Language language);

// The installed language's tag as web pages name it: "en" or "zh-CN".
QString InstalledLanguageTag();

// A text marked QT_TRANSLATE_NOOP(context, …) or KDSP_TRANSLATE_NOOP in the installed language,
// for code below Qt that asks for its texts' translation (settings::TextTranslation).
std::string TranslateText(const char* context, const char* english);

}  // namespace kdsp::app
