// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the program's main window, preset menu and start-up pieces with the real window on
// the offscreen platform and the simulated processor behind the link.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <filesystem>
#include <string>

#include "app/preset_commands.h"
#include "app/preset_menu.h"
#include "app/qt_user_dialogs.h"
#include "app/single_instance.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "settings/setting_file.h"
#include "sim/sim_device_state.h"
#include "sim/simulated_hid_device.h"
#include "skin/main_window_layout.h"
#include "support/private_instance.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

namespace fs = std::filesystem;
using namespace skin::main_layout;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    processor->processor().onRecordLog = [this](std::string_view line) {
      records.emplace_back(line);
    };
    platform.plug(processor);
    window = std::make_unique<TForm1>(controller, working, dialogs);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(waitFor([&] { return window->link().lastStatus().has_value(); }));
  }
  ~MainWindowTest() override { window.reset(); }

  bool waitFor(const std::function<bool()>& done) {
    return device::WaitUntil(done, std::chrono::seconds(5));
  }
  const settings::ParameterBlock& remote() { return processor->processor().working(); }
  QPoint centre(const skin::Rect& r) { return QPoint(r.x + r.w / 2, r.y + r.h / 2); }
  void type(const skin::ImgEdit& box, const char* text) {
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, centre(box.rect));
    QTest::keyClicks(window.get(), text);
    QTest::keyClick(window.get(), Qt::Key_Return);
  }
  void wheel(QPoint at, int notches) {
    QWheelEvent event(at, window->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.get(), &event);
  }

  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  std::shared_ptr<sim::SimulatedHidDevice> processor = std::make_shared<sim::SimulatedHidDevice>();
  testing::ScriptedDialogs dialogs;
  settings::ParameterBlock working{};
  std::unique_ptr<TForm1> window;
  std::vector<std::string> records;
};

TEST_F(MainWindowTest, StartsWithTheFactoryBlockTheMaximaAndTheProcessorFound) {
  EXPECT_TRUE(working == settings::FactoryDefaults());
  EXPECT_EQ(window->size(), QSize(999, 600));
  EXPECT_EQ(window->maxVolumeBox(0).textView(), "55");
  EXPECT_EQ(window->fader(0).value, 50);
  EXPECT_EQ(dialogs.questions, (std::vector<std::string>{"Sync with connecting device?"}));
}

TEST_F(MainWindowTest, FaderMuteSwitchAndDelayReachTheProcessor) {
  skin::ImgRoller& fader = window->fader(0);
  const QPoint grip(fader.rect.x + 10, fader.rect.y + 100);
  QTest::mousePress(window.get(), Qt::LeftButton, {}, grip);
  QTest::mouseMove(window.get(), grip + QPoint(0, 70));  // 50 - 50 * 70 / 175 = 30
  QTest::mouseRelease(window.get(), Qt::LeftButton, {}, grip + QPoint(0, 70));
  EXPECT_TRUE(waitFor([&] { return remote().mix[0][0] == 30; }));

  QTest::mouseClick(window.get(), Qt::LeftButton, {}, centre(window->muteButton(3).rect));
  EXPECT_TRUE(waitFor([&] { return remote().mix[0][3] == (0x80 | 50); }));
  EXPECT_EQ(window->fader(3).value, 50);  // the level stays

  QTest::mouseClick(window.get(), Qt::LeftButton, {}, centre(window->outputSwitch(2).rect));
  EXPECT_TRUE(waitFor([&] { return remote().outputMutes == 0x04; }));

  type(window->knob(0).valueBox, "12.345");
  EXPECT_EQ(window->knob(0).value, 1200);
  EXPECT_EQ(window->knob(0).valueBox.textView(), "12.00");
  EXPECT_TRUE(waitFor([&] { return remote().outputDelay[0] == 12000; }));
  type(window->knob(0).valueBox, "101");
  EXPECT_EQ(window->knob(0).value, 1200);
  EXPECT_EQ(window->knob(0).valueBox.textView(), "12.00");
}

// Each delay knob at its top end: the box reads 100.00 ms and the knob's own delay line holds
// 100000 microseconds, low byte first, in the block and at the processor.
TEST_F(MainWindowTest, DelayKnobsAtTheirEndWriteTheirOwnDelayLine) {
  const std::size_t lineOfKnob[6] = {0, 1, 2, 4, 5, 3};  // Main L, R, Center, Surround L, R, Sub
  const std::uint8_t hundredMs[4] = {0xA0, 0x86, 0x01, 0x00};
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    type(window->knob(k).valueBox, "100");
    EXPECT_EQ(window->knob(k).valueBox.textView(), "100.00");
    const std::size_t at = 644 + 4 * lineOfKnob[k];
    EXPECT_TRUE(
        std::equal(std::begin(hundredMs), std::end(hundredMs), working.bytes().begin() + at));
    EXPECT_TRUE(waitFor([&] { return remote().outputDelay[lineOfKnob[k]] == 100000; }));
    type(window->knob(k).valueBox, "0");  // the next knob's line is told apart from this one's
    EXPECT_TRUE(waitFor([&] { return remote().outputDelay[lineOfKnob[k]] == 0; }));
  }
}

TEST_F(MainWindowTest, MusicMasterFaderStopsAtTheMusicMaximumButTakesATypedValue) {
  type(window->maxVolumeBox(0), "40");
  EXPECT_EQ(window->link().state().musicMaxVolume, 40);
  skin::ImgRoller& music = window->fader(14);
  wheel(centre(music.rect), 20);
  EXPECT_EQ(music.value, 40);
  type(music.valueBox, "55");
  EXPECT_EQ(music.value, 55);
  EXPECT_TRUE(waitFor([&] { return remote().masterMusic == 55; }));
  type(window->maxVolumeBox(0), "61");
  EXPECT_EQ(window->maxVolumeBox(0).textView(), "40");
  EXPECT_EQ(window->link().state().musicMaxVolume, 40);
}

class PresetTest : public MainWindowTest {
 protected:
  app::PresetCommands commands{window->link(), working, dialogs, [this] { window->RefreshAll(); }};
  PresetMenu menu{commands, {}, false};
  testing::TempDir temp;
};

TEST_F(PresetTest, StoreSubmenuHasNoFactoryRecallSubmenuHasIt) {
  const auto visibleTexts = [](QMenu* m) {
    QStringList texts;
    for (QAction* a : m->actions())
      if (a->isVisible()) texts << a->text();
    return texts;
  };
  const QStringList slotNames = {"START UP", "1", "2", "3", "4", "5", "6", "KARAOKE", "DISCO"};
  EXPECT_EQ(visibleTexts(menu.saveToDeviceMenu()), slotNames);
  EXPECT_EQ(visibleTexts(menu.loadFromDeviceMenu()), slotNames + QStringList{"FACTORY"});
  for (const char* hidden : {"N6", "N7", "pi1", "WiFi1", "N8", "Rev1"})
    EXPECT_FALSE(menu.item(hidden)->isVisible()) << hidden;
  PresetMenu service(commands, {}, true);
  EXPECT_TRUE(service.item("WiFi1")->isVisible());
}

TEST_F(PresetTest, StoreIntoASlotAndRecallIt) {
  working.bands[30].gain = -70;
  commands.N82Click(3);
  EXPECT_TRUE(processor->processor().slot(3) == working);
  working.bands[30].gain = 11;
  commands.N4Click(3);
  ASSERT_TRUE(waitFor([&] { return window->link().state().readComplete; }));
  EXPECT_EQ(working.bands[30].gain, -70);
}

TEST_F(PresetTest, SaveAndLoadASettingFileWithTheTransferQuestion) {
  working.revWidth = 17;
  dialogs.files.push_back((temp / "saved.aex").string());
  commands.mSaveToFileClick();
  working.revWidth = 90;
  dialogs.files.push_back((temp / "saved.aex").string());
  dialogs.yesNo.push_back(false);
  commands.N2Click();
  EXPECT_EQ(working.revWidth, 17);
  EXPECT_EQ(remote().revWidth, 90);  // No: the processor is unchanged
  dialogs.files.push_back((temp / "saved.aex").string());
  dialogs.yesNo.push_back(true);
  commands.N2Click();
  EXPECT_EQ(remote().revWidth, 17);
  EXPECT_EQ(dialogs.questions.back(), "Transfer data to device?");
}

TEST_F(PresetTest, BulkStoreOfTheNumberedFiles) {
  fs::create_directory(temp / "settings");
  for (int i = 1; i <= 8; ++i) {
    settings::ParameterBlock block = settings::FactoryDefaults();
    block.bands[40].gain = static_cast<std::int16_t>(10 * i);
    ASSERT_TRUE(
        settings::WriteSettingFile(temp / "settings" / (std::to_string(i) + ".aex"), block).ok);
  }
  const fs::path before = fs::current_path();
  fs::current_path(temp.path());
  commands.N6Click();
  fs::current_path(before);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(processor->processor().slot(i).bands[40].gain, 10 * i);
  EXPECT_EQ(dialogs.messages,
            (std::vector<std::string>{"Download Done!\nStored: \"1\", \"2\", \"3\", \"4\", "
                                      "\"5\", \"6\", \"KARAOKE\", \"DISCO\"."}));
}

// Files 3 and 6 cannot be used: their slots keep what they hold, and one message at the end
// says so instead of one box per file.
TEST_F(PresetTest, BulkStoreSkipsUnusableFilesAndSaysSoOnce) {
  fs::create_directory(temp / "settings");
  for (int i : {1, 2, 4, 5, 7, 8})
    ASSERT_TRUE(settings::WriteSettingFile(temp / "settings" / (std::to_string(i) + ".aex"),
                                           settings::FactoryDefaults())
                    .ok);
  fs::create_directory(temp / "settings" / "6.aex");  // a folder where a file should be
  const settings::ParameterBlock before = working;
  const fs::path start = fs::current_path();
  fs::current_path(temp.path());
  commands.N6Click();
  fs::current_path(start);
  EXPECT_TRUE(working == before);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0],
            "Burn did not store every slot it was given.\n"
            "Stored: \"1\", \"2\", \"4\", \"5\", \"KARAOKE\", \"DISCO\".\n"
            "Skipped \"3\": settings/3.aex: there is no such file.\n"
            "Skipped \"6\": settings/6.aex: it cannot be read.");
  for (int slot : {3, 6})
    EXPECT_TRUE(processor->processor().slot(slot) == sim::PreparedFactoryBlock()) << slot;
}

// A processor plugged in with a window that asks through the program's own dialogs.
class RealDialogsTest : public ::testing::Test {
 protected:
  RealDialogsTest() {
    processor->processor().onRecordLog = [this](std::string_view line) {
      records.emplace_back(line);
    };
    platform.plug(processor);
    window = std::make_unique<TForm1>(controller, working, dialogs);
    dialogs.setParent(window.get());
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  ~RealDialogsTest() override { window.reset(); }

  static QMessageBox* OpenQuestion() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) return box;
    return nullptr;
  }
  bool waitFor(const std::function<bool()>& done) {
    return device::WaitUntil(done, std::chrono::seconds(5));
  }
  const settings::ParameterBlock& remote() { return processor->processor().working(); }

  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  std::shared_ptr<sim::SimulatedHidDevice> processor = std::make_shared<sim::SimulatedHidDevice>();
  QtUserDialogs dialogs;
  settings::ParameterBlock working{};
  std::unique_ptr<TForm1> window;
  std::vector<std::string> records;
};

TEST_F(RealDialogsTest, EditsGoOutWhileTheSyncQuestionIsOnScreenAndYesReadsAfterwards) {
  ASSERT_TRUE(waitFor([&] { return OpenQuestion() != nullptr; }));
  QMessageBox* box = OpenQuestion();
  EXPECT_EQ(box->windowTitle(), "Sync");
  EXPECT_EQ(box->text(), "Sync with connecting device?");
  EXPECT_EQ(box->parentWidget(), window.get());
  // The tick goes on underneath: the version reply is taken and an edit reaches the processor.
  ASSERT_TRUE(waitFor([&] { return window->link().state().versionOk; }));
  working.mix[2][0] = 0x80 | 33;
  window->link().markChanged(device::flag::kMixFaders.at(12));
  ASSERT_TRUE(waitFor([&] { return remote().mix[2][0] == (0x80 | 33); }));
  EXPECT_EQ(OpenQuestion(), box);

  working.bands[8].gain = -40;  // the read brings the processor's block over this
  QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
  ASSERT_TRUE(waitFor([&] { return window->link().state().readComplete; }));
  EXPECT_TRUE(working == remote());
  EXPECT_EQ(OpenQuestion(), nullptr);
  EXPECT_FALSE(window->link().syncQuestionOpen());
  const auto reads = std::count_if(records.begin(), records.end(), [](const std::string& line) {
    return line.starts_with("224 ") && line.ends_with(": F0 00");
  });
  EXPECT_EQ(reads, 1);
}

TEST_F(RealDialogsTest, ClosingTheWindowWithTheQuestionOpenLeavesNothingToAnswer) {
  ASSERT_TRUE(waitFor([&] { return OpenQuestion() != nullptr; }));
  QPointer<QMessageBox> box = OpenQuestion();
  window.reset();  // the link and the box over the window go with it
  EXPECT_TRUE(box.isNull());
  EXPECT_EQ(OpenQuestion(), nullptr);
}

// The average colour of the lamp's lens as the window shows it.
QColor LensColour(const QImage& lamp) {
  const QImage argb = lamp.convertToFormat(QImage::Format_ARGB32);
  const QPoint c = argb.rect().center();
  long r = 0, g = 0, b = 0, n = 0;
  for (int y = c.y() - 10; y <= c.y() + 10; ++y)
    for (int x = c.x() - 10; x <= c.x() + 10; ++x) {
      const QRgb p = argb.pixel(x, y);
      r += qRed(p);
      g += qGreen(p);
      b += qBlue(p);
      ++n;
    }
  return QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

// The share of pixels that differ clearly between two pictures of the same size.
double Differing(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      differing += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                       std::abs(qBlue(p) - qBlue(q)) >
                   48;
    }
  return static_cast<double>(differing) / (a.width() * a.height());
}

TEST(LinkIndicatorTest, OnOffAndAProcessorWithoutAccessLookAndReadDifferently) {
  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  testing::ScriptedDialogs dialogs;
  settings::ParameterBlock working{};
  std::vector<std::string> records;
  auto withoutAccess = std::make_shared<sim::SimulatedHidDevice>();
  withoutAccess->setAccess(device::VirtualHidDevice::Access::kIdentifyOnly);
  withoutAccess->processor().onRecordLog = [&](std::string_view l) { records.emplace_back(l); };
  const std::uint32_t id = platform.plug(withoutAccess);
  TForm1 window(controller, working, dialogs);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const auto waitFor = [](const std::function<bool()>& done) {
    return device::WaitUntil(done, std::chrono::seconds(5));
  };
  const device::LinkState& state = window.link().state();
  const QRect lampRect(kLinkIndicatorRect.x, kLinkIndicatorRect.y, kLinkIndicatorRect.w,
                       kLinkIndicatorRect.h);
  const auto lamp = [&] { return window.grab(lampRect).toImage(); };

  ASSERT_TRUE(waitFor([&] { return !dialogs.messages.empty(); }));
  const std::string told = device::PermissionProblemText("virtual:" + std::to_string(id),
                                                         std::string(device::kPermissionDenied));
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{told});
  EXPECT_FALSE(state.connected);
  device::WaitMs(50);
  EXPECT_TRUE(dialogs.questions.empty());
  EXPECT_TRUE(records.empty());  // not even a greeting
  const QImage present = lamp();
  EXPECT_EQ(window.linkToolTip().toStdString(), told);
  // The tooltip is the indicator's only: it names the udev rule over the lamp, nothing elsewhere.
  const QPoint over = lampRect.center();
  QHelpEvent help(QEvent::ToolTip, over, window.mapToGlobal(over));
  QApplication::sendEvent(&window, &help);
  EXPECT_TRUE(QToolTip::text().contains("udev"));
  QHelpEvent elsewhere(QEvent::ToolTip, QPoint(20, 300), window.mapToGlobal(QPoint(20, 300)));
  QApplication::sendEvent(&window, &elsewhere);
  EXPECT_TRUE(waitFor([] { return QToolTip::text().isEmpty(); }));

  platform.unplug(id);
  ASSERT_TRUE(waitFor([&] { return !state.processorWithoutAccess(); }));
  const QImage off = lamp();
  EXPECT_EQ(window.linkToolTip(), "No processor connected");

  auto processor = std::make_shared<sim::SimulatedHidDevice>();
  platform.plug(processor);
  ASSERT_TRUE(waitFor([&] { return state.connected && state.versionOk; }));
  const QImage on = lamp();
  EXPECT_EQ(window.linkToolTip(), "Connected to the processor by USB");
  EXPECT_EQ(dialogs.messages.size(), 1u);

  ASSERT_EQ(present.size(), lampRect.size() * window.devicePixelRatio());
  // Three looks, each clearly its own.
  EXPECT_GT(Differing(present, off), 0.25);
  EXPECT_GT(Differing(present, on), 0.25);
  EXPECT_GT(Differing(on, off), 0.25);
  const QColor lit = LensColour(on);
  const QColor warning = LensColour(present);
  const QColor dark = LensColour(off);
  EXPECT_GT(lit.green(), lit.red() + 40) << "green while connected";
  EXPECT_GT(warning.red(), warning.green() + 20) << "amber and red without access";
  EXPECT_GT(warning.green(), warning.blue() + 20) << "amber, not a plain red";
  EXPECT_LT(std::max({dark.red(), dark.green(), dark.blue()}), 90) << "dark when off";
  EXPECT_GT(warning.value(), dark.value() + 40) << "glowing, not off";
}

// A first instance in a thread of its own, as in another process: a later start waits for the
// answer without running an event loop.
class FirstInstanceThread {
 public:
  explicit FirstInstanceThread(const QString& name) {
    thread_.start();
    context_.moveToThread(&thread_);
    run([&] {
      first_ = std::make_unique<SingleInstance>(name);
      listening_ = first_->listen([this](const InstanceRequest& request) {
        requests.push_back(request);
        return InstanceReply{"out " + std::to_string(requests.size()), "err", 7};
      });
    });
  }
  ~FirstInstanceThread() {
    run([&] { first_.reset(); });
    thread_.quit();
    thread_.wait();
  }
  bool listening() const { return listening_; }
  // Waits for the first instance's thread to handle what has come in by now.
  std::vector<InstanceRequest> seen() {
    std::vector<InstanceRequest> copy;
    run([&] { copy = requests; });
    return copy;
  }

 private:
  void run(const std::function<void()>& work) {
    QMetaObject::invokeMethod(&context_, work, Qt::BlockingQueuedConnection);
  }
  QThread thread_;
  QObject context_;
  std::unique_ptr<SingleInstance> first_;
  bool listening_ = false;
  std::vector<InstanceRequest> requests;  // touched on the thread only
};

TEST(SingleInstanceTest, ALaterStartIsAnsweredByTheFirstAndAloneFindsNobody) {
  const QString name = SingleInstance::NameFor(testing::PrivateInstanceName("single-instance"));
  {
    FirstInstanceThread first(name);
    ASSERT_TRUE(first.listening());
    SingleInstance later(name);
    const InstanceRequest request{"/home/ann", {"--page", "mic", "--screenshot", "a b.png"}};
    EXPECT_EQ(later.askRunning(request), (InstanceReply{"out 1", "err", 7}));
    EXPECT_EQ(later.askRunning({"/", {}}), (InstanceReply{"out 2", "err", 7}));

    // A start of an earlier version only says "activate" and leaves: handled as a start
    // without arguments.
    QLocalSocket older;
    older.connectToServer(name);
    ASSERT_TRUE(older.waitForConnected(2000));
    older.write("activate\n");
    older.waitForBytesWritten(2000);
    older.disconnectFromServer();
    EXPECT_TRUE(
        device::WaitUntil([&] { return first.seen().size() == 3; }, std::chrono::seconds(5)));
    EXPECT_EQ(first.seen(), (std::vector<InstanceRequest>{request, {"/", {}}, {}}));
  }
  SingleInstance alone(name);
  EXPECT_EQ(alone.askRunning({"/", {}}), std::nullopt);
}

TEST(SingleInstanceTest, AProgramThatGivesNoAnswerIsAnsweredForWithAMessage) {
  const QString name = SingleInstance::NameFor(testing::PrivateInstanceName("single-instance"));
  // Something else listens under the name: it takes the connection and closes it unanswered.
  QThread thread;
  thread.start();
  QObject context;
  context.moveToThread(&thread);
  std::unique_ptr<QLocalServer> server;
  QMetaObject::invokeMethod(
      &context,
      [&] {
        server = std::make_unique<QLocalServer>();
        server->listen(name);
        QObject::connect(server.get(), &QLocalServer::newConnection, server.get(), [&] {
          while (QLocalSocket* peer = server->nextPendingConnection()) {
            peer->waitForReadyRead(2000);
            peer->write("no\n");
            peer->disconnectFromServer();
          }
        });
      },
      Qt::BlockingQueuedConnection);
  const auto reply = SingleInstance(name).askRunning({"/", {"--page", "mic"}});
  QMetaObject::invokeMethod(
      &context, [&] { server.reset(); }, Qt::BlockingQueuedConnection);
  thread.quit();
  thread.wait();
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->status, 1);
  EXPECT_EQ(reply->err, "kdsp: another kdsp is running, but its answer could not be read\n");
}

}  // namespace
}  // namespace kdsp::app
