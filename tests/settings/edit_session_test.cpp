// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the edit session: where the settings came from and whether they were modified, through
// loads, edits, stores, undo and redo; the two sides kept apart; a fresh start from the processor.
#include "settings/edit_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "settings/preset_slots.h"

namespace kdsp::settings {
namespace {

EditState With(std::uint8_t masterMusic, std::uint8_t masterMic = 30) {
  EditState s{FactoryDefaults(), ControlValues{}};
  s.block.masterMusic = masterMusic;
  s.block.masterMic = masterMic;
  return s;
}

// One moment of the session as the main window and the menu show it.
struct Shown {
  int side;
  std::string origin;
  bool modified;
  std::string undo;
  std::string redo;
  std::uint8_t masterMusic;

  friend bool operator==(const Shown&, const Shown&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "side " << s.side << ", " << s.origin << (s.modified ? " modified" : "")
               << ", undo '" << s.undo << "', redo '" << s.redo << "', music "
               << int{s.masterMusic};
  }
};

Shown ShownBy(const EditSession& session) {
  return {session.liveSide(),
          OriginText(session.origin()),
          session.modified(),
          std::string(session.undoName().value_or("")),
          std::string(session.redoName().value_or("")),
          session.live().block.masterMusic};
}

TEST(EditSession, OriginAndModifiedFollowLoadEditStoreUndoAndRedo) {
  const EditState start = With(30);
  EditSession session(start, SettingsOrigin::Factory());
  const EditState loaded = With(40);
  const EditState edited = With(45);

  struct Step {
    const char* what;
    std::function<void()> act;
    Shown expected;
  };
  const Step steps[] = {
      {"start", [] {}, {0, "Factory", false, "", "", 30}},
      {"load",
       [&] {
         session.recordReplacement(loaded, "Load karaoke.aex",
                                   SettingsOrigin::File("/tmp/songs/karaoke.aex"));
       },
       {0, "karaoke.aex", false, "Load karaoke.aex", "", 40}},
      {"edit",
       [&] { session.recordEdit(edited, "Master Music fader"); },
       {0, "karaoke.aex", true, "Master Music fader", "", 45}},
      {"store", [&] { session.markKept(SettingsOrigin::Slot(3)); },
       {0, "Slot 3", false, "Master Music fader", "", 45}},
      {"undo the edit: the file's settings again", [&] { session.undo(); },
       {0, "karaoke.aex", false, "Load karaoke.aex", "Master Music fader", 40}},
      {"undo the load", [&] { session.undo(); },
       {0, "Factory", false, "", "Load karaoke.aex", 30}},
      {"nothing more to undo", [&] { EXPECT_FALSE(session.undo()); },
       {0, "Factory", false, "", "Load karaoke.aex", 30}},
      {"redo the load", [&] { session.redo(); },
       {0, "karaoke.aex", false, "Load karaoke.aex", "Master Music fader", 40}},
      {"redo the edit: what was stored", [&] { session.redo(); },
       {0, "Slot 3", false, "Master Music fader", "", 45}},
      {"recall a slot that holds the same",
       [&] { EXPECT_FALSE(session.recordReplacement(edited, "Recall KARAOKE", SettingsOrigin::Slot(7))); },
       {0, "Slot KARAOKE", false, "Master Music fader", "", 45}},
      {"undo, then a new edit drops the redo step and what it would restore",
       [&] {
         session.undo();
         session.undo();
         session.recordEdit(With(20), "Main Music fader");
       },
       {0, "Factory", true, "Main Music fader", "", 20}},
      {"the processor's settings start afresh",
       [&] { session.startFresh(With(50), SettingsOrigin::Processor()); },
       {0, "From processor", false, "", "", 50}},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(ShownBy(session), step.expected) << step.what;
  }
}

TEST(EditSession, TheTwoSidesKeepTheirOwnSettingsHistoriesAndOrigins) {
  EditSession session(With(30), SettingsOrigin::Processor());
  session.recordEdit(With(35), "Master Music fader");
  session.switchSide();
  EXPECT_EQ(ShownBy(session), (Shown{1, "From processor", false, "", "", 30}));
  session.recordReplacement(With(10, 10), "Load disco.aex", SettingsOrigin::File("disco.aex"));
  session.recordEdit(With(12, 10), "Master Music fader");

  session.switchSide();
  EXPECT_EQ(ShownBy(session), (Shown{0, "From processor", true, "Master Music fader", "", 35}));
  session.undo();
  EXPECT_EQ(session.live(), With(30));
  EXPECT_EQ(session.side(EditSession::kSideB), With(12, 10));

  // The copy is a step of the side copied over, bringing the origin and the modified state.
  ASSERT_TRUE(session.copySide(EditSession::kSideB, EditSession::kSideA));
  EXPECT_EQ(ShownBy(session), (Shown{0, "disco.aex", true, "Copy B to A", "", 12}));
  EXPECT_EQ(session.side(EditSession::kSideA), session.side(EditSession::kSideB));
  EXPECT_FALSE(session.copySide(EditSession::kSideA, EditSession::kSideB)) << "already the same";
  session.undo();
  EXPECT_EQ(ShownBy(session), (Shown{0, "From processor", false, "", "Copy B to A", 30}));

  // Copying onto the side that is not live leaves the live one alone.
  ASSERT_TRUE(session.copySide(EditSession::kSideA, EditSession::kSideB));
  EXPECT_EQ(session.live(), With(30));
  session.switchSide();
  EXPECT_EQ(ShownBy(session), (Shown{1, "From processor", false, "Copy A to B", "", 30}));
  session.undo();
  EXPECT_EQ(ShownBy(session), (Shown{1, "disco.aex", true, "Master Music fader", "Copy A to B", 12}));

  // The processor's own settings start both sides afresh: the other side is the same settings.
  session.startFresh(With(40), SettingsOrigin::Processor());
  session.switchSide();
  EXPECT_EQ(ShownBy(session), (Shown{0, "From processor", false, "", "", 40}));
}

TEST(EditSession, AnEditThatChangesNothingIsNoStep) {
  EditSession session(With(30), SettingsOrigin::Factory());
  EXPECT_FALSE(session.recordEdit(With(30), "Main Music fader"));
  EXPECT_FALSE(session.undoName());
  EXPECT_FALSE(session.modified());
}

TEST(SettingsOrigin, TextsAndStepNames) {
  EXPECT_EQ(OriginText(SettingsOrigin::Slot(0)), "Slot START UP");
  EXPECT_EQ(OriginText(SettingsOrigin::Slot(3)), "Slot 3");
  EXPECT_EQ(OriginText(SettingsOrigin::Slot(kFactorySlot)), "Factory");
  EXPECT_EQ(OriginText(SettingsOrigin::File("/a/b/karaoke.aex")), "karaoke.aex");
  EXPECT_EQ(OriginText(SettingsOrigin::Processor()), "From processor");
  EXPECT_EQ(SlotStepName(3), "slot 3");
  EXPECT_EQ(SlotStepName(8), "DISCO");
  EXPECT_EQ(SlotStepName(kFactorySlot), "FACTORY");
}

}  // namespace
}  // namespace kdsp::settings
