// SPDX-License-Identifier: GPL-3.0-or-later
// The screen never disagrees with the processor: a scripted session of the whole program against
// the simulated processor on the virtual HID bus, checking after every step that the working
// block is the processor's working block once the synchronisation tick has sent everything, and
// that every control shows what the block and the maxima hold.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/system_control_panel.h"
#include "device/block_transfer.h"
#include "device/event_loop_wait.h"
#include "device/record_codec.h"
#include "device/virtual_hid_platform.h"
#include "pages/effect_page.h"
#include "pages/pink_noise_dialog.h"
#include "pages/recording_mix_dialog.h"
#include "pages/reverb_dialog.h"
#include "settings/setting_file.h"
#include "sim/simulated_hid_device.h"
#include "skin/main_window_layout.h"
#include "support/program_session.h"

namespace kdsp::app {
namespace {

namespace fs = std::filesystem;
using settings::PageId;
using Strings = std::vector<std::string>;
using testing::Centre;
using testing::Drag;
using testing::Type;
using testing::Wheel;

constexpr std::uint8_t kProcessorMaximum = 40;
constexpr int kMusicMaster = 14;
constexpr int kMicMaster = 15;

// A block that differs from the factory defaults where every page can see it.
settings::ParameterBlock Marked(std::int16_t gain) {
  settings::ParameterBlock block = settings::FactoryDefaults();
  for (auto& band : block.bands) band.gain = gain;
  block.masterMusic = 20;
  return block;
}

// What a previous session left in the processor: its working settings are the program's factory
// defaults, slots 3 and 8 hold settings of their own, and both maxima are 40.
void Prime(sim::SimulatedProcessor& processor) {
  const auto send = [&](std::uint8_t command, std::span<const std::uint8_t> payload) {
    processor.receive(device::EncodedRecord(command, payload).textView());
  };
  const auto upload = [&](const settings::ParameterBlock& block, std::uint8_t slot) {
    std::array<std::uint8_t, 2 + device::kChunkBytes> chunk{};
    for (int k = 0; k < device::kUploadChunkCount; ++k)
      send(device::code::kBlockChunk, {chunk.data(), device::ChunkPayload(block, k, chunk)});
    const std::uint8_t store[] = {slot, kProcessorMaximum, kProcessorMaximum};
    send(device::code::kStoreBlock, store);
  };
  settings::ParameterBlock three = Marked(-30), disco = Marked(60);
  device::PrepareBlockForUpload(three);
  device::PrepareBlockForUpload(disco);
  upload(three, 3);
  upload(disco, 8);
  upload(settings::FactoryDefaults(), device::kWorkingSettingsSlot);
}

// What a window's controls show, one line each, to be compared before and after the window
// reloads itself from the block: a control that showed something else changes.
void Show(Strings& out, const std::string& name, const skin::ImgRoller& f) {
  out.push_back(name + " " + std::to_string(f.value) + " '" + std::string(f.valueBox.textView()) +
                "'");
}
void Show(Strings& out, const std::string& name, const skin::ImgKnob& k) {
  out.push_back(name + " " + std::to_string(k.value) + " '" + std::string(k.valueBox.textView()) +
                "'");
}
void Show(Strings& out, const std::string& name, const skin::ImgButton& b) {
  out.push_back(name + " " + std::to_string(b.state));
}

Strings Shown(TForm1& main) {
  Strings out;
  for (int i = 0; i < 17; ++i) Show(out, "fader " + std::to_string(i), main.fader(i));
  for (int i = 0; i < 8; ++i) Show(out, "knob " + std::to_string(i), main.knob(i));
  for (int i = 0; i < 14; ++i) Show(out, "mute " + std::to_string(i), main.muteButton(i));
  for (int i = 0; i < 8; ++i) Show(out, "switch " + std::to_string(i), main.outputSwitch(i));
  return out;
}

Strings Shown(pages::EffectPage& page) {
  Strings out;
  for (int i = 0; i < page.stripCount(); ++i) {
    skin::ImgEqBand& s = page.strip(i);
    const std::string name = "strip " + std::to_string(i);
    Show(out, name, s.fader);
    out.push_back(name + " '" + std::string(s.freqBox.textView()) + "' '" +
                  std::string(s.qBox.textView()) + "' pass " + std::to_string(s.passButton.state));
  }
  for (int i = 0; i < pages::kMaxFaders; ++i)
    Show(out, "fader " + std::to_string(i), page.fader(i));
  for (int i = 0; i < pages::kMaxKnobs; ++i) Show(out, "knob " + std::to_string(i), page.knob(i));
  for (int i = 0; i < 2; ++i) Show(out, "polarity " + std::to_string(i), page.polaritySwitch(i));
  Show(out, "eq pass", page.eqPassButton());
  return out;
}

struct Step {
  const char* name;
  std::function<void()> action;
  // The maxima were only kept for the next store (the system control panel's boxes).
  bool maximaKeptForNextStore = false;
};

class ScreenAgreesTest : public ::testing::Test, protected testing::ProgramSession {
 protected:
  ScreenAgreesTest() {
    Prime(simulated());
    dialogs.holdQuestions = true;
    start();
    program->mainWindow().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&program->mainWindow()));
    for (int p = 0; p < settings::kPageCount; ++p) program->page(PageId(p)).show();
  }

  pages::EffectPage& page(PageId id) { return program->page(id); }
  void expectAgreement(const Step& step) {
    // The marker and the checksum are the upload's envelope, not settings: parameter records
    // leave them as the last upload set them, on either side.
    const auto& mine = settings::WorkingBlock().bytes();
    const auto& theirs = remote().bytes();
    for (std::size_t i = 1; i < settings::offsets::kChecksum; ++i)
      EXPECT_EQ(mine[i], theirs[i]) << "block byte " << i;
    const device::LinkState& state = link().state();
    if (!step.maximaKeptForNextStore) {
      EXPECT_EQ(state.musicMaxVolume, processor->processor().musicMaxVolume());
      EXPECT_EQ(state.micMaxVolume, processor->processor().micMaxVolume());
    }

    // The controls show the block: reloading them from it changes nothing.
    const Strings before = Shown(main());
    main().RefreshMain();
    EXPECT_EQ(before, Shown(main())) << "main window";
    for (int p = 0; p < settings::kPageCount; ++p) {
      pages::EffectPage& pg = page(PageId(p));
      const Strings shown = Shown(pg);
      pg.refresh();
      EXPECT_EQ(shown, Shown(pg)) << settings::Page(PageId(p)).key;
    }
    // The maxima: in their boxes, and as the master faders' limits, which hold their levels.
    EXPECT_EQ(main().maxVolumeBox(0).textView(), std::to_string(state.musicMaxVolume));
    EXPECT_EQ(main().maxVolumeBox(1).textView(), std::to_string(state.micMaxVolume));
    EXPECT_EQ(main().fader(kMusicMaster).limit, state.musicMaxVolume);
    EXPECT_EQ(main().fader(kMicMaster).limit, state.micMaxVolume);
    EXPECT_LE(main().fader(kMusicMaster).value, state.musicMaxVolume);
    EXPECT_LE(main().fader(kMicMaster).value, state.micMaxVolume);
    // The open recording-mix dialog shows them too.
    pages::TForm13& mix = program->recordingMix();
    if (mix.isVisible()) {
      EXPECT_EQ(mix.findChild<QLineEdit*>("Edit2")->text().toStdString(),
                std::to_string(state.musicMaxVolume));
      EXPECT_EQ(mix.findChild<QLineEdit*>("Edit4")->text().toStdString(),
                std::to_string(state.micMaxVolume));
    }
  }
  void run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      SCOPED_TRACE(step.name);
      step.action();
      settle();
      expectAgreement(step);
      if (HasFailure()) return;  // later steps would only repeat the first disagreement
    }
  }
  // Assigns a file to a slot in the system control panel, as Modify does.
  void assign(int slot, const std::string& path) {
    TForm11& panel = program->systemPanel();
    panel.ListView1->selectRow(slot);
    dialogs.files.push_back(path);
    panel.Button3Click();
  }
};

TEST_F(ScreenAgreesTest, EveryStepLeavesTheScreenTheBlockAndTheProcessorInAgreement) {
  const fs::path saved = temp / "saved.aex";
  const fs::path backup = temp / "backup";
  fs::create_directory(backup);
  fs::create_directory(temp / "settings");
  settings::ParameterBlock two = Marked(25);
  ASSERT_TRUE(settings::WriteSettingFile(temp / "two.aex", two));
  ASSERT_TRUE(settings::WriteSettingFile(temp / "settings" / "1.aex", Marked(-5)));
  pages::EffectPage& mic = page(PageId::kMicEqualizer);
  pages::EffectPage& echo = page(PageId::kEcho);
  pages::EffectPage& output = page(PageId::kMainOutput);

  const std::vector<Step> steps = {
      {"connect and answer No to the sync question",
       [&] {
         ASSERT_TRUE(
             waitFor([&] { return link().lastStatus() && !dialogs.heldQuestions.empty(); }));
         // The processor's maxima show as soon as it has reported them, question or not.
         EXPECT_EQ(main().maxVolumeBox(0).textView(), "40");
         EXPECT_EQ(main().fader(kMusicMaster).limit, 40);
         dialogs.answerHeldQuestion(false);
       }},
      {"main fader wheeled down", [&] { Wheel(main(), main().fader(0).rect, -7); }},
      {"mute and output switch clicked",
       [&] {
         QTest::mouseClick(&main(), Qt::LeftButton, {}, Centre(main().muteButton(5).rect));
         QTest::mouseClick(&main(), Qt::LeftButton, {}, Centre(main().outputSwitch(3).rect));
       }},
      {"delay typed", [&] { Type(main(), main().knob(1).valueBox, "7"); }},
      {"music master wheeled to its maximum",
       [&] {
         Wheel(main(), main().fader(kMusicMaster).rect, 30);
         EXPECT_EQ(main().fader(kMusicMaster).value, 40);
       }},
      {"music maximum lowered in its box",
       [&] {
         Type(main(), main().maxVolumeBox(0), "25");
         EXPECT_EQ(main().fader(kMusicMaster).value, 25);
       }},
      {"music and mic maxima lowered in the system control panel",
       [&] {
         program->systemPanel().Edit1->setText("18");
         program->systemPanel().Edit2->setText("22");
       },
       true},
      {"mic maximum lowered in the recording-mix dialog",
       [&] {
         program->recordingMix().show();
         program->recordingMix().findChild<QLineEdit*>("Edit4")->setText("12");
         EXPECT_EQ(program->recordingMix().findChild<QLineEdit*>("Edit2")->text(), "18");
       }},
      {"music maximum raised in the main window while the recording-mix dialog is open",
       [&] { Type(main(), main().maxVolumeBox(0), "30"); }},
      {"mic EQ strip wheeled", [&] { Wheel(mic, mic.strip(2).fader.rect, 4); }},
      {"mic EQ mode knob turned to set B",
       [&] {
         mic.knob(0).value = 2;
         mic.knob(0).fireChange();
         Wheel(mic, mic.strip(4).fader.rect, -6);
       }},
      {"high-pass handle dragged in the chart",
       [&] { testing::DragFilterHandle(output, display::kHighPassHandle, QPoint(120, 0)); }},
      {"echo delay and its left-right offset dragged",
       [&] {
         Drag(echo, Centre(echo.fader(1).rect), QPoint(0, -40));
         // Upward: an offset that drives the second side past its end could not be read back
         // from the block, and the page shows the offset as dragged.
         Drag(echo, Centre(echo.fader(4).rect), QPoint(0, -30));
       }},
      {"reverb page fader wheeled",
       [&] { Wheel(page(PageId::kReverb), page(PageId::kReverb).fader(0).rect, -3); }},
      {"EQ pass on the music equalizer",
       [&] {
         pages::EffectPage& music = page(PageId::kMusicEqualizer);
         QTest::mouseClick(&music, Qt::LeftButton, {}, Centre(music.eqPassButton().rect));
       }},
      {"reverb dialog slider moved",
       [&] {
         program->reverb().show();
         QSlider* slider = program->reverb().findChild<QSlider*>("TrackBar2");
         ASSERT_NE(slider, nullptr);
         slider->setValue(slider->value() + 5);
       }},
      {"pink-noise dialog opened", [&] { program->pinkNoise().show(); }},
      {"stored into slot 4 from the menu", [&] { trigger("N41"); }},
      {"slot 3 recalled from the menu", [&] { trigger("N32"); }},
      {"saved to a file, changed, and the file loaded back with Transfer",
       [&] {
         dialogs.files.push_back(saved.string());
         trigger("mSaveToFile");
         Wheel(main(), main().fader(2).rect, -4);
         dialogs.files.push_back(saved.string());
         dialogs.yesNo.push_back(true);
         trigger("N2");
       }},
      {"Download All with one file missing",
       [&] {
         assign(2, (temp / "two.aex").string());
         assign(5, (temp / "gone.aex").string());
         program->systemPanel().Button5Click();
         ASSERT_FALSE(dialogs.messages.empty());
         EXPECT_NE(dialogs.messages.back().find("gone.aex: there is no such file"),
                   std::string::npos);
       }},
      {"Upload All into a folder",
       [&] {
         dialogs.folders.push_back(backup.string());
         program->systemPanel().Button6Click();
         EXPECT_EQ(dialogs.messages.back(), "Finish!");
       }},
      {"burn with seven of the eight files missing",
       [&] {
         const fs::path start = fs::current_path();
         fs::current_path(temp.path());
         trigger("N6");
         fs::current_path(start);
         EXPECT_EQ(dialogs.messages.back().rfind("Burn did not store every slot", 0), 0u);
       }},
  };
  run(steps);
  EXPECT_TRUE(processor->processor().slot(2) == [&] {
    device::PrepareBlockForUpload(two);
    return two;
  }());
}

}  // namespace
}  // namespace kdsp::app
