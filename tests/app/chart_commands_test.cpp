// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart's context menu against the simulated processor: a filter file imported onto
// a page reaches the processor and is one undoable step, a file that does not fit changes
// nothing, and the exports write what the page shows.
#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <fstream>
#include <sstream>
#include <string>

#include "display/filter_fit.h"
#include "display/response_csv.h"
#include "pages/effect_page.h"
#include "settings/filter_text.h"
#include "support/program_session.h"

namespace kdsp::app {
namespace {

using settings::PageId;

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class ChartCommandsTest : public ::testing::Test, protected testing::ProgramSession {
 protected:
  ChartCommandsTest() {
    start();
    main().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&main()));
    page().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&page()));
    EXPECT_TRUE(waitFor([&] { return link().state().versionOk; }));
    settle();
  }
  pages::EffectPage& page() { return program->page(PageId::kMusicEqualizer); }
  const settings::PageParameters& parameters() { return settings::Page(PageId::kMusicEqualizer); }
  // A right click on the chart, then the menu's item.
  void choose(const char* item) {
    const display::ResponseChart& chart = page().chart();
    const QPoint at(chart.bounds.x + chart.bounds.width / 2, chart.bounds.y + 20);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, page().mapToGlobal(at));
    QApplication::sendEvent(&page(), &event);
    ASSERT_NE(page().chartMenu(), nullptr);
    EXPECT_TRUE(page().chartMenu()->isVisible());
    QAction* action = page().chartMenu()->findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item;
    page().chartMenu()->hide();
    action->trigger();
  }
  std::string undoName() { return std::string(program->edits().session().undoName().value_or("")); }
};

TEST_F(ChartCommandsTest, AnImportReachesTheProcessorAndUndoesAsOneStep) {
  const auto file = temp / "room.txt";
  std::ofstream(file) << "Filter Settings file\n"
                         "Filter  1: ON  PK       Fc   125.0 Hz  Gain  -3.00 dB  Q  2.000\n"
                         "Filter  2: ON  PK       Fc  2,5 kHz  Gain   4.5 dB  Q  0.9\n"
                         "Measured at the couch\n";
  const settings::ParameterBlock before = settings::WorkingBlock();
  const display::FilterFileFit expected = display::FitFilterFile(file, before, parameters(), false);
  ASSERT_TRUE(expected.ok()) << expected.error;

  dialogs.files.push_back(file.string());
  choose("mImportFilters");
  settle();
  EXPECT_TRUE(settings::WorkingBlock() == expected.fit.block);
  const int first = parameters().firstBand;
  for (int i = 0; i < parameters().bandCount; ++i) {
    const settings::EqBand& mine = settings::WorkingBlock().bands[first + i];
    const settings::EqBand& theirs = remote().bands[first + i];
    EXPECT_EQ(std::memcmp(&mine, &theirs, sizeof mine), 0) << "band " << i;
  }
  EXPECT_EQ(undoName(), "Import Filters room.txt");
  ASSERT_FALSE(dialogs.messages.empty());
  EXPECT_NE(dialogs.messages.back().find("largest deviation"), std::string::npos);
  EXPECT_NE(dialogs.messages.back().find(
                "line 4: not a filter or preamp line, not read: \"Measured at the couch\""),
            std::string::npos)
      << dialogs.messages.back();
  EXPECT_EQ(page().strip(0).band->gain, expected.fit.block.bands[first].gain)
      << "the page shows it";

  program->edits().undo();
  settle();
  for (int i = 0; i < parameters().bandCount; ++i) {
    EXPECT_EQ(std::memcmp(&settings::WorkingBlock().bands[first + i], &before.bands[first + i],
                          sizeof(settings::EqBand)),
              0);
    EXPECT_EQ(
        std::memcmp(&remote().bands[first + i], &before.bands[first + i], sizeof(settings::EqBand)),
        0);
  }
}

TEST_F(ChartCommandsTest, AFileThatDoesNotFitChangesNothing) {
  const struct {
    std::string name;
    std::string text;
    std::string message;
  } files[] = {
      {"bad.txt",
       "Filter 1: ON PK Fc 100 Hz Gain -2 dB Q 1\nFilter 2: ON XX Fc 200 Hz Gain -2 dB Q 1\n",
       "line 2"},
      {"off.txt", "# Filter 1: ON PK Fc 100 Hz Gain -2 dB Q 1\n",
       "no filters found in " + (temp / "off.txt").string() + "\n"},
  };
  const settings::ParameterBlock before = settings::WorkingBlock();
  for (const auto& f : files) {
    std::ofstream(temp / f.name) << f.text;
    dialogs.files.push_back((temp / f.name).string());
    choose("mImportFilters");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_NE(dialogs.messages.back().find(f.message), std::string::npos)
        << dialogs.messages.back();
    EXPECT_NE(dialogs.messages.back().find("Nothing was changed."), std::string::npos);
    EXPECT_TRUE(settings::WorkingBlock() == before);
    EXPECT_EQ(undoName(), "");
  }
}

TEST_F(ChartCommandsTest, TheExportsWriteWhatThePageShows) {
  struct Export {
    const char* item;
    const char* file;
    std::string expected;
  };
  const settings::ParameterBlock& block = settings::WorkingBlock();
  const Export exports[] = {
      {"mExportFilters", "bands.txt", display::ExportFilterText(block, parameters(), false)},
      {"mExportResponse", "response.csv", display::PageResponseCsv(block, parameters(), false)},
  };
  for (const Export& e : exports) {
    dialogs.files.push_back((temp / e.file).string());
    choose(e.item);
    EXPECT_EQ(Slurp(temp / e.file), e.expected) << e.item;
  }
  // The exported filters read back as the page's bands.
  const settings::FilterTextRead read = settings::ReadFilterText(Slurp(temp / "bands.txt"));
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(static_cast<int>(read.filters.filters.size()), parameters().bandCount);

  dialogs.files.push_back((temp / "chart.png").string());
  choose("mExportPicture");
  const QImage picture(QString::fromStdString((temp / "chart.png").string()));
  const display::ResponseChart& chart = page().chart();
  EXPECT_EQ(picture.size(), QSize(chart.bounds.width, chart.bounds.height));
}

}  // namespace
}  // namespace kdsp::app
