// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the system control panel: the real dialog on the offscreen platform, a device link
// to the simulated processor on the virtual HID bus, and dialogs answered from a script.
#include "app/system_control_panel.h"

#include <gmock/gmock.h>

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <map>

#include "device/block_transfer.h"
#include "device/command_codes.h"
#include "device/link_fixture.h"
#include "settings/setting_file.h"
#include "sim/sim_device_state.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using Answers = std::deque<std::optional<std::string>>;
using Strings = std::vector<std::string>;

using ScriptedDialogs = kdsp::testing::ScriptedDialogs;

sim::SimOptions Delayed(int ms) {
  sim::SimOptions options;
  options.ackDelayMs = ms;
  return options;
}

class PanelTest : public device::testing::LinkFixture {
 protected:
  ~PanelTest() override { panel.reset(); }

  // The link tells the user through the same dialogs as the panel: one sequence of messages.
  void startLinkAndPanel() {
    link = std::make_unique<device::DeviceLink>(controller, working, dialogs, observer);
    link->start();
    link->FormShow();
    panel = openPanel();
    QObject::connect(panel->ProgressBar1, &QProgressBar::valueChanged,
                     [this](int value) { progress.push_back(value); });
  }
  // The link hears the processor report its panel unlocked under this password, the rest of
  // its status as the link knows it.
  void reportUnlocked(std::uint16_t password) {
    const device::LinkState& s = link->state();
    const std::uint8_t status[] = {s.musicMaxVolume,
                                   s.micMaxVolume,
                                   s.micEqChannel,
                                   0,
                                   0,
                                   255,
                                   static_cast<std::uint8_t>(password >> 8),
                                   static_cast<std::uint8_t>(password & 0xFF)};
    link->HandleReply(device::code::kStatus, status);
  }
  void connectProcessor(sim::SimOptions options = {}) {
    processor = plugProcessor(options);
    startLinkAndPanel();
    ASSERT_TRUE(waitFor([&] { return link->lastStatus() && dialogs.questions.size() == 1; }, 4000));
    processor->processor().onStore = [this](std::uint8_t slot) {
      stored.push_back(slot);
      enabledWhileStoring = enabledWhileStoring || panel->isEnabled();
    };
    received.clear();
  }
  std::unique_ptr<TForm11> openPanel() {
    return std::make_unique<TForm11>(*link, dialogs, ini, [this](bool music, int value) {
      mainBoxes.emplace_back(music, value);
    });
  }
  std::string writeSetting(const std::string& name, std::int16_t gain) {
    settings::ParameterBlock block = settings::FactoryDefaults();
    block.bands[10].gain = gain;
    EXPECT_TRUE(settings::WriteSettingFile(dir / name, block));
    return (dir / name).string();
  }
  static settings::ParameterBlock AsUploaded(const std::string& path) {
    settings::ParameterBlock block = settings::FactoryDefaults();
    EXPECT_TRUE(settings::LoadSettingFile(path, block).loaded());
    device::PrepareBlockForUpload(block);
    return block;
  }
  // Modify on the slot's row.
  void assign(int slot, const std::string& path) {
    panel->ListView1->selectRow(slot);
    dialogs.files.push_back(path);
    panel->Button3->click();
  }
  void expectDownloadStopsAtSlot2(std::string_view linkMessage);
  Strings listedFiles() const {
    Strings files;
    for (int row = 0; row < panel->ListView1->rowCount(); ++row)
      files.push_back(panel->ListView1->item(row, 1)->text().toStdString());
    return files;
  }

  kdsp::testing::TempDir dir;
  fs::path ini = dir / "kdsp.ini";
  ScriptedDialogs dialogs;
  std::unique_ptr<TForm11> panel;
  std::vector<int> progress;
  std::vector<int> stored;
  bool enabledWhileStoring = false;
  std::vector<std::pair<bool, int>> mainBoxes;
};

TEST_F(PanelTest, FormCarriesItsCaptionsAndListsTheNineSlots) {
  startLinkAndPanel();
  EXPECT_EQ(panel->windowTitle().toStdString(), "System Control");
  const std::vector<std::pair<QPushButton*, const char*>> captions = {
      {panel->Button1, "Open Config"},
      {panel->Button2, "Save Config"},
      {panel->Button3, "Modify"},
      {panel->Button4, "Delete"},
      {panel->Button5, "Download All To Device"},
      {panel->Button6, "Upload All From Device"},
      {panel->Button7, "Lock Panel"},
      {panel->Button8, "Change Password"}};
  for (const auto& [button, caption] : captions) EXPECT_EQ(button->text().toStdString(), caption);
  EXPECT_EQ(panel->ListView1->horizontalHeaderItem(0)->text().toStdString(), "Group NO.");
  EXPECT_EQ(panel->ListView1->horizontalHeaderItem(1)->text().toStdString(), "Setting File");
  EXPECT_EQ(panel->ListView1->columnWidth(0), 100);
  EXPECT_EQ(panel->ListView1->columnWidth(1), 300);
  Strings names;
  for (int row = 0; row < panel->ListView1->rowCount(); ++row)
    names.push_back(panel->ListView1->item(row, 0)->text().toStdString());
  EXPECT_EQ(names, (Strings{"START UP", "1", "2", "3", "4", "5", "6", "KARAOKE", "DISCO"}));
  EXPECT_EQ(panel->ProgressBar1->minimum(), -1);
  EXPECT_EQ(panel->ProgressBar1->maximum(), 8);
  EXPECT_EQ(panel->ProgressBar1->value(), -1);
}

TEST_F(PanelTest, ShownFromTheMainWindowWithItsMaximaAndTheLockCaption) {
  startLinkAndPanel();
  link->setMaxVolumeForNextStore(device::MaxVolume::kMusic, 42);
  link->setMaxVolumeForNextStore(device::MaxVolume::kMic, 17);
  link->setPanelLocked(true);  // nothing is sent without a processor
  Strings seen;
  QTimer::singleShot(0, panel.get(), [&] {
    seen = {panel->Edit1->text().toStdString(), panel->Edit2->text().toStdString(),
            panel->Button7->text().toStdString(), panel->isModal() ? "modal" : "modeless"};
    panel->reject();
  });
  panel->showFromMainWindow();
  EXPECT_EQ(seen, (Strings{"42", "17", "Unlock Panel", "modal"}));
}

TEST_F(PanelTest, GroupIsEditedSavedAndRememberedForTheNextPanel) {
  startLinkAndPanel();
  for (QPushButton* button : {panel->Button3, panel->Button4}) {
    button->click();  // no row selected
    EXPECT_EQ(dialogs.messages.back(), "Please select one item to modify!");
  }
  EXPECT_TRUE(dialogs.filters.empty());
  assign(2, "/music/two.aex");
  assign(7, "/music/seven.aex");
  panel->ListView1->selectRow(7);
  panel->Button4->click();
  EXPECT_EQ(listedFiles()[2], "/music/two.aex");
  EXPECT_EQ(listedFiles()[7], "");
  EXPECT_FALSE(fs::exists(ini));  // nothing is written before Save Config

  const std::string group = (dir / "g.set").string();
  dialogs.files.push_back(group);
  panel->Button2->click();
  EXPECT_EQ(dialogs.filters, (Strings{std::string(settings::filter::kOpenSetting),
                                      std::string(settings::filter::kOpenSetting),
                                      std::string(settings::filter::kSaveGroup)}));
  EXPECT_EQ(dialogs.suffixes, (Strings{"aex"}));
  EXPECT_EQ(settings::ReadGroupFile(group)[2], "/music/two.aex");
  EXPECT_EQ(settings::ReadRememberedGroup(ini), group);
  EXPECT_EQ(openPanel()->groupFiles(), panel->groupFiles());

  settings::GroupFiles other;
  other[0] = "/music/start.aex";
  const std::string otherGroup = (dir / "other.set").string();
  ASSERT_TRUE(settings::WriteGroupFile(otherGroup, other));
  dialogs.files.push_back(otherGroup);
  panel->Button1->click();
  EXPECT_EQ(dialogs.filters.back(), settings::filter::kOpenGroup);
  EXPECT_EQ(panel->groupFiles(), other);
  EXPECT_EQ(listedFiles()[0], "/music/start.aex");
  EXPECT_EQ(settings::ReadRememberedGroup(ini), otherGroup);
  EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(PanelTest, TransfersAreRefusedWithoutAConnection) {
  startLinkAndPanel();
  for (QPushButton* button : {panel->Button5, panel->Button6}) {
    dialogs.messages.clear();
    assign(2, writeSetting("two.aex", 20));
    button->click();
    EXPECT_EQ(dialogs.messages, (Strings{"No device connecting!"}));
  }
  EXPECT_TRUE(dialogs.folderTitles.empty());
  EXPECT_TRUE(dialogs.busyChanges.empty());
  EXPECT_TRUE(progress.empty());
}

TEST_F(PanelTest, DownloadAllStoresExactlyTheAssignedSlotsInOrder) {
  connectProcessor();
  const std::string two = writeSetting("two.aex", 20), seven = writeSetting("seven.aex", -40);
  assign(2, two);
  assign(7, seven);
  link->setMaxVolumeForNextStore(device::MaxVolume::kMusic, 41);
  const settings::ParameterBlock before = working;
  panel->Button5->click();
  EXPECT_EQ(stored, (std::vector<int>{2, 7}));
  EXPECT_EQ(progress, (std::vector<int>{2, 7, -1}));
  EXPECT_EQ(dialogs.messages, (Strings{"Download Done!\nStored: \"2\", \"KARAOKE\"."}));
  EXPECT_TRUE(dialogs.questions.size() == 1);  // no transfer question beyond the sync one
  EXPECT_EQ(dialogs.busyChanges, (std::vector<bool>{true, false}));
  EXPECT_FALSE(enabledWhileStoring);
  EXPECT_TRUE(panel->isEnabled());
  // The files went into their slots on their own: the working settings are as they were.
  EXPECT_TRUE(working == before);
  EXPECT_EQ(refreshes, 0);
  EXPECT_TRUE(processor->processor().slot(2) == AsUploaded(two));
  EXPECT_TRUE(processor->processor().slot(7) == AsUploaded(seven));
  for (int slot : {0, 1, 3, 4, 5, 6, 8})
    EXPECT_TRUE(processor->processor().slot(slot) == sim::PreparedFactoryBlock()) << slot;
  EXPECT_EQ(processor->processor().musicMaxVolume(), 41);
}

TEST_F(PanelTest, SlotsWhoseFilesCannotBeLoadedAreSkippedAndNamedInOneSummary) {
  connectProcessor();
  const std::string seven = writeSetting("seven.aex", -40);
  auto image = EncodeSettingFile(settings::FactoryDefaults());
  kdsp::testing::WriteBytes(dir / "short.aex", {reinterpret_cast<const char*>(image.data()), 100});
  image[9] = 7;  // a file type this processor does not use
  kdsp::testing::WriteBytes(dir / "type.aex",
                            {reinterpret_cast<const char*>(image.data()), image.size()});
  kdsp::testing::WriteBytes(dir / "magic.aex", std::string(724, '\0'));
  const fs::path missing = dir / "missing.aex";
  assign(0, missing.string());
  assign(2, (dir / "magic.aex").string());
  assign(3, (dir / "type.aex").string());
  assign(5, (dir / "short.aex").string());
  assign(7, seven);
  panel->Button5->click();
  EXPECT_EQ(stored, (std::vector<int>{7}));
  const std::string summary =
      "Download All did not store every slot it was given.\n"
      "Stored: \"KARAOKE\".\n"
      "Skipped \"START UP\": " +
      missing.string() +
      ": there is no such file.\n"
      "Skipped \"2\": " +
      (dir / "magic.aex").string() +
      ": it is not a setting file (File Version error!).\n"
      "Skipped \"3\": " +
      (dir / "type.aex").string() +
      ": it is not a setting file for this processor.\n"
      "Skipped \"5\": " +
      (dir / "short.aex").string() +
      ": it is too short for a setting file (100 bytes, 724 expected).";
  EXPECT_EQ(dialogs.messages, (Strings{summary}));
  for (int slot : {0, 2, 3, 5})
    EXPECT_TRUE(processor->processor().slot(slot) == sim::PreparedFactoryBlock()) << slot;
}

// Download All of slots 2 and 7 against a processor that fails the first store.
void PanelTest::expectDownloadStopsAtSlot2(std::string_view linkMessage) {
  assign(2, writeSetting("two.aex", 20));
  assign(7, writeSetting("seven.aex", -40));
  panel->Button5->click();
  EXPECT_TRUE(stored.empty());
  EXPECT_LE(std::count(received.begin(), received.end(), device::code::kBlockChunk), 30);
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0], linkMessage);
  EXPECT_THAT(dialogs.messages[1], HasSubstr("stopped at slot \"2\""));
  EXPECT_TRUE(progress.empty());
  EXPECT_EQ(dialogs.busyChanges, (std::vector<bool>{true, false}));
  EXPECT_TRUE(panel->isEnabled());
}

TEST_F(PanelTest, UnacknowledgedStoreStopsTheDownload) {
  sim::SimOptions silent;
  silent.noAck = true;
  connectProcessor(silent);
  link->setAcknowledgementLimit(std::chrono::milliseconds(200));
  expectDownloadStopsAtSlot2(device::message::kUploadNotAcknowledged);
}

TEST_F(PanelTest, UnplugDuringAStoreStopsTheDownload) {
  connectProcessor(Delayed(20));
  QTimer::singleShot(150, [&] { platform.unplug(processorId); });
  expectDownloadStopsAtSlot2(device::message::kUploadInterrupted);
}

TEST_F(PanelTest, UploadAllWritesTheFolderAndMakesItsGroupTheRememberedOne) {
  connectProcessor();
  for (std::uint8_t slot : {3, 8}) {  // two slots that differ from the factory preset
    working.bands[5].gain = static_cast<std::int16_t>(slot * 10);
    ASSERT_EQ(link->StoreBlockToDevice(slot), device::StoreResult::kStored);
  }
  const fs::path folder = dir / "up";
  fs::create_directory(folder);
  dialogs.folders.push_back(folder.string());
  working.bands[5].gain = -33;  // the program's settings, which the backup must not replace
  const settings::ParameterBlock before = working;
  const int refreshesBefore = refreshes;
  panel->Button6->click();
  EXPECT_TRUE(working == before);
  EXPECT_EQ(refreshes, refreshesBefore);

  EXPECT_EQ(dialogs.folderTitles, (Strings{"Please select a folder to save all setting"}));
  EXPECT_EQ(dialogs.messages, (Strings{"Finish!"}));
  EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, -1}));
  Strings entries;
  for (const auto& entry : fs::directory_iterator(folder))
    entries.push_back(entry.path().filename().string());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (Strings{"1.aex", "2.aex", "3.aex", "4.aex", "5.aex", "6.aex", "DISCO.aex",
                              "KARAOKE.aex", "START UP.aex", "Upload.set"}));
  const Strings names = {"START UP", "1", "2", "3", "4", "5", "6", "KARAOKE", "DISCO"};
  Strings paths;
  for (int slot = 0; slot < 9; ++slot) {
    paths.push_back((folder / (names[slot] + ".aex")).string());
    settings::ParameterBlock block{};
    ASSERT_TRUE(settings::LoadSettingFile(paths.back(), block).loaded());
    EXPECT_TRUE(block == processor->processor().slot(slot)) << slot;
  }
  EXPECT_EQ(listedFiles(), paths);
  const std::string group = (folder / "Upload.set").string();
  const settings::GroupFiles fromFile = settings::ReadGroupFile(group);
  EXPECT_EQ(Strings(fromFile.begin(), fromFile.end()), paths);
  EXPECT_EQ(settings::ReadRememberedGroup(ini), group);
  panel = openPanel();
  EXPECT_EQ(listedFiles(), paths);
}

TEST_F(PanelTest, UploadSlotThatTimesOutStopsAndWritesNothingMore) {
  connectProcessor(Delayed(600));
  panel->setReadLimit(std::chrono::milliseconds(200));
  assign(1, "/music/kept.aex");
  const fs::path folder = dir / "up";
  fs::create_directory(folder);
  dialogs.folders.push_back(folder.string());
  panel->Button6->click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_THAT(dialogs.messages[0], HasSubstr("stopped at slot \"START UP\""));
  EXPECT_THAT(dialogs.messages[0], HasSubstr("in time"));
  EXPECT_TRUE(fs::is_empty(folder));
  EXPECT_EQ(settings::ReadRememberedGroup(ini), "");
  EXPECT_EQ(panel->groupFiles()[1], "/music/kept.aex");
  EXPECT_EQ(progress, (std::vector<int>{0, -1}));
  EXPECT_EQ(dialogs.busyChanges, (std::vector<bool>{true, false}));
  // The late reply arrives before the link goes.
  EXPECT_TRUE(waitFor([&] { return link->state().readComplete; }));
}

TEST_F(PanelTest, UploadAllThatFailsPartWayKeepsTheOldBackupWhole) {
  connectProcessor();
  const fs::path folder = dir / "backup";
  fs::create_directory(folder);
  dialogs.folders.push_back(folder.string());
  panel->Button6->click();
  ASSERT_EQ(dialogs.messages, (Strings{"Finish!"}));
  std::map<std::string, std::string> before;
  for (const auto& entry : fs::directory_iterator(folder))
    before[entry.path().filename().string()] = kdsp::testing::ReadBytes(entry.path());
  ASSERT_EQ(before.size(), 10u);

  // Slot 1 changes on the processor; then the read of slot 4 loses a chunk.
  working.bands[3].gain = 70;
  ASSERT_EQ(link->StoreBlockToDevice(1), device::StoreResult::kStored);
  QObject::connect(panel->ProgressBar1, &QProgressBar::valueChanged, [this](int slot) {
    if (slot == 4) processor->processor().setOptions({.dropChunk = 5});
  });
  dialogs.messages.clear();
  dialogs.folders.push_back(folder.string());
  panel->Button6->click();
  ASSERT_EQ(dialogs.messages.size(), 2u);  // the link's own, then the panel's
  EXPECT_THAT(dialogs.messages[0], HasSubstr("chunk 5 of 30 did not arrive"));
  EXPECT_THAT(dialogs.messages[1], HasSubstr("stopped at slot \"4\": its settings arrived "
                                             "incomplete (chunk 5 missing)"));
  std::map<std::string, std::string> after;
  for (const auto& entry : fs::directory_iterator(folder))
    after[entry.path().filename().string()] = kdsp::testing::ReadBytes(entry.path());
  EXPECT_EQ(after, before);  // 1.aex too: nothing was replaced
}

TEST_F(PanelTest, MaximumVolumeBoxesTakeOnly0To60AndSendNothing) {
  connectProcessor();
  const struct {
    bool music;
    const char* text;
    int expected;  // the value afterwards; the other maximum stays 55
    bool taken;
  } cases[] = {
      {true, "75", 55, false},  {true, "300", 55, false}, {true, "-1", 55, false},
      {true, "abc", 55, false}, {true, "60", 60, true},   {false, "60", 60, true},
      {false, "0", 0, true},    {false, "61", 55, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    link->setMaxVolumeForNextStore(device::MaxVolume::kMusic, 55);
    link->setMaxVolumeForNextStore(device::MaxVolume::kMic, 55);
    mainBoxes.clear();
    QLineEdit* edit = c.music ? panel->Edit1 : panel->Edit2;
    edit->clear();
    edit->setText(c.text);
    EXPECT_EQ(c.music ? link->state().musicMaxVolume : link->state().micMaxVolume, c.expected);
    EXPECT_EQ(c.music ? link->state().micMaxVolume : link->state().musicMaxVolume, 55);
    using Box = std::vector<std::pair<bool, int>>;
    EXPECT_EQ(mainBoxes, (c.taken ? Box{{c.music, c.expected}} : Box{}));
  }
  panel->Edit1->clear();
  QTest::keyClicks(panel->Edit1, "42");
  EXPECT_EQ(link->state().musicMaxVolume, 42);
  device::WaitMs(100);  // several synchronisation ticks
  EXPECT_TRUE(received.empty());
}

TEST_F(PanelTest, LockButtonTogglesThePanelWithTheRightPassword) {
  connectProcessor();
  EXPECT_EQ(panel->Button7->text().toStdString(), "Lock Panel");
  for (const auto& [state, caption] :
       {std::pair{0, "Unlock Panel"}, std::pair{255, "Lock Panel"}}) {
    received.clear();
    dialogs.texts.push_back("0");
    panel->Button7->click();
    ASSERT_TRUE(waitFor([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0], device::code::kPanelLock);
    EXPECT_EQ(processor->processor().panelUnlocked(), state);
    EXPECT_EQ(panel->Button7->text().toStdString(), caption);
  }
  EXPECT_EQ(dialogs.inputBoxes[0], (Strings{"Processor", "Please Input Password", "0"}));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PanelTest, WrongOrCancelledPasswordChangesNothing) {
  connectProcessor();
  const struct {
    std::uint16_t password;
    std::optional<std::string> answer;
    bool matches;
  } cases[] = {
      {0, "abc", true},  // a text that is not a number reads 0
      {0, "5", false},     {300, "300", true},
      {300, "abc", false}, {0, std::nullopt, false},  // cancelled: no message either
  };
  for (QPushButton* button : {panel->Button7, panel->Button8}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.answer.value_or("cancel"));
      reportUnlocked(c.password);
      dialogs.messages.clear();
      dialogs.inputBoxes.clear();
      dialogs.texts = {c.answer, std::nullopt};  // the new password box is cancelled
      button->click();
      EXPECT_EQ(link->state().panelUnlocked, c.matches && button == panel->Button7 ? 0 : 255);
      EXPECT_EQ(dialogs.inputBoxes.size(), c.matches && button == panel->Button8 ? 2u : 1u);
      EXPECT_EQ(dialogs.messages,
                (c.matches || !c.answer ? Strings{} : Strings{"Password Error!"}));
    }
  }
  device::WaitMs(50);
  EXPECT_EQ(std::count(received.begin(), received.end(), device::code::kPanelPassword), 0);
}

TEST_F(PanelTest, NewPasswordMustLieIn0To999) {
  connectProcessor();
  const struct {
    const char* answer;
    int accepted;  // -1: refused
  } cases[] = {{"1000", -1}, {"66000", -1}, {"-1", -1},  {"abc", -1},
               {"0", 0},     {"999", 999},  {"300", 300}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    reportUnlocked(7);
    received.clear();
    dialogs.messages.clear();
    dialogs.inputBoxes.clear();
    dialogs.texts = {"7", c.answer};
    panel->Button8->click();
    EXPECT_EQ(dialogs.inputBoxes,
              (std::vector<Strings>{{"Processor", "Please Input Old Password ", "0"},
                                    {"New Password", "Please Input New Password ( 0 -999)", "7"}}));
    if (c.accepted < 0) {
      EXPECT_EQ(dialogs.messages, (Strings{"Password can't large than 999"}));
      EXPECT_EQ(link->state().lockPassword, 7);
      device::WaitMs(30);
      EXPECT_TRUE(received.empty());
    } else {
      EXPECT_TRUE(dialogs.messages.empty());
      EXPECT_EQ(link->state().lockPassword, c.accepted);
      ASSERT_TRUE(waitFor([&] { return received.size() == 1; }));
      EXPECT_EQ(received[0], device::code::kPanelPassword);
      // High byte first: 300 goes as 0x01 0x2C.
      EXPECT_EQ(processor->processor().lockPassword(), c.accepted);
    }
  }
}

}  // namespace
}  // namespace kdsp::app
