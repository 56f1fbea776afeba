// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the program's start: the main window first, then the dialogs, hidden until opened,
// and the Presets menu reaching them.
#include "app/program.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QMessageBox>

#include "app/system_control_panel.h"
#include "core/program_version.h"
#include "device/event_loop_wait.h"
#include "device/virtual_hid_platform.h"
#include "pages/effect_page.h"
#include "pages/measurement_window.h"
#include "pages/pink_noise_dialog.h"
#include "pages/reverb_dialog.h"
#include "pages/spectrum_analyser.h"
#include "sim/simulated_hid_device.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

TEST(ProgramTest, MainWindowFirstThenTheDialogsHiddenUntilOpened) {
  testing::TempDir temp;
  device::VirtualHidPlatform platform;
  platform.plug(std::make_shared<sim::SimulatedHidDevice>());
  testing::ScriptedDialogs dialogs;
  Program program(platform, dialogs, temp / "kdsp.ini", false);

  const auto& order = program.creationOrder();
  ASSERT_EQ(order.size(), 13u);  // the main window, the eight pages, the four dialogs
  EXPECT_EQ(order[0], &program.mainWindow());
  EXPECT_EQ(order[1], &program.page(settings::PageId::kMicEqualizer));
  EXPECT_EQ(order[9], &program.systemPanel());
  for (std::size_t i = 1; i < order.size(); ++i) EXPECT_FALSE(order[i]->isVisible()) << i;
  EXPECT_TRUE(program.mainWindow().link().state().connected);  // found during creation

  program.menu().item("Rev1")->trigger();
  EXPECT_TRUE(program.reverb().isVisible());
  program.menu().item("N7")->trigger();
  EXPECT_TRUE(program.pinkNoise().isVisible());

  // Without a sound input the spectrum item unticks itself and says so once.
  if (!QMediaDevices::defaultAudioInput().isNull()) return;
  program.menu().item("pi1")->setChecked(true);
  EXPECT_FALSE(program.menu().item("pi1")->isChecked());
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST(ProgramTest, TheMeasurementAnalyserOpensFromTheMenuAndRecordsOnlyWhileShown) {
  testing::TempDir temp;
  device::VirtualHidPlatform platform;
  testing::ScriptedDialogs dialogs;
  Program program(platform, dialogs, temp / "kdsp.ini", false);
  QAction* item = program.menu().item("mMeasure");
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->isVisible());
  EXPECT_EQ(item->text(), "Measurement Analyser…");
  EXPECT_FALSE(program.measurement().isVisible());

  item->trigger();
  EXPECT_TRUE(program.measurement().isVisible());
  const bool hasInput = !QMediaDevices::defaultAudioInput().isNull();
  if (!hasInput) {
    EXPECT_FALSE(program.measurement().source().running());
  }
  // Its trouble with the sound input is its own: no message box, and the live line stays off.
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(program.analyser().showSpectrum());

  program.measurement().close();
  EXPECT_FALSE(program.measurement().source().running());
}

TEST(ProgramTest, TheAboutBoxNamesTheVersionAndTheLicence) {
  testing::TempDir temp;
  device::VirtualHidPlatform platform;
  testing::ScriptedDialogs dialogs;
  Program program(platform, dialogs, temp / "kdsp.ini", false);
  QAction* item = program.menu().item("mAbout");
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->isVisible());
  EXPECT_EQ(program.menu().actions().back(), item) << "About is the menu's last item";

  item->trigger();
  auto* box = program.mainWindow().findChild<QMessageBox*>("aboutBox");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isVisible());
  EXPECT_FALSE(box->isModal() && box->windowModality() == Qt::ApplicationModal);
  EXPECT_EQ(box->windowTitle(), "About Karaoke DSP Control");
  EXPECT_TRUE(box->text().contains("Karaoke DSP Control</b> " +
                                   QString::fromStdString(std::string(core::kProgramVersion))));
  EXPECT_TRUE(box->text().contains("GNU General Public License"));
  EXPECT_TRUE(box->text().contains("version 3 of the License, or (at your option) any later"));
  box->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(program.mainWindow().findChild<QMessageBox*>("aboutBox"), nullptr);
}

}  // namespace
}  // namespace kdsp::app
