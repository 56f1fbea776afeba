// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote page's texts: every English text of index.html and remote.js is in the table
// the program translates, the table holds nothing the page does not show, and no text of the
// script bypasses the translation.
#include "remote/web/page_texts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <string>

namespace kdsp::web {
namespace {

QString Resource(const char* path) {
  QFile file(QString::fromLatin1(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QSet<QString> Captured(const QString& text, const char* pattern) {
  QSet<QString> found;
  const QRegularExpression expression(QString::fromLatin1(pattern));
  for (auto it = expression.globalMatch(text); it.hasNext();) found.insert(it.next().captured(1));
  return found;
}

// The texts the page marks for translation: elements with data-text, data-text-label values,
// the script's t("…") and the control labels it passes through t().
QSet<QString> MarkedTexts(const QString& page, const QString& script) {
  return Captured(page, R"re(<[a-z0-9]+\b[^>]*\sdata-text(?:\s[^>]*)?>([^<]*)<)re") +
         Captured(page, R"re(\sdata-text-label="([^"]*)")re") +
         Captured(script, R"re(\bt\(\s*"((?:[^"\\]|\\.)*)")re") +
         Captured(script, R"re(\blabel: "([^"]+)")re");
}

TEST(PageTextsTest, TheTableHoldsExactlyThePagesTexts) {
  const QString page = Resource(":/remote/index.html");
  const QString script = Resource(":/remote/remote.js");
  ASSERT_FALSE(page.isEmpty());
  ASSERT_FALSE(script.isEmpty());
  QSet<QString> table;
  for (const char* text : PageTexts()) table.insert(QString::fromUtf8(text));
  EXPECT_EQ(table.size(), static_cast<qsizetype>(PageTexts().size())) << "a text twice";
  const QSet<QString> marked = MarkedTexts(page, script);
  for (const QString& text : marked - table)
    ADD_FAILURE() << "the page shows \"" << text.toStdString() << "\", which is not in the table";
  for (const QString& text : table - marked)
    ADD_FAILURE() << "the table holds \"" << text.toStdString() << "\", which the page lacks";
}

TEST(PageTextsTest, TheScriptShowsNoTextPastTheTranslation) {
  const QString script = Resource(":/remote/remote.js");
  // A literal given to the page's text, a toast, a message or an error goes through t().
  const QRegularExpression bypass(
      R"re((?:textContent\s*=|toast\(|unpaired\(|RequestError\(\d+,|return)\s*"[A-Za-z])re");
  for (auto it = bypass.globalMatch(script); it.hasNext();)
    ADD_FAILURE() << it.next().captured().toStdString();
  // The scanner itself sees such a text.
  EXPECT_TRUE(bypass.match(QStringLiteral(R"re(el.textContent = "Paired";)re")).hasMatch());
  EXPECT_FALSE(bypass.match(QStringLiteral(R"re(el.textContent = t("Paired");)re")).hasMatch());
}

TEST(PageTextsTest, WithoutATranslationEachTextIsItsOwn) {
  const QJsonObject page = TranslatedPageTexts(QStringLiteral("en"));
  const QJsonObject texts = page.value("texts").toObject();
  ASSERT_EQ(texts.size(), static_cast<qsizetype>(PageTexts().size()));
  for (const char* text : PageTexts())
    EXPECT_EQ(texts.value(QString::fromUtf8(text)).toString(), QString::fromUtf8(text));
  EXPECT_EQ(page.value("language").toString(), QStringLiteral("en"));
}

}  // namespace
}  // namespace kdsp::web
