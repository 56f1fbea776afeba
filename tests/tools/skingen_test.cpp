// skingen as the build runs it: the pictures it paints and the resource collection that lists
// them for rcc, one file per resource number of the skin table, wherever the collection lies.
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

struct Collection {
  std::string prefix;
  std::vector<std::pair<std::string, std::string>> files;  // alias, path as written
};

Collection ReadCollection(const fs::path& qrc) {
  QFile file(QString::fromStdString(qrc.string()));
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << qrc;
    return {};
  }
  Collection collection;
  QXmlStreamReader xml(&file);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("qresource")) {
      collection.prefix = xml.attributes().value(QLatin1String("prefix")).toString().toStdString();
    } else if (xml.name() == QLatin1String("file")) {
      const std::string alias =
          xml.attributes().value(QLatin1String("alias")).toString().toStdString();
      collection.files.emplace_back(alias, xml.readElementText().toStdString());
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

  testing::TempDir temp;
  fs::path scratch = temp / "scratch";
};

// The collection sits in another folder than the pictures, as a build could put it: rcc resolves
// each path from the collection's folder and names the picture by its alias.
TEST_F(SkingenTest, TheCollectionListsEveryResourceOnceWithItsPicture) {
  const fs::path pictures = temp / "pictures";
  const fs::path qrc = temp / "lists" / "skin.qrc";
  const RunResult result = run("'" + pictures.string() + "' --qrc '" + qrc.string() + "'");
  ASSERT_EQ(result.status, 0) << result.err;

  const Collection collection = ReadCollection(qrc);
  EXPECT_EQ(collection.prefix, "/skin");
  std::map<std::string, skin::SkinImageEntry> expected;  // the first slot of each resource
  for (const skin::SkinImageEntry& entry : skin::kSkinImageTable)
    expected.emplace(std::to_string(entry.resourceId) + ".png", entry);
  ASSERT_EQ(collection.files.size(), expected.size());
  std::map<std::string, int> seen;
  for (const auto& [alias, path] : collection.files) {
    ++seen[alias];
    const auto it = expected.find(alias);
    ASSERT_NE(it, expected.end()) << alias;
    const fs::path resolved = fs::weakly_canonical(qrc.parent_path() / path);
    EXPECT_EQ(resolved, fs::weakly_canonical(pictures / alias)) << alias;
    const QSize size = QImageReader(QString::fromStdString(resolved.string())).size();
    EXPECT_EQ(size, QSize(it->second.width, it->second.height)) << alias;
  }
  for (const auto& [alias, count] : seen) EXPECT_EQ(count, 1) << alias;
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
      run("'" + (temp / "occupied" / "pictures").string() + "' --qrc '" + qrc.string() + "'");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("cannot create the folder"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(qrc));
}

}  // namespace
}  // namespace kdsp
