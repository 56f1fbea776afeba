// SPDX-License-Identifier: GPL-3.0-or-later
// A device link wired to a simulated processor on the virtual HID bus, with prompts that answer
// like a user who takes a moment before clicking.
#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/usb_identity.h"
#include "device/device_link.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "sim/simulated_hid_device.h"
#include "support/device_fakes.h"

namespace kdsp::device::testing {

// Prompts like a user who takes a moment before clicking: a modal box runs the event loop, and
// a question asked without waiting is answered thinkMs later (at once for 0) unless held open.
class ScriptedPrompts : public RecordingPrompts {
 public:
  ScriptedPrompts() { answerYes = false; }
  bool askYesNo(std::string_view caption, std::string_view question) override {
    WaitMs(thinkMs);
    return RecordingPrompts::askYesNo(caption, question);
  }
  void askYesNoAsync(std::string_view caption, std::string_view question,
                     std::function<void(bool yes)> answered) override {
    if (holdQuestions || thinkMs == 0)
      return RecordingPrompts::askYesNoAsync(caption, question, std::move(answered));
    questions.emplace_back(question);
    QTimer::singleShot(thinkMs, &user_,
                       [answered = std::move(answered), yes = answerYes] { answered(yes); });
  }
  int thinkMs = 100;

 private:
  QObject user_;  // a question still waiting for its answer goes with the prompts
};

// Any other HID device on the bus.
class UnrelatedDevice : public VirtualHidDevice {
 public:
  UnrelatedDevice() : VirtualHidDevice({0x046D, 0xC52B, 1, "Other", "Receiver", ""}, {9, 9, 0}) {}
  void writeOutputReport(std::span<const std::uint8_t>) override {}
};

// A processor that answers nothing and writes its reports down; its output report length is
// chosen by the test.
class RecordingProcessor : public VirtualHidDevice {
 public:
  explicit RecordingProcessor(std::uint16_t outputLength)
      : VirtualHidDevice({core::kProcessorVendorId, core::kProcessorProductId, 1, "", "", ""},
                         {65, outputLength, 0}) {}
  void writeOutputReport(std::span<const std::uint8_t> report) override {
    reports.emplace_back(report.begin(), report.end());
  }
  std::vector<std::vector<std::uint8_t>> reports;
};

class LinkFixture : public ::testing::Test {
 protected:
  LinkFixture() = default;
  ~LinkFixture() override { link.reset(); }

  // Plugs a simulated processor in; the link finds it through the device change.
  std::shared_ptr<sim::SimulatedHidDevice> plugProcessor(
      sim::SimOptions options = {},
      VirtualHidDevice::Access access = VirtualHidDevice::Access::kReadWrite) {
    auto device = std::make_shared<sim::SimulatedHidDevice>(options);
    device->setAccess(access);
    device->processor().onRecordLog = [this](std::string_view line) {
      received.push_back(std::stoi(std::string(line)));
      lines.emplace_back(line);
    };
    processorId = platform.plug(device);
    return device;
  }
  void startLink() {
    link = std::make_unique<DeviceLink>(controller, working, prompts, observer);
    link->start();
    link->FormShow();
  }
  bool waitFor(const std::function<bool()>& done, int ms = 2000) {
    return WaitUntil(done, std::chrono::milliseconds(ms));
  }
  // Connected, greeted and answered No to the sync question.
  void connectAndGreet(sim::SimOptions options = {}) {
    processor = plugProcessor(options);
    startLink();
    ASSERT_TRUE(waitFor([&] { return link->state().versionOk; }));
    ASSERT_TRUE(waitFor([&] {
      return !link->state().syncPending && prompts.questions.size() == 1 &&
             !link->syncQuestionOpen();
    }));
    received.clear();
    lines.clear();
  }

  VirtualHidPlatform platform;
  HidDeviceController controller{platform};
  ScriptedPrompts prompts;
  settings::ParameterBlock working = settings::FactoryDefaults();
  int refreshes = 0;
  bool quitRequested = false;
  LinkObserver observer{[this] { ++refreshes; }, {}, {}, [this] { quitRequested = true; }, {}};
  std::unique_ptr<DeviceLink> link;
  std::shared_ptr<sim::SimulatedHidDevice> processor;
  std::uint32_t processorId = 0;
  std::vector<int> received;       // codes of the records the simulator received, in order
  std::vector<std::string> lines;  // the same records described: "224 (E0) …: F0 00"
};

}  // namespace kdsp::device::testing
