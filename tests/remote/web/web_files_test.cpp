// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the phone remote's page files: every address the server answers leads to a file the
// program carries, with its content type; the page asks only for those addresses and loads
// nothing from outside the program.
#include "remote/web/web_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <string>
#include <string_view>

namespace kdsp::web {
namespace {

QString Resource(std::string_view path) {
  QFile file(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

struct Served {
  std::string_view url;
  std::string_view resource;
  std::string_view contentType;
};

TEST(WebFilesTest, EveryAddressLeadsToAFileThatIsThere) {
  const Served expected[] = {
      {"/", ":/remote/index.html", "text/html; charset=utf-8"},
      {"/remote.js", ":/remote/remote.js", "application/javascript"},
      {"/remote.css", ":/remote/remote.css", "text/css"},
      {"/icon.svg", ":/remote/icon.svg", "image/svg+xml"},
  };
  ASSERT_EQ(WebFiles().size(), std::size(expected));
  for (const Served& row : expected) {
    SCOPED_TRACE(std::string(row.url));
    const WebFile* file = FindWebFile(row.url);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->resourcePath, row.resource);
    EXPECT_EQ(file->contentType, row.contentType);
    EXPECT_FALSE(Resource(file->resourcePath).isEmpty());
  }
}

TEST(WebFilesTest, OtherAddressesHaveNoFile) {
  for (std::string_view url : {"", "/index.html", "/remote", "/remote.js/", "/REMOTE.JS",
                               "/api/v1/state", "/../remote.js", "remote.js", "/icon.svg?x=1"}) {
    EXPECT_EQ(FindWebFile(url), nullptr) << url;
  }
}

// Every src and href of the page, and every url() of its style.
QStringList References(const QString& text) {
  QStringList found;
  static const QRegularExpression attribute(R"((?:src|href)\s*=\s*"([^"]*)\")");
  static const QRegularExpression url(R"(url\(\s*['"]?([^'")]*)['"]?\s*\))");
  for (const QRegularExpression* pattern : {&attribute, &url}) {
    for (auto it = pattern->globalMatch(text); it.hasNext();) found << it.next().captured(1);
  }
  return found;
}

TEST(WebFilesTest, ThePageAsksOnlyForItsOwnFiles) {
  const QString page = Resource(":/remote/index.html");
  const QStringList references = References(page) + References(Resource(":/remote/remote.css"));
  EXPECT_TRUE(references.contains("remote.js"));
  EXPECT_TRUE(references.contains("remote.css"));
  for (const QString& reference : references) {
    SCOPED_TRACE(reference.toStdString());
    EXPECT_NE(FindWebFile(("/" + reference).toStdString()), nullptr);
  }
}

TEST(WebFilesTest, ThePageIsMadeForPhones) {
  const QString page = Resource(":/remote/index.html");
  EXPECT_TRUE(page.contains(R"(<meta name="viewport" content="width=device-width)"));
  EXPECT_TRUE(page.contains(R"(<meta name="theme-color")"));
  EXPECT_TRUE(page.contains(R"(<html lang="en">)"));
  // Nothing comes from outside the program: a phone on a party network may have no internet.
  for (std::string_view name : {":/remote/index.html", ":/remote/remote.js", ":/remote/remote.css"})
    EXPECT_FALSE(Resource(name).contains(QRegularExpression(R"(https?://|@import)"))) << name;
}

}  // namespace
}  // namespace kdsp::web
