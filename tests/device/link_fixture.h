// A device link wired to a simulated processor on the virtual HID bus, with prompts that answer
// like a user who takes a moment before clicking.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "sim/simulated_hid_device.h"
#include "support/device_fakes.h"

namespace kdsp::device::testing {

// Prompts like a user who takes a moment before clicking: a modal box runs the event loop.
class ScriptedPrompts : public RecordingPrompts {
 public:
  ScriptedPrompts() { answerYes = false; }
  bool askYesNo(std::string_view caption, std::string_view question) override {
    WaitMs(thinkMs);
    return RecordingPrompts::askYesNo(caption, question);
  }
  int thinkMs = 100;
};

class LinkFixture : public ::testing::Test {
 protected:
  LinkFixture() = default;
  ~LinkFixture() override { link.reset(); }

  // Plugs a simulated processor in; the link finds it through the device change.
  std::shared_ptr<sim::SimulatedHidDevice> plugProcessor(sim::SimOptions options = {}) {
    auto device = std::make_shared<sim::SimulatedHidDevice>(options);
    device->processor().onRecordLog = [this](std::string_view line) {
      received.push_back(std::stoi(std::string(line)));
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
    ASSERT_TRUE(
        waitFor([&] { return !link->state().syncPending && prompts.questions.size() == 1; }));
    received.clear();
  }

  VirtualHidPlatform platform;
  HidDeviceController controller{platform};
  ScriptedPrompts prompts;
  settings::ParameterBlock working = settings::FactoryDefaults();
  int refreshes = 0;
  bool quitRequested = false;
  LinkObserver observer{[this] { ++refreshes; }, {}, {}, [this] { quitRequested = true; }};
  std::unique_ptr<DeviceLink> link;
  std::shared_ptr<sim::SimulatedHidDevice> processor;
  std::uint32_t processorId = 0;
  std::vector<int> received;  // codes of the records the simulator received, in order
};

}  // namespace kdsp::device::testing
