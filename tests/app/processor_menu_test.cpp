// SPDX-License-Identifier: GPL-3.0-or-later
// The Processor submenu: several processors on USB by path, named WiFi processors kept in the
// INI file, and a choice among them taken as a processor just plugged in: not connected until it
// answers the greeting.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>

#include "app/program.h"
#include "device/event_loop_wait.h"
#include "device/virtual_hid_platform.h"
#include "settings/wifi_processors.h"
#include "sim/sim_tcp_server.h"
#include "sim/simulated_hid_device.h"
#include "sim/simulated_processor.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

using device::WaitUntil;
using namespace std::chrono_literals;

class ProcessorMenuTest : public ::testing::Test {
 protected:
  std::string plug() {
    return "virtual:" + std::to_string(platform_.plug(std::make_shared<sim::SimulatedHidDevice>()));
  }
  Program& start() {
    program_ = std::make_unique<Program>(platform_, dialogs_, ini_, false);
    return *program_;
  }
  // The submenu's items, by their object names, as the menu shows them when opened.
  std::vector<QString> items() {
    program_->processorMenu().refresh();
    std::vector<QString> names;
    for (QAction* action : program_->processorMenu().actions())
      if (!action->isSeparator()) names.push_back(action->objectName());
    return names;
  }
  QAction* item(const QString& name) {
    program_->processorMenu().refresh();
    return program_->processorMenu().findChild<QAction*>(name);
  }
  device::DeviceLink& link() { return program_->mainWindow().link(); }
  std::string linkedPath() {
    return link().device() != nullptr ? link().device()->PnPInfo().DevicePath : std::string();
  }

  testing::TempDir temp_;
  std::filesystem::path ini_ = temp_.path() / "kdsp.ini";
  device::VirtualHidPlatform platform_;
  testing::ScriptedDialogs dialogs_;
  std::unique_ptr<Program> program_;
};

TEST_F(ProcessorMenuTest, OneProcessorAndNoneAddedIsTodaysProgram) {
  const std::string only = plug();
  start();
  EXPECT_EQ(items(), (std::vector<QString>{QString::fromStdString("mProcessorUsb:" + only),
                                           "mProcessorAdd", "mProcessorForget"}));
  EXPECT_TRUE(item(QString::fromStdString("mProcessorUsb:" + only))->isChecked());
  EXPECT_FALSE(item("mProcessorForget")->isEnabled());
  EXPECT_EQ(link().usbPath(), std::nullopt);
  EXPECT_EQ(linkedPath(), only);
  // The submenu follows the Load submenu.
  const QList<QAction*> top = program_->menu().actions();
  const auto at = top.indexOf(program_->processorMenu().menuAction());
  ASSERT_GT(at, 0);
  EXPECT_EQ(top[at - 1]->objectName(), "mload");
}

TEST_F(ProcessorMenuTest, ChoosingAUsbProcessorGreetsItAndAsks) {
  const std::string first = plug();
  const std::string second = plug();
  start();
  ASSERT_EQ(linkedPath(), first);
  const auto questions = dialogs_.questions.size() + dialogs_.heldQuestions.size();
  item(QString::fromStdString("mProcessorUsb:" + second))->trigger();
  ASSERT_TRUE(WaitUntil([&] { return linkedPath() == second && link().state().connected; }, 2s));
  ASSERT_TRUE(WaitUntil(
      [&] { return dialogs_.questions.size() + dialogs_.heldQuestions.size() > questions; }, 2s));
  EXPECT_TRUE(item(QString::fromStdString("mProcessorUsb:" + second))->isChecked());
  EXPECT_FALSE(item(QString::fromStdString("mProcessorUsb:" + first))->isChecked());
}

TEST_F(ProcessorMenuTest, WiFiProcessorsAreAddedChosenAndForgotten) {
  plug();
  sim::SimulatedProcessor processor;
  sim::SimTcpServer server(processor);
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  const std::string address = "127.0.0.1:" + std::to_string(server.serverPort());
  start();

  // A wrong address is told and asked again, with what was typed.
  dialogs_.texts = {"Room 7", "127.0.0.1", address};
  item("mProcessorAdd")->trigger();
  ASSERT_EQ(dialogs_.inputBoxes.size(), 3u);
  EXPECT_EQ(dialogs_.inputBoxes[1][2], "192.168.4.1:8899");
  EXPECT_EQ(dialogs_.inputBoxes[2][2], "127.0.0.1");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  const auto kept = settings::ReadWifiProcessors(ini_);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].name, "Room 7");

  QAction* room = item("mProcessorWifi:Room 7");
  ASSERT_NE(room, nullptr);
  EXPECT_FALSE(room->isChecked());
  room->trigger();
  ASSERT_TRUE(WaitUntil([&] { return server.hasClient() && link().state().connected; }, 3s));
  EXPECT_TRUE(link().wifiChecked());
  EXPECT_TRUE(program_->menu().item("WiFi1")->isChecked());
  EXPECT_TRUE(item("mProcessorWifi:Room 7")->isChecked());
  // The processors on USB stay listed under WiFi control, across a change on the bus.
  const std::string another = plug();
  ASSERT_TRUE(WaitUntil([&] { return link().usbProcessors().size() == 2; }, 2s));
  EXPECT_NE(item(QString::fromStdString("mProcessorUsb:" + another)), nullptr);
  EXPECT_FALSE(item(QString::fromStdString("mProcessorUsb:" + another))->isChecked());

  // Back to USB: WiFi control goes off.
  const std::string usb = link().usbProcessors().at(0).path;
  item(QString::fromStdString("mProcessorUsb:" + usb))->trigger();
  EXPECT_FALSE(link().wifiChecked());
  EXPECT_FALSE(program_->menu().item("WiFi1")->isChecked());
  ASSERT_TRUE(WaitUntil([&] { return linkedPath() == usb && link().state().connected; }, 2s));

  item("mProcessorForget:Room 7")->trigger();
  EXPECT_TRUE(settings::ReadWifiProcessors(ini_).empty());
  EXPECT_EQ(item("mProcessorWifi:Room 7"), nullptr);
}

TEST_F(ProcessorMenuTest, AWiFiProcessorThatDoesNotAnswerIsNotConnectedAndUsbIsTakenAfresh) {
  const std::string usb = plug();
  // A module that takes the connection and never answers, and an address nothing listens on.
  QTcpServer silent;
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  const quint16 closedPort = closed.serverPort();
  closed.close();
  for (const auto& [name, port] : {std::pair{"Silent", silent.serverPort()},
                                   std::pair{"Gone", closedPort}})
    ASSERT_TRUE(settings::AddWifiProcessor(ini_, {name, {"127.0.0.1", port}}));
  start();
  const TForm1& window = program_->mainWindow();
  ASSERT_TRUE(WaitUntil([&] { return link().state().versionOk; }, 2s));

  for (const char* name : {"Silent", "Gone"}) {
    SCOPED_TRACE(name);
    item(QString("mProcessorWifi:") + name)->trigger();
    WaitUntil([] { return false; }, 300ms);  // long past a greeting's answer
    EXPECT_FALSE(link().state().versionOk);
    EXPECT_NE(&window.linkLamp(), &window.skinImages()[skin::SkinSlot::kLinkOn]);
    EXPECT_NE(window.linkToolTip(), "Connected to the processor by WiFi");
  }
  EXPECT_EQ(window.linkToolTip(), "No processor connected");

  // Back on USB, the processor is greeted and asked about as if just plugged in.
  const auto questions = dialogs_.questions.size();
  item(QString::fromStdString("mProcessorUsb:" + usb))->trigger();
  ASSERT_TRUE(WaitUntil([&] { return dialogs_.questions.size() > questions; }, 2s));
  EXPECT_EQ(dialogs_.questions.back(), "Sync with connecting device?");
  ASSERT_TRUE(WaitUntil([&] { return link().state().versionOk; }, 2s));
  EXPECT_EQ(window.linkToolTip(), "Connected to the processor by USB");
}

}  // namespace
}  // namespace kdsp::app
