// SPDX-License-Identifier: GPL-3.0-or-later
// The translation sources in translations/: each message has a finished translation (none left
// empty, unfinished or kept after its text left the code, every plural form given, the same
// placeholders as the English, and Chinese written in Chinese), and lupdate run over the sources
// changes nothing, so no text of the program is missing from them.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <string>
#include <vector>

namespace kdsp {
namespace {

struct Message {
  QString context;
  QString source;
  QString type;  // the translation's type attribute: unfinished, vanished…
  bool numerus = false;
  QStringList translations;  // one, or one per plural form
  bool hasTranslation = false;
};

struct TsFile {
  QString language;
  std::vector<Message> messages;
  QString error;
};

TsFile Parse(const QByteArray& text) {
  TsFile file;
  QXmlStreamReader xml(text);
  QString context;
  Message message;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
      file.messages.push_back(message);
      continue;
    }
    if (!xml.isStartElement()) continue;
    const auto name = xml.name();
    if (name == QLatin1String("TS")) {
      file.language = xml.attributes().value("language").toString();
    } else if (name == QLatin1String("name")) {
      context = xml.readElementText();
    } else if (name == QLatin1String("message")) {
      message = Message{};
      message.context = context;
      message.numerus = xml.attributes().value("numerus") == QLatin1String("yes");
    } else if (name == QLatin1String("source")) {
      message.source = xml.readElementText();
    } else if (name == QLatin1String("translation")) {
      message.hasTranslation = true;
      message.type = xml.attributes().value("type").toString();
      if (!message.numerus) {
        message.translations << xml.readElementText();
      } else {
        while (xml.readNextStartElement()) message.translations << xml.readElementText();
      }
    }
  }
  if (xml.hasError()) file.error = xml.errorString();
  return file;
}

// How many plural forms a language has; Chinese has one.
int PluralForms(const QString& language) {
  return language.startsWith(QLatin1String("zh")) ? 1 : 2;
}

QSet<QString> Placeholders(const QString& text) {
  static const QRegularExpression placeholder(QStringLiteral("%(\\d+|n)"));
  QSet<QString> found;
  for (auto match = placeholder.globalMatch(text); match.hasNext();)
    found.insert(match.next().captured());
  return found;
}

bool HasWords(const QString& text) {
  static const QRegularExpression placeholder(QStringLiteral("%(\\d+|n)"));
  return QString(text).remove(placeholder).contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

bool HasHan(const QString& text) {
  for (const QChar c : text)
    if (c.script() == QChar::Script_Han) return true;
  return false;
}

std::vector<std::string> Problems(const QByteArray& text) {
  const TsFile file = Parse(text);
  std::vector<std::string> problems;
  if (!file.error.isEmpty()) return {"not a translation file: " + file.error.toStdString()};
  for (const Message& m : file.messages) {
    const std::string where = m.context.toStdString() + " \"" + m.source.toStdString() + "\": ";
    if (m.type == QLatin1String("unfinished")) problems.push_back(where + "unfinished");
    if (m.type == QLatin1String("vanished") || m.type == QLatin1String("obsolete"))
      problems.push_back(where + "no longer in the sources");
    if (m.numerus && m.translations.size() != PluralForms(file.language))
      problems.push_back(where + std::to_string(m.translations.size()) + " plural forms, not " +
                         std::to_string(PluralForms(file.language)));
    for (const QString& t : m.translations) {
      if (t.isEmpty()) {
        problems.push_back(where + "untranslated");
        continue;
      }
      if (Placeholders(t) != Placeholders(m.source))
        problems.push_back(where + "other placeholders in \"" + t.toStdString() + "\"");
      // A text with words in it is translated into Chinese words; "%1." may stay punctuation.
      if (file.language.startsWith(QLatin1String("zh")) && HasWords(m.source) && !HasHan(t))
        problems.push_back(where + "not written in Chinese: \"" + t.toStdString() + "\"");
    }
    if (!m.hasTranslation) problems.push_back(where + "untranslated");
  }
  return problems;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Languages() {
  return QString::fromLatin1(KDSP_TRANSLATIONS).split(',', Qt::SkipEmptyParts);
}

QString TsPath(const QString& folder, const QString& language) {
  return folder + QStringLiteral("/kdsp_") + language + QStringLiteral(".ts");
}

QByteArray Ts(const char* messages) {
  return QByteArray(R"(<?xml version="1.0" encoding="utf-8"?><!DOCTYPE TS>)"
                    R"(<TS version="2.1" language="zh_CN" sourcelanguage="en">)") +
         messages + "</TS>";
}

TEST(TranslationFilesTest, TheCheckFindsEveryKindOfUnfinishedTranslation) {
  const struct {
    const char* messages;
    std::vector<std::string> problems;
  } cases[] = {
      {"<context><name>M</name><message><source>Save</source><translation>保存</translation>"
       "</message></context>",
       {}},
      {"<context><name>M</name><message><source>Save</source>"
       "<translation type=\"unfinished\">保存</translation></message></context>",
       {"M \"Save\": unfinished"}},
      {"<context><name>M</name><message><source>Save</source>"
       "<translation type=\"vanished\">保存</translation></message></context>",
       {"M \"Save\": no longer in the sources"}},
      {"<context><name>M</name><message><source>Save</source>"
       "<translation type=\"obsolete\">保存</translation></message></context>",
       {"M \"Save\": no longer in the sources"}},
      {"<context><name>M</name><message><source>Save</source><translation></translation>"
       "</message></context>",
       {"M \"Save\": untranslated"}},
      {"<context><name>M</name><message><source>Save</source></message></context>",
       {"M \"Save\": untranslated"}},
      {"<context><name>M</name><message><source>Save</source><translation>Save</translation>"
       "</message></context>",
       {"M \"Save\": not written in Chinese: \"Save\""}},
      {"<context><name>M</name><message><source>%1.</source><translation>%1。</translation>"
       "</message></context>",
       {}},
      {"<context><name>M</name><message><source>slot %1 of %2</source>"
       "<translation>第 %1 个</translation></message></context>",
       {"M \"slot %1 of %2\": other placeholders in \"第 %1 个\""}},
      {"<context><name>M</name><message numerus=\"yes\"><source>%n points</source>"
       "<translation><numerusform>%n 个点</numerusform></translation></message></context>",
       {}},
      {"<context><name>M</name><message numerus=\"yes\"><source>%n points</source>"
       "<translation><numerusform>%n 个点</numerusform><numerusform>%n 个点</numerusform>"
       "</translation></message></context>",
       {"M \"%n points\": 2 plural forms, not 1"}},
      {"<context><name>M</name><message numerus=\"yes\"><source>%n points</source>"
       "<translation><numerusform></numerusform></translation></message></context>",
       {"M \"%n points\": untranslated"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Problems(Ts(c.messages)), c.problems) << c.messages;
}

TEST(TranslationFilesTest, EveryTextHasAFinishedTranslation) {
  ASSERT_FALSE(Languages().isEmpty());
  for (const QString& language : Languages()) {
    const QByteArray text = ReadFile(TsPath(KDSP_SOURCE_DIR "/translations", language));
    ASSERT_FALSE(text.isEmpty()) << language.toStdString();
    const TsFile file = Parse(text);
    EXPECT_EQ(file.language, language);
    EXPECT_GT(file.messages.size(), 100u);
    for (const std::string& problem : Problems(text))
      ADD_FAILURE() << language.toStdString() << ": " << problem;
  }
}

// The texts lupdate would add (the code has them, the translations do not) and drop.
TEST(TranslationFilesTest, TheTranslationsHoldEveryTextOfTheSources) {
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  QProcess update;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LUPDATE"), QStringLiteral(KDSP_LUPDATE));
  update.setProcessEnvironment(environment);
  update.start(QStringLiteral("bash"),
               {QStringLiteral(KDSP_SOURCE_DIR "/scripts/update-translations"),
                QStringLiteral("--into"), scratch.path()});
  ASSERT_TRUE(update.waitForFinished(-1));
  ASSERT_EQ(update.exitCode(), 0) << update.readAllStandardError().toStdString();

  for (const QString& language : Languages()) {
    const QByteArray kept = ReadFile(TsPath(KDSP_SOURCE_DIR "/translations", language));
    const QByteArray updated = ReadFile(TsPath(scratch.path(), language));
    ASSERT_FALSE(updated.isEmpty()) << language.toStdString();
    if (kept == updated) continue;
    QSet<QString> keptTexts, updatedTexts;
    for (const Message& m : Parse(kept).messages) keptTexts.insert(m.context + ": " + m.source);
    for (const Message& m : Parse(updated).messages)
      updatedTexts.insert(m.context + ": " + m.source);
    for (const QString& added : updatedTexts - keptTexts)
      ADD_FAILURE() << language.toStdString()
                    << ": not yet in the translations: " << added.toStdString();
    for (const QString& dropped : keptTexts - updatedTexts)
      ADD_FAILURE() << language.toStdString()
                    << ": no longer in the code: " << dropped.toStdString();
    ADD_FAILURE() << "run scripts/update-translations and translate what it adds";
  }
}

}  // namespace
}  // namespace kdsp
