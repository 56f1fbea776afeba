// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote page's texts. The page is written in English; the program serves its own
// translation of every text at /texts.json, and the page shows those instead once loaded, so the
// phone speaks the program's language.
#pragma once

#include <QJsonObject>
#include <span>

namespace kdsp::web {

// Every text of the page, in English: the ones index.html marks with data-text and the ones
// remote.js passes through its t(). %1 stands for a number or a name the page puts in.
std::span<const char* const> PageTexts();

// What /texts.json answers: {"texts": {english: translation, …}, "language": languageTag}, the
// texts in the installed language and its tag as <html lang> takes it ("en", "zh-CN"): a phone
// needs it to draw Chinese with Chinese glyph forms.
QJsonObject TranslatedPageTexts(const QString& languageTag);

}  // namespace kdsp::web
