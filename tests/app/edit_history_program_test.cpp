// SPDX-License-Identifier: GPL-3.0-or-later
// The program's undo, redo and A/B compare against the simulated processor: every kind of step
// taken back and forth leaves the program's block and the processor's byte for byte where they
// were; a drag is one step; five hundred steps undo to the start; the two sides stay intact and
// start as the processor's settings; the main window's origin and modified state follow loads,
// edits, stores and undos; what the user did not send never reaches the processor.
#include <gtest/gtest.h>

#include <QSlider>
#include <functional>
#include <string>

#include "app/edit_recorder.h"
#include "device/link_messages.h"
#include "pages/effect_page.h"
#include "pages/reverb_dialog.h"
#include "settings/edit_state.h"
#include "settings/setting_file.h"
#include "skin/main_window_layout.h"
#include "support/program_session.h"

namespace kdsp::app {
namespace {

using settings::PageId;
using testing::Centre;
using testing::Drag;
using testing::Type;
using testing::Wheel;

// The settings the program and the processor hold. The marker and the checksum are an upload's
// envelope: parameter records leave them as the last upload set them.
struct Blocks {
  settings::ParameterBlock program;
  settings::ParameterBlock processor;
};

void ExpectSameSettings(const settings::ParameterBlock& a, const settings::ParameterBlock& b,
                        const char* which) {
  for (std::size_t i = 1; i < settings::offsets::kChecksum; ++i)
    ASSERT_EQ(a.bytes()[i], b.bytes()[i]) << which << " block byte " << i;
}

// A setting file far from the factory defaults: most of the block differs.
settings::ParameterBlock FarFromFactory() {
  settings::ParameterBlock block = settings::FactoryDefaults();
  for (int i = 0; i < settings::kBandCount; ++i) {
    settings::EqBand& band = block.bands[i];
    band.gain = static_cast<std::int16_t>(-5 * (i + 1));
    band.frequency = static_cast<std::uint16_t>(256 + (band.frequency + 17) % 100);
    band.bandwidth = static_cast<std::uint8_t>(band.bandwidth + 3);
    band.type = static_cast<std::uint8_t>((band.type + 1) % 3);
  }
  for (auto& row : block.mix)
    for (std::uint8_t& level : row) level = static_cast<std::uint8_t>(level == 30 ? 20 : 30);
  return block;
}

class EditHistoryProgramTest : public ::testing::Test, protected testing::ProgramSession {
 protected:
  EditHistoryProgramTest() {
    // The processor plays settings of its own, which the history starts from.
    settings::ParameterBlock own = settings::FactoryDefaults();
    own.masterMusic = 40;
    own.bands[28].gain = -60;
    prime(own, device::kWorkingSettingsSlot);
    dialogs.holdQuestions = true;
    start();
    main().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&main()));
    for (int p = 0; p < settings::kPageCount; ++p) page(PageId(p)).show();
    // The processor's own settings are taken: the history starts from them.
    EXPECT_TRUE(waitFor([&] { return link().lastStatus() && !dialogs.heldQuestions.empty(); }));
    dialogs.answerHeldQuestion(true);
    EXPECT_TRUE(waitFor([&] { return link().state().readComplete; }));
    settle();
  }

  pages::EffectPage& page(PageId id) { return program->page(id); }
  EditRecorder& edits() { return program->edits(); }
  const settings::EditSession& session() { return edits().session(); }
  std::string undoName() { return std::string(session().undoName().value_or("")); }
  std::string redoName() { return std::string(session().redoName().value_or("")); }
  Blocks blocks() { return {settings::WorkingBlock(), remote()}; }
  // The release acts once the event loop runs; a wheel burst ends when the wheel rests.
  void endGesture() {
    QCoreApplication::processEvents();
    edits().finishGesture();
  }
  void expectBlocks(const Blocks& expected) {
    ExpectSameSettings(settings::WorkingBlock(), expected.program, "program");
    ExpectSameSettings(remote(), expected.processor, "processor");
  }
};

TEST_F(EditHistoryProgramTest, EveryKindOfStepUndoesAndRedoesOnTheProgramAndTheProcessor) {
  EXPECT_EQ(OriginText(session().origin()), "From processor");
  EXPECT_EQ(undoName(), "");
  ASSERT_TRUE(settings::WriteSettingFile(temp / "far.aex", FarFromFactory()));
  pages::EffectPage& mic = page(PageId::kMicEqualizer);
  pages::EffectPage& echo = page(PageId::kEcho);
  pages::EffectPage& music = page(PageId::kMusicEqualizer);
  pages::EffectPage& output = page(PageId::kMainOutput);

  struct Kind {
    const char* what;
    std::function<void()> act;
    const char* step;
    bool wholeBlock = false;  // the undo stores the whole block rather than sending records
  };
  const Kind kinds[] = {
      {"fader drag", [&] { Drag(main(), Centre(main().fader(0).rect), QPoint(0, 40)); },
       "Main Music fader"},
      {"mute click",
       [&] { QTest::mouseClick(&main(), Qt::LeftButton, {}, Centre(main().muteButton(1).rect)); },
       "Main Mic mute"},
      {"delay typed", [&] { Type(main(), main().knob(1).valueBox, "7"); }, "Main Delay R knob"},
      {"knob wheeled", [&] { Wheel(main(), main().knob(7).rect, 1); }, "Control Input knob"},
      {"mic EQ strip wheeled", [&] { Wheel(mic, mic.strip(2).fader.rect, 4); },
       "Mic Equalizer band 3"},
      {"mic EQ mode turned, copying the first set over the second",
       [&] { Wheel(mic, mic.knob(0).rect, 1); }, "Mic Equalizer EQ Mode knob"},
      {"EQ Pass",
       [&] { QTest::mouseClick(&music, Qt::LeftButton, {}, Centre(music.eqPassButton().rect)); },
       "Music Equalizer EQPass button"},
      {"high-pass handle dragged in the chart",
       [&] { testing::DragFilterHandle(output, display::kHighPassHandle, QPoint(120, 0)); },
       "Main Output HPF"},
      {"echo left-right offset dragged",
       [&] { Drag(echo, Centre(echo.fader(4).rect), QPoint(0, -30)); },
       "Echo Effect Delay L-R fader"},
      {"reverb dialog slider stepped by a key",
       [&] {
         program->reverb().show();
         QSlider* slider = program->reverb().findChild<QSlider*>("TrackBar2");
         ASSERT_NE(slider, nullptr);
         QTest::keyClick(slider, Qt::Key_PageUp);
       },
       "Reverb"},
      {"slot 3 recalled", [&] { trigger("N32"); }, "Recall slot 3"},
      {"FACTORY recalled", [&] { trigger("N4"); }, "Recall FACTORY"},
      {"a file far from the factory loaded with Transfer",
       [&] {
         dialogs.files.push_back((temp / "far.aex").string());
         dialogs.yesNo.push_back(true);
         trigger("N2");
       },
       "Load far.aex", true},
  };
  // Slot 3 holds settings of its own, and a music EQ band has a gain for EQ Pass to clear.
  Wheel(main(), main().fader(5).rect, -9);
  endGesture();
  trigger("N31");
  Wheel(music, music.strip(0).fader.rect, 3);
  endGesture();
  settle();
  int stores = 0;
  simulated().onStore = [&](std::uint8_t) { ++stores; };
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.what);
    const Blocks before = blocks();
    kind.act();
    endGesture();
    settle();
    const Blocks after = blocks();
    EXPECT_EQ(undoName(), kind.step);
    ASSERT_FALSE(settings::WorkingBlock() == before.program) << "the action changed nothing";

    stores = 0;
    trigger("mUndo");
    settle();
    expectBlocks(before);
    EXPECT_EQ(redoName(), kind.step);
    EXPECT_EQ(stores, kind.wholeBlock ? 1 : 0);
    trigger("mRedo");
    settle();
    expectBlocks(after);
    EXPECT_EQ(undoName(), kind.step);
    if (HasFailure()) return;
  }
}

TEST_F(EditHistoryProgramTest, ADragIsOneStep) {
  const std::uint8_t start = settings::WorkingBlock().masterMusic;
  const QPoint from = Centre(main().fader(14).rect);
  QTest::mousePress(&main(), Qt::LeftButton, {}, from);
  for (int dy = 4; dy <= 40; dy += 4) QTest::mouseMove(&main(), from + QPoint(0, dy));
  QTest::mouseRelease(&main(), Qt::LeftButton, {}, from + QPoint(0, 40));
  endGesture();
  ASSERT_NE(settings::WorkingBlock().masterMusic, start);
  EXPECT_EQ(session().history().undoCount(), 1u);
  trigger("mUndo");
  settle();
  EXPECT_EQ(settings::WorkingBlock().masterMusic, start);
  EXPECT_EQ(remote().masterMusic, start);
  EXPECT_EQ(main().fader(14).value, start);
}

TEST_F(EditHistoryProgramTest, ALevelBroughtDownToANewMaximumIsNoStep) {
  Wheel(main(), main().fader(14).rect, 10);
  endGesture();
  ASSERT_GT(settings::WorkingBlock().masterMusic, 12);
  Type(main(), main().maxVolumeBox(0), "12");
  endGesture();
  settle();
  EXPECT_EQ(settings::WorkingBlock().masterMusic, 12);
  EXPECT_EQ(undoName(), "Master Music fader") << "the maximum is no setting of the history";
  Wheel(main(), main().fader(0).rect, -3);
  endGesture();
  trigger("mUndo");
  settle();
  EXPECT_EQ(settings::WorkingBlock().masterMusic, 12);
  EXPECT_EQ(remote().masterMusic, 12);
}

TEST_F(EditHistoryProgramTest, FiveHundredStepsUndoToTheStart) {
  const Blocks start = blocks();
  for (int i = 0; i < 500; ++i)
    QTest::mouseClick(&main(), Qt::LeftButton, {}, Centre(main().muteButton(i % 14).rect));
  endGesture();
  settle();
  EXPECT_EQ(session().history().undoCount(), 500u);
  for (int i = 0; i < 500; ++i) trigger("mUndo");
  settle();
  expectBlocks(start);
  EXPECT_EQ(session().history().undoCount(), 0u);
  EXPECT_FALSE(program->menu().item("mUndo")->isEnabled());
  EXPECT_EQ(program->menu().item("mRedo")->text(), "Redo Main Music mute");
}

TEST_F(EditHistoryProgramTest, SwitchingSidesLeavesEachSideIntact) {
  Wheel(main(), main().fader(0).rect, -5);
  endGesture();
  settle();
  const Blocks sideA = blocks();

  trigger("mSwitchSide");
  settle();
  EXPECT_EQ(session().liveSide(), settings::EditSession::kSideB);
  EXPECT_EQ(program->menu().item("mSwitchSide")->text(), "Switch to A");
  EXPECT_FALSE(settings::WorkingBlock() == sideA.program) << "B starts where A started";
  Wheel(main(), main().fader(4).rect, -3);
  endGesture();
  settle();
  const Blocks sideB = blocks();

  for (int round = 0; round < 2; ++round) {
    trigger("mSwitchSide");
    settle();
    expectBlocks(sideA);
    EXPECT_EQ(main().fader(0).value, settings::WorkingBlock().mix[0][0] & 0x7F);
    trigger("mSwitchSide");
    settle();
    expectBlocks(sideB);
  }
  trigger("mCopyBToA");
  // A click on the A tab of the main window's SETTINGS section makes A live.
  const skin::LayoutRect tab = skin::main_layout::kSettingsSideTabs[0];
  QTest::mouseClick(&main(), Qt::LeftButton, {}, QPoint(tab.x + tab.w / 2, tab.y + tab.h / 2));
  settle();
  EXPECT_EQ(session().liveSide(), settings::EditSession::kSideA);
  expectBlocks(sideB);
  EXPECT_EQ(undoName(), "Copy B to A");
}

TEST_F(EditHistoryProgramTest, TheOriginAndModifiedStateFollowLoadEditStoreAndUndo) {
  // As the main window's SETTINGS section shows it.
  const auto shown = [&] {
    const SettingsStatus& status = main().settingsStatus();
    return status.origin + (status.modified ? " modified" : "");
  };
  ASSERT_TRUE(settings::WriteSettingFile(temp / "karaoke.aex", FarFromFactory()));
  dialogs.files.push_back((temp / "karaoke.aex").string());
  dialogs.yesNo.push_back(true);
  trigger("N2");
  EXPECT_EQ(shown(), "karaoke.aex");
  EXPECT_EQ(program->menu().item("mUndo")->text(), "Undo Load karaoke.aex");
  Wheel(main(), main().fader(2).rect, -2);
  endGesture();
  EXPECT_EQ(shown(), "karaoke.aex modified");
  trigger("N31");  // store into slot 3
  EXPECT_EQ(shown(), "Slot 3") << ::testing::PrintToString(dialogs.messages);
  trigger("mUndo");
  EXPECT_EQ(shown(), "karaoke.aex");
  trigger("mRedo");
  EXPECT_EQ(shown(), "Slot 3");
  dialogs.files.push_back((temp / "saved.aex").string());
  Wheel(main(), main().fader(2).rect, 1);
  endGesture();
  trigger("mSaveToFile");
  EXPECT_EQ(shown(), "saved.aex");
}

TEST_F(EditHistoryProgramTest, ACommandThatBringsNothingChangesNothingAndLeavesNoStep) {
  const struct {
    const char* what;
    std::function<void()> act;
    std::string_view message;
  } commands[] = {
      {"an empty slot recalled", [&] { trigger("A1"); }, device::message::kEmptyOrChecksumError},
      {"a store into slot 4 acknowledged too late",
       [&] {
         simulated().setOptions({.ackDelayMs = 400});
         link().setAcknowledgementLimit(std::chrono::milliseconds(150));
         trigger("N41");
         ASSERT_TRUE(waitFor([&] { return flushed(); }));
         simulated().setOptions({});
       },
       device::message::kUploadNotAcknowledged},
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command.what);
    // An edit leaves the block's checksum behind, which an upload brings up to date.
    Wheel(main(), main().fader(3).rect, -2);
    endGesture();
    settle();
    const Blocks before = blocks();
    const std::size_t steps = session().history().undoCount();
    dialogs.messages.clear();
    command.act();
    endGesture();
    settle();
    expectBlocks(before);
    EXPECT_EQ(session().history().undoCount(), steps);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{std::string(command.message)});
  }
}

TEST_F(EditHistoryProgramTest, AFileLoadedAndNotSentStaysOffTheProcessorUntilItIsSent) {
  settings::ParameterBlock file = FarFromFactory();
  file.masterMusic = 58;  // above the maximum: held at 55 on screen
  ASSERT_TRUE(settings::WriteSettingFile(temp / "karaoke.aex", file));
  QString error;
  ASSERT_TRUE(program->startRemote({QHostAddress(QHostAddress::LocalHost), 0}, error));
  const auto phoneSource = [&] { return program->remoteControl()->status().source.toStdString(); };
  const settings::ParameterBlock played = remote();
  const int records = simulated().recordsReceived();

  dialogs.files.push_back((temp / "karaoke.aex").string());
  dialogs.yesNo.push_back(false);
  trigger("N2");
  settle();
  EXPECT_EQ(simulated().recordsReceived(), records);
  EXPECT_TRUE(remote() == played);
  EXPECT_EQ(main().fader(14).value, 55);
  EXPECT_EQ(main().settingsStatus(), (SettingsStatus{0, "karaoke.aex", false, false}));
  EXPECT_EQ(phoneSource(), "karaoke.aex — not on the processor");

  // The other side started as the processor's own settings: switching to it brings them back,
  // and coming back sends the file's settings whole.
  trigger("mSwitchSide");
  settle();
  expectBlocks({played, played});
  EXPECT_TRUE(main().settingsStatus().onProcessor);
  trigger("mSwitchSide");
  settle();
  ExpectSameSettings(remote(), settings::WorkingBlock(), "processor");
  EXPECT_EQ(remote().masterMusic, 55);
  EXPECT_EQ(phoneSource(), "karaoke.aex");
}

}  // namespace
}  // namespace kdsp::app
