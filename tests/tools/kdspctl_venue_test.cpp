// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl on a venue of simulated processors, each a kdsp-sim server of its own with its own
// faults: every healthy processor ends with what it was given, every faulty one says why on
// its own line, no file is left half-written, and Ctrl+C ends the run without a store.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/block_transfer.h"
#include "settings/group_file.h"
#include "settings/setting_file.h"
#include "sim/sim_state_file.h"
#include "support/background_command.h"
#include "support/run_command.h"
#include "support/sim_server.h"
#include "support/temp_dir.h"

namespace kdsp {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::SimServer;

constexpr int kRooms = 20;
constexpr int kStoredSlot = 3;

// A processor of the venue: the faults its simulator is started with.
struct Room {
  std::vector<std::string> faults;
};

class KdspctlVenueTest : public ::testing::Test {
 protected:
  // Starts one simulator per room, each keeping its state in a file of its own.
  void open(const std::map<int, Room>& faulty, int rooms, std::vector<std::string> common = {}) {
    nameWidth = name(rooms).size();
    std::string hosts = "# the venue of this test\n";
    for (int i = 1; i <= rooms; ++i) {
      std::vector<std::string> options = common;
      options.insert(options.end(), {"--state", statePath(i).string()});
      if (const auto it = faulty.find(i); it != faulty.end())
        options.insert(options.end(), it->second.faults.begin(), it->second.faults.end());
      sims.push_back(std::make_unique<SimServer>(options));
      ASSERT_TRUE(sims.back()->ok());
      hosts += name(i) + " " + sims.back()->url() + "\n";
    }
    testing::WriteBytes(work / "hosts", hosts);
  }

  static std::string name(int room) { return "room-" + std::to_string(room); }
  fs::path statePath(int room) const { return states.path() / (name(room) + ".state"); }

  // What the room's simulator holds now (it writes its state at every store).
  sim::DeviceState state(int room) const {
    sim::DeviceState s = sim::FreshDeviceState();
    std::string error;
    EXPECT_TRUE(sim::ReadStateFile(statePath(room), s, &error)) << error;
    return s;
  }

  testing::RunResult run(const std::string& args) {
    return testing::RunCommand(std::string(KDSPCTL_PATH) + " " + args, scratch.path());
  }
  std::string quoted(const std::string& file) const {
    return std::string("'").append((work / file).string()).append("'");
  }

  // "room-7 " as the report begins the room's lines: the names padded to the longest.
  std::string head(int room) const {
    std::string h = name(room);
    h.resize(nameWidth, ' ');
    return h + "  ";
  }
  // "room-7   FAILED   why", as far as it is given.
  std::string lineStart(int room, const std::string& status, const std::string& text) const {
    std::string s = status;
    s.resize(7, ' ');
    return head(room) + s + "  " + text;
  }
  // The whole line.
  std::string line(int room, const std::string& status, const std::string& text) const {
    std::string l = lineStart(room, status, text);
    while (l.back() == ' ') l.pop_back();
    return l + "\n";
  }

  testing::TempDir work;     // the files the commands are given and write
  testing::TempDir states;   // the simulators' state files
  testing::TempDir scratch;  // kdspctl's output
  std::vector<std::unique_ptr<SimServer>> sims;
  std::size_t nameWidth = 0;
};

// Every name in the folder and below that a file being written leaves behind.
std::vector<std::string> TemporaryFiles(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.path().filename().string().starts_with(".")) found.push_back(entry.path().string());
  return found;
}

TEST_F(KdspctlVenueTest, PushAndPullAllAcrossTwentyProcessorsWithFaultsOnSome) {
  const std::map<int, Room> faulty = {
      {4, {{"--no-ack"}}},
      {8, {{"--corrupt-chunk", "4"}}},
      {12, {{"--close-after", "4"}}},
      {16, {{"--firmware-version", "20"}}},
  };
  open(faulty, kRooms);
  settings::ParameterBlock tuned = settings::FactoryDefaults();
  tuned.bands[30].gain = -45;
  tuned.revWidth = 12;
  tuned.masterEffect = 9;
  ASSERT_TRUE(settings::WriteSettingFile(work / "tuned.aex", tuned).ok);

  const testing::RunResult push =
      run("push " + quoted("tuned.aex") + " --slot 3 --hosts " + quoted("hosts"));
  EXPECT_EQ(push.status, 1) << push.out << push.err;
  const std::string slot = "slot 3 (3)";
  const std::map<int, std::string> pushFailures = {
      {4, "the processor did not acknowledge the upload; " + slot + " was left unchanged"},
      {8, slot + " was rewritten but could not be verified: " + slot +
              " could not be read: it is empty or its checksum is wrong"},
      {12, "the connection to the processor was closed during the upload; " + slot +
               " was left unchanged"},
      {16, "the processor answered version 0x20; 0x21 is needed"},
  };
  settings::ParameterBlock uploaded = tuned;
  device::PrepareBlockForUpload(uploaded);
  const settings::ParameterBlock untouched = sim::FreshDeviceState().presetSlots[kStoredSlot];
  for (int i = 1; i <= kRooms; ++i) {
    const auto failure = pushFailures.find(i);
    const std::string expected =
        failure == pushFailures.end()
            ? line(i, "ok",
                   (work / "tuned.aex").string() + " stored into " + slot + " and verified")
            : line(i, "FAILED", failure->second);
    EXPECT_NE(push.out.find(expected), std::string::npos) << expected << "in:\n" << push.out;
    // The processor that took the whole upload holds it, even when its read-back went wrong.
    const bool stored = failure == pushFailures.end() || i == 8;
    EXPECT_EQ(state(i).presetSlots[kStoredSlot], stored ? uploaded : untouched) << name(i);
  }
  EXPECT_TRUE(push.out.ends_with("20 processors: 16 ok, 4 failed\n")) << push.out;
  EXPECT_EQ(work.Entries(), (std::vector<std::string>{"hosts", "tuned.aex"}));

  fs::create_directory(work / "backup");
  const testing::RunResult pullAll =
      run("pull-all " + quoted("backup") + " --hosts " + quoted("hosts") + " --jobs 5");
  EXPECT_EQ(pullAll.status, 1) << pullAll.out << pullAll.err;
  // Reads need no acknowledgement: the processor that never acknowledges is read whole.
  const std::map<int, std::string> pullFailures = {
      {8, "slot 0 (START UP) could not be read: it is empty or its checksum is wrong"},
      // Before or while slot 3 is read, as the close and the read request meet.
      {12, "the connection to the processor was closed "},
      {16, "the processor answered version 0x20; 0x21 is needed"},
  };
  for (int i = 1; i <= kRooms; ++i) {
    const fs::path folder = work / "backup" / name(i);
    const auto failure = pullFailures.find(i);
    if (failure != pullFailures.end()) {
      EXPECT_NE(pullAll.out.find(lineStart(i, "FAILED", failure->second)), std::string::npos)
          << name(i) << " in:\n"
          << pullAll.out;
      EXPECT_FALSE(fs::exists(folder)) << folder;
      continue;
    }
    EXPECT_NE(pullAll.out.find(line(i, "ok",
                                    "nine slots written to " + folder.string() + ", group file " +
                                        (folder / "Upload.set").string())),
              std::string::npos)
        << name(i) << " in:\n"
        << pullAll.out;
    const settings::GroupFiles group = settings::ReadGroupFile(folder / "Upload.set");
    for (int s = 0; s < settings::kGroupSlotCount; ++s) {
      settings::ParameterBlock block{};
      ASSERT_TRUE(settings::LoadSettingFile(group[s], block).loaded()) << group[s];
      EXPECT_EQ(fs::path(group[s]).parent_path(), folder);
      EXPECT_EQ(block, state(i).presetSlots[static_cast<std::size_t>(s)]) << group[s];
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 10);
  }
  EXPECT_TRUE(pullAll.out.ends_with("20 processors: 17 ok, 3 failed\n")) << pullAll.out;
  EXPECT_EQ(TemporaryFiles(work.path()), std::vector<std::string>{});
}

TEST_F(KdspctlVenueTest, InterruptedUploadsEndBeforeTheirStoreAndTheRestDoNotStart) {
  // Each block chunk is acknowledged a quarter of a second late: an upload takes seven seconds,
  // long enough to be interrupted while it runs.
  constexpr int kSlowRooms = 6;
  open({}, kSlowRooms, {"--verbose", "--slow-reply", "225:250"});
  ASSERT_TRUE(settings::WriteSettingFile(work / "tuned.aex", settings::FactoryDefaults()).ok);
  testing::BackgroundCommand kdspctl({KDSPCTL_PATH, "push", (work / "tuned.aex").string(), "--slot",
                                      "3", "--hosts", (work / "hosts").string(), "--jobs", "3"},
                                     scratch.path());

  // Until three processors have a chunk of the upload (the first three: --jobs 3).
  std::vector<std::string> received(kSlowRooms);
  const auto uploading = [&] {
    int n = 0;
    for (int i = 0; i < kSlowRooms; ++i) {
      received[i] += sims[i]->takeOutput();
      n += received[i].find("225 (E1) block chunk") != std::string::npos;
    }
    return n;
  };
  for (int tries = 0; uploading() < 3 && tries < 1000; ++tries) std::this_thread::sleep_for(20ms);
  ASSERT_EQ(uploading(), 3) << "the uploads did not start";
  kdspctl.signal(SIGINT);
  EXPECT_EQ(kdspctl.wait(), 130) << kdspctl.out() << kdspctl.err();

  const std::string out = kdspctl.out();
  int stopped = 0;
  for (int i = 1; i <= kSlowRooms; ++i) {
    sims[i - 1]->stop();  // writes the state
    received[i - 1] += sims[i - 1]->takeOutput();
    const bool started = received[i - 1].find("225 (E1)") != std::string::npos;
    const std::string expected =
        started ? line(i, "STOPPED", "stopped during the upload; slot 3 (3) was left unchanged")
                : line(i, "NOT RUN", "stopped before it started");
    stopped += started;
    EXPECT_NE(out.find(expected), std::string::npos) << expected << "in:\n" << out;
    EXPECT_EQ(received[i - 1].find("226 (E2)"), std::string::npos)
        << name(i) << " received a store record";
    EXPECT_EQ(state(i).presetSlots[kStoredSlot], sim::FreshDeviceState().presetSlots[kStoredSlot]);
  }
  EXPECT_EQ(stopped, 3);
  EXPECT_TRUE(out.ends_with("6 processors: 0 ok, 3 stopped, 3 not run\n")) << out;
  EXPECT_EQ(work.Entries(), (std::vector<std::string>{"hosts", "tuned.aex"}));
}

TEST_F(KdspctlVenueTest, DataComesUnderEachNameAndOneProcessorCommandsRefuseMany) {
  open({{2, {{"--locked", "7"}}}}, 3);
  const std::string hosts = " --hosts " + quoted("hosts");
  const testing::RunResult get = run("get masterMusic revWidth" + hosts);
  EXPECT_EQ(get.status, 1);
  for (int i : {1, 3}) {
    const std::string block =
        line(i, "ok", "") + head(i) + "masterMusic = 30\n" + head(i) +
        "revWidth = " + std::to_string(sim::FreshDeviceState().working.revWidth) + "\n";
    EXPECT_NE(get.out.find(block), std::string::npos) << block << "in:\n" << get.out;
  }
  EXPECT_NE(get.out.find(line(2, "FAILED",
                              "the processor's front panel is locked: give its password with "
                              "--password")),
            std::string::npos)
      << get.out;

  const testing::RunResult set = run("set masterMusic=40" + hosts + " --password 7");
  EXPECT_EQ(set.status, 0) << set.out << set.err;
  for (int i = 1; i <= 3; ++i)
    EXPECT_NE(set.out.find(line(i, "ok", "") + head(i) + "masterMusic: 30 -> 40\n"),
              std::string::npos)
        << set.out;

  for (const char* command :
       {"lock --password 1", "unlock --password 1", "password 2 --password 1", "watch"}) {
    const testing::RunResult refused = run(std::string(command) + hosts);
    EXPECT_EQ(refused.status, 2) << command;
    EXPECT_NE(refused.err.find("works on one processor at a time"), std::string::npos)
        << refused.err;
  }
  const testing::RunResult twice =
      run("info --connect " + sims[0]->url() + " --connect " + sims[0]->url());
  EXPECT_EQ(twice.status, 2);
  EXPECT_EQ(twice.err, "kdspctl: " + sims[0]->url() + " is given twice\n");
}

TEST_F(KdspctlVenueTest, PullWritesIntoEachProcessorsOwnFolder) {
  open({{2, {{"--locked", "7"}}}}, 3);
  fs::create_directory(work / "backup");
  const testing::RunResult pull =
      run("pull --slot 7 -o " + quoted("backup/karaoke.aex") + " --hosts " + quoted("hosts"));
  EXPECT_EQ(pull.status, 1) << pull.out << pull.err;
  for (int i : {1, 3}) {
    const fs::path file = work / "backup" / name(i) / "karaoke.aex";
    EXPECT_NE(pull.out.find(line(i, "ok", "slot 7 (KARAOKE) written to " + file.string())),
              std::string::npos)
        << pull.out;
    settings::ParameterBlock block{};
    ASSERT_TRUE(settings::LoadSettingFile(file, block).loaded()) << file;
    EXPECT_EQ(block, state(i).presetSlots[7]);
  }
  // The locked processor's folder is not made: nothing was read to put in it.
  EXPECT_FALSE(fs::exists(work / "backup" / name(2)));
  EXPECT_EQ(TemporaryFiles(work.path()), std::vector<std::string>{});
}

}  // namespace
}  // namespace kdsp
