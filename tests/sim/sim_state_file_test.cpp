// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the simulator's state file: a round trip through the file and the processor, and
// files that must be refused without touching the state.
#include "sim/sim_state_file.h"

#include <gtest/gtest.h>

#include "sim/simulated_processor.h"
#include "sim_test_support.h"
#include "support/temp_dir.h"

namespace kdsp::sim {
namespace {

using testing::Rec;

DeviceState EditedState() {
  DeviceState state = FreshDeviceState();
  state.presetSlots[4].masterMusic = 12;
  state.presetSlots[11] = PreparedFactoryBlock();
  state.working.echoA.delay = 150;
  state.working.echoB.delay = 170;  // Delay L-R -20
  state.musicMaxVolume = 60;
  state.micMaxVolume = 7;
  state.micEqMode = 2;
  state.unlocked = false;
  state.password = 321;
  return state;
}

bool SameKeptState(const DeviceState& a, const DeviceState& b) {
  return a.presetSlots == b.presetSlots && a.working == b.working &&
         a.musicMaxVolume == b.musicMaxVolume && a.micMaxVolume == b.micMaxVolume &&
         a.micEqMode == b.micEqMode && a.unlocked == b.unlocked && a.password == b.password;
}

TEST(SimStateFileTest, RoundTripKeepsEverythingAndDerivesTheEchoOffsets) {
  const DeviceState saved = EditedState();
  DeviceState loaded = FreshDeviceState();
  std::string error;
  ASSERT_TRUE(DecodeStateFile(EncodeStateFile(saved), loaded, &error)) << error;
  EXPECT_TRUE(SameKeptState(saved, loaded));
  EXPECT_EQ(loaded.echoDelayLr, -20);
}

TEST(SimStateFileTest, ProcessorStateSurvivesARestart) {
  kdsp::testing::TempDir dir;
  const auto path = dir / "sim.state";
  {
    SimulatedProcessor sim;
    sim.receive(Rec(167, {58}) + Rec(160, {11}) + Rec(192, {0}) + Rec(193, {0x01, 0x02}));
    std::string error;
    ASSERT_TRUE(sim.saveState(path, &error)) << error;
  }
  SimulatedProcessor restarted;
  std::string error;
  ASSERT_TRUE(restarted.loadState(path, &error)) << error;
  EXPECT_EQ(restarted.musicMaxVolume(), 58);
  EXPECT_EQ(restarted.working().masterMusic, 11);
  EXPECT_EQ(restarted.panelUnlocked(), 0);
  EXPECT_EQ(restarted.lockPassword(), 0x0102);
  EXPECT_EQ(restarted.slot(10), ErasedBlock());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"sim.state"});
}

TEST(SimStateFileTest, LockGivenAtStartWinsOverTheSavedOne) {
  kdsp::testing::TempDir dir;
  ASSERT_TRUE(SimulatedProcessor().saveState(dir / "s", nullptr));
  SimulatedProcessor sim(testing::Options([](SimOptions& o) { o.lockedPassword = 42; }));
  ASSERT_TRUE(sim.loadState(dir / "s", nullptr));
  EXPECT_EQ(sim.panelUnlocked(), 0);
  EXPECT_EQ(sim.lockPassword(), 42);
}

TEST(SimStateFileTest, FaultyFilesAreRefusedWithTheirLineAndChangeNothing) {
  const std::string good = EncodeStateFile(EditedState());
  const auto replaced = [&](std::string_view from, std::string_view to) {
    std::string text = good;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  const auto without = [&](std::string_view key) {
    std::string text = good;
    const std::size_t at = text.find(key);
    return text.erase(at, text.find('\n', at) + 1 - at);
  };
  struct Case {
    const char* name;
    std::string text;
    const char* error;
  };
  const Case cases[] = {
      {"empty", "", "the file is empty"},
      {"other file", "QM7_V1.0 \n", "not a kdsp-sim state file"},
      {"value out of range", replaced("mic-eq-mode 2", "mic-eq-mode 3"), "line 4: mic-eq-mode"},
      {"not a number", replaced("music-max 60", "music-max 6O"), "line 2: music-max"},
      {"panel", replaced("panel locked", "panel open"), "line 5: panel"},
      {"short block", replaced("slot 3 F1", "slot 3 F"), "line 11: slot 3 must be 1416"},
      {"not hex", replaced("working F1", "working G1"), "line 7: working must be 1416"},
      {"no such slot", replaced("slot 11 ", "slot 12 "), "line 19: slot number"},
      {"twice", good + "password 5\n", "line 20: 'password' given twice"},
      {"unknown key", good + "colour red\n", "line 20: unknown key 'colour'"},
      {"missing slot", without("slot 7 "), "missing 'slot 7'"},
      {"missing password", without("password"), "missing 'password'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceState state = FreshDeviceState();
    std::string error;
    EXPECT_FALSE(DecodeStateFile(c.text, state, &error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_TRUE(SameKeptState(state, FreshDeviceState()));
  }
}

TEST(SimStateFileTest, UnreadableFileIsReportedAndTheProcessorKeepsItsState) {
  kdsp::testing::TempDir dir;
  kdsp::testing::WriteBytes(dir / "bad", "kdsp-sim state 1\nmusic-max 9\n");
  SimulatedProcessor sim;
  std::string error;
  EXPECT_FALSE(sim.loadState(dir / "bad", &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_FALSE(sim.loadState(dir / "absent", &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
  EXPECT_FALSE(sim.loadState(dir.path(), &error));  // a folder
  EXPECT_EQ(sim.musicMaxVolume(), 55);
}

}  // namespace
}  // namespace kdsp::sim
