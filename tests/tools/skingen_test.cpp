// SPDX-License-Identifier: GPL-3.0-or-later
// skingen as the build runs it: the pictures it paints and the resource collection that lists
// them for rcc, one file per resource number of the skin table and scale, wherever the
// collection lies.
#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QString>
#include <QXmlStreamReader>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "skin/skin_image_table.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace kdsp {
namespace {

namespace fs = std::filesystem;

using testing::RunResult;

// alias, path as written
using Files = std::vector<std::pair<std::string, std::string>>;
// The files of each prefix.
using Collection = std::map<std::string, Files>;

Collection ReadCollection(const fs::path& qrc) {
  QFile file(QString::fromStdString(qrc.string()));
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << qrc;
    return {};
  }
  Collection collection;
  std::string prefix;
  QXmlStreamReader xml(&file);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("qresource")) {
      prefix = xml.attributes().value(QLatin1String("prefix")).toString().toStdString();
      EXPECT_FALSE(collection.contains(prefix)) << "prefix listed twice: " << prefix;
      collection[prefix];
    } else if (xml.name() == QLatin1String("file")) {
      const std::string alias =
          xml.attributes().value(QLatin1String("alias")).toString().toStdString();
      collection[prefix].emplace_back(alias, xml.readElementText().toStdString());
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return collection;
}

class SkingenTest : public ::testing::Test {
 protected:
  RunResult run(const std::string& args) {
    fs::create_directories(scratch);
    return testing::RunCommand("QT_QPA_PLATFORM=offscreen '" SKINGEN_PATH "' " + args, scratch);
  }
  // A path as one word of the command line.
  static std::string quoted(const fs::path& path) {
    return std::string("'").append(path.string()).append("'");
  }

  testing::TempDir temp;
  fs::path scratch = temp / "scratch";
};

// The collection sits in another folder than the pictures, as a build could put it: rcc resolves
// each path from the collection's folder and names the picture by its alias. Both scales list
// every resource under the same alias, the 2x picture exactly twice the 1x one's size.
TEST_F(SkingenTest, TheCollectionListsEveryResourceOnceAtEachScaleWithItsPicture) {
  const fs::path pictures = temp / "pictures";
  const fs::path qrc = temp / "lists" / "skin.qrc";
  const RunResult result = run(quoted(pictures).append(" --qrc ").append(quoted(qrc)));
  ASSERT_EQ(result.status, 0) << result.err;

  const Collection collection = ReadCollection(qrc);
  struct Scale {
    std::string prefix;
    std::string suffix;  // of the file the picture is written to
    int factor;
  };
  const Scale scales[] = {{"/skin", ".png", 1}, {"/skin2x", "@2x.png", 2}};
  ASSERT_EQ(collection.size(), std::size(scales));
  for (const Scale& scale : scales) {
    SCOPED_TRACE(scale.prefix);
    ASSERT_TRUE(collection.contains(scale.prefix));
    const Files& files = collection.at(scale.prefix);
    std::map<std::string, skin::SkinImageEntry> expected;  // the first slot of each resource
    for (const skin::SkinImageEntry& entry : skin::kSkinImageTable)
      expected.emplace(std::to_string(entry.resourceId), entry);
    ASSERT_EQ(files.size(), expected.size());
    std::map<std::string, int> seen;
    for (const auto& [alias, path] : files) {
      ++seen[alias];
      ASSERT_TRUE(alias.ends_with(".png")) << alias;
      const std::string id = alias.substr(0, alias.size() - 4);
      const auto it = expected.find(id);
      ASSERT_NE(it, expected.end()) << alias;
      const fs::path resolved = fs::weakly_canonical(qrc.parent_path() / path);
      EXPECT_EQ(resolved, fs::weakly_canonical(pictures / (id + scale.suffix))) << alias;
      const QSize size = QImageReader(QString::fromStdString(resolved.string())).size();
      EXPECT_EQ(size, QSize(it->second.width, it->second.height) * scale.factor) << alias;
    }
    for (const auto& [alias, count] : seen) EXPECT_EQ(count, 1) << alias;
  }
}

TEST_F(SkingenTest, ACollectionNeedsTheFolderOfPictures) {
  const fs::path qrc = temp / "skin.qrc";
  const RunResult result = run("--qrc '" + qrc.string() + "'");
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("usage: skingen"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(qrc));
}

// A failed painting leaves no collection behind that would list pictures that are not there.
TEST_F(SkingenTest, NoCollectionWhenThePicturesCannotBeWritten) {
  testing::WriteBytes(temp / "occupied", "a file where the folder should be");
  const fs::path qrc = temp / "skin.qrc";
  const RunResult result =
      run(quoted(temp / "occupied" / "pictures").append(" --qrc ").append(quoted(qrc)));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("cannot create the folder"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(qrc));
}

}  // namespace
}  // namespace kdsp
