// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the edit history: steps that take the working settings back and forth byte for byte,
// the redo steps an edit drops, and the budget that keeps hundreds of steps in little memory.
#include "settings/edit_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kdsp::settings {
namespace {

EditState Start() {
  return {FactoryDefaults(), ControlValues{}};
}

// Every byte of the block changed.
void InvertBlock(EditState& s) {
  for (std::uint8_t& b : s.block.bytes()) b = static_cast<std::uint8_t>(~b);
}

TEST(EditHistory, UndoAndRedoRestoreEveryByte) {
  struct Case {
    const char* name;
    std::function<void(EditState&)> edit;
    bool mostOfBlock;
  };
  const Case cases[] = {
      {"one byte", [](EditState& s) { s.block.masterMic = 12; }, false},
      {"two runs far apart",
       [](EditState& s) {
         s.block.marker = 0;
         s.block.checksum = 0xBEEF;
       },
       false},
      {"bytes close together", [](EditState& s) { s.block.bands[3] = {-45, 200, 4, 1, 0, 7}; },
       false},
      {"across the block's end into the values",
       [](EditState& s) {
         s.block.checksum = 0x1234;
         s.values.echoDelayLr = -99;
       },
       false},
      {"values only",
       [](EditState& s) {
         s.values.micEqMode = 2;
         s.values.echoDirect = 0;
       },
       false},
      {"the whole block", InvertBlock, true},
  };
  for (const Case& c : cases) {
    const EditState before = Start();
    EditState after = before;
    c.edit(after);
    EditHistory history;
    ASSERT_TRUE(history.record(before, after, c.name)) << c.name;

    EditState state = after;
    const auto undone = history.undo(state);
    ASSERT_TRUE(undone.has_value()) << c.name;
    EXPECT_EQ(undone->name, c.name);
    EXPECT_EQ(undone->mostOfBlock, c.mostOfBlock) << c.name;
    EXPECT_TRUE(state == before) << c.name;
    EXPECT_FALSE(history.undo(state).has_value()) << c.name;

    const auto redone = history.redo(state);
    ASSERT_TRUE(redone.has_value()) << c.name;
    EXPECT_EQ(redone->name, c.name);
    EXPECT_TRUE(state == after) << c.name;
    EXPECT_FALSE(history.redo(state).has_value()) << c.name;
  }
}

TEST(EditHistory, AnEditThatChangedNothingIsNotKept) {
  EditHistory history;
  EXPECT_FALSE(history.record(Start(), Start(), "nothing"));
  EXPECT_EQ(history.undoCount(), 0u);
  EXPECT_FALSE(history.undoName().has_value());
  EXPECT_EQ(history.bytesUsed(), 0u);
}

TEST(EditHistory, NamesFollowUndoAndRedo) {
  EditHistory history;
  EditState a = Start();
  EditState b = a;
  b.block.masterMusic = 1;
  EditState c = b;
  c.block.masterMic = 2;
  history.record(a, b, "Master Music");
  history.record(b, c, "Master Mic");
  EXPECT_EQ(history.undoName(), "Master Mic");
  EXPECT_FALSE(history.redoName().has_value());
  EditState state = c;
  history.undo(state);
  EXPECT_EQ(history.undoName(), "Master Music");
  EXPECT_EQ(history.redoName(), "Master Mic");
  history.clear();
  EXPECT_FALSE(history.undoName().has_value());
  EXPECT_FALSE(history.redoName().has_value());
  EXPECT_FALSE(history.undo(state).has_value());
}

TEST(EditHistory, ANewEditAfterAnUndoDropsTheRedoSteps) {
  EditHistory history;
  EditState state = Start();
  for (int v = 1; v <= 3; ++v) {
    const EditState before = state;
    state.block.masterEffect = static_cast<std::uint8_t>(v);
    history.record(before, state, "Effect " + std::to_string(v));
  }
  history.undo(state);
  history.undo(state);
  ASSERT_EQ(state.block.masterEffect, 1);
  ASSERT_EQ(history.redoCount(), 2u);

  const EditState before = state;
  state.block.revTime = 9;
  history.record(before, state, "Reverb Time");
  EXPECT_EQ(history.redoCount(), 0u);
  EXPECT_FALSE(history.redo(state).has_value());
  EXPECT_EQ(history.undoCount(), 2u);
  history.undo(state);
  history.undo(state);
  EXPECT_TRUE(state == Start());
}

// Five hundred fader moves, each on top of the last, all undone and all redone.
TEST(EditHistory, FiveHundredStepsUndoToTheStart) {
  EditHistory history;
  EditState state = Start();
  std::vector<EditState> seen{state};
  for (int i = 0; i < 500; ++i) {
    const EditState before = state;
    state.block.bands[i % kBandCount].gain = static_cast<std::int16_t>(i - 250);
    state.values.echoDelayLr = i % 199 - 99;
    ASSERT_TRUE(history.record(before, state, "step " + std::to_string(i)));
    seen.push_back(state);
  }
  for (int i = 499; i >= 0; --i) {
    ASSERT_EQ(history.undo(state)->name, "step " + std::to_string(i));
    ASSERT_TRUE(state == seen[static_cast<std::size_t>(i)]) << i;
  }
  EXPECT_TRUE(state == Start());
  EXPECT_FALSE(history.undo(state).has_value());
  for (int i = 0; i < 500; ++i) ASSERT_TRUE(history.redo(state).has_value());
  EXPECT_TRUE(state == seen.back());
}

TEST(EditHistory, StepsKeepOnlyTheBytesThatChanged) {
  EditHistory history;
  EditState after = Start();
  after.block.masterMic = 7;
  history.record(Start(), after, "Master Mic");
  EXPECT_LT(history.bytesUsed(), kBlockSize / 4);
}

TEST(EditHistory, BigStepsStayWithinTheBudget) {
  EditHistory history;
  EditState state = Start();
  for (int i = 0; i < 3000; ++i) {
    const EditState before = state;
    InvertBlock(state);
    state.values.micEqMode = i % 3;
    history.record(before, state, "Load");
    ASSERT_LE(history.bytesUsed(), EditHistory::kByteBudget) << i;
  }
  EXPECT_GE(history.undoCount(), EditHistory::kMinimumSteps);
  EXPECT_LT(history.undoCount(), 3000u);
  // The oldest steps went: the history ends at some later state, and still byte for byte.
  while (history.undo(state)) {
  }
  EditState expected = Start();
  const std::size_t dropped = 3000 - history.redoCount();
  if (dropped % 2 == 1) InvertBlock(expected);
  expected.values.micEqMode = static_cast<int>((dropped - 1) % 3);
  EXPECT_TRUE(state == expected);
}

TEST(EditHistory, SmallStepsAreAllKeptWithinTheBudget) {
  EditHistory history;
  EditState state = Start();
  for (int i = 0; i < 2000; ++i) {
    const EditState before = state;
    state.block.masterMusic = static_cast<std::uint8_t>(i % 61);
    if (before == state) state.block.masterMusic = 61;
    history.record(before, state, "Master Music");
  }
  EXPECT_EQ(history.undoCount(), 2000u);
  EXPECT_LE(history.bytesUsed(), EditHistory::kByteBudget);
}

TEST(EditHistory, TheMinimumStepsAreKeptBeyondTheBudget) {
  const std::size_t budget = 4096;
  EditHistory history(budget, 500);
  EditState state = Start();
  for (int i = 0; i < 700; ++i) {
    const EditState before = state;
    InvertBlock(state);
    history.record(before, state, "Load");
  }
  EXPECT_EQ(history.undoCount(), 500u);
  EXPECT_GT(history.bytesUsed(), budget);
  int undone = 0;
  while (history.undo(state)) ++undone;
  EXPECT_EQ(undone, 500);
  EXPECT_TRUE(state == Start());  // 200 inversions dropped: an even number
}

TEST(EditHistory, StepNumbersNameTheMomentsOfTheSettings) {
  EditHistory history(1, 2);  // no budget: the two newest steps are kept
  EditState state = Start();
  const std::uint64_t start = history.appliedId();
  std::vector<std::uint64_t> moments{start};
  for (std::uint8_t level : {10, 20, 30}) {
    const EditState before = state;
    state.block.masterMic = level;
    ASSERT_TRUE(history.record(before, state, "Master Mic"));
    EXPECT_EQ(std::ranges::count(moments, history.appliedId()), 0) << "a number is never reused";
    moments.push_back(history.appliedId());
  }
  // The first step was dropped, and the moment before the oldest kept
  // step is the one after the dropped step.
  ASSERT_EQ(history.undoCount(), 2u);
  history.undo(state);
  EXPECT_EQ(history.appliedId(), moments[2]);
  history.undo(state);
  EXPECT_EQ(history.appliedId(), moments[1]);
  EXPECT_EQ(history.oldestId(), moments[2]);
  history.redo(state);
  EXPECT_EQ(history.appliedId(), moments[2]);
  history.clear();
  EXPECT_EQ(std::ranges::count(moments, history.appliedId()), 0) << "a fresh start is no earlier moment";
}

}  // namespace
}  // namespace kdsp::settings
