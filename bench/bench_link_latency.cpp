// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the link to the simulated processor over the virtual HID bus and over TCP on
// 127.0.0.1: the time from a fader change to its record arriving at the processor (bounded by
// the synchronisation tick, 10 ms on USB and 200 ms on WiFi), and whole-block uploads and
// read-backs. --changes=N sets how many fader changes are timed (5 unless told).
#include <benchmark/benchmark.h>

#include <QHostAddress>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "device/change_flags.h"
#include "device/command_codes.h"
#include "device/device_link.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/link_timing.h"
#include "device/virtual_hid_platform.h"
#include "qt_bench_main.h"
#include "settings/parameter_block.h"
#include "silent_dialogs.h"
#include "sim/sim_tcp_server.h"
#include "sim/simulated_hid_device.h"
#include "sim/simulated_processor.h"

namespace kdsp::bench {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

enum class Via { kHid, kTcp };

// A link connected to a simulated processor, greeted, with the sync question answered No.
class LinkRig {
 public:
  explicit LinkRig(Via via) {
    if (via == Via::kHid) {
      auto device = std::make_shared<sim::SimulatedHidDevice>();
      processor_ = &device->processor();
      platform_.plug(device);
    } else {
      tcpProcessor_ = std::make_unique<sim::SimulatedProcessor>();
      processor_ = tcpProcessor_.get();
      server_ = std::make_unique<sim::SimTcpServer>(*processor_);
      if (!server_->listen(QHostAddress::LocalHost, 0)) return;
    }
    processor_->onRecordLog = [this](std::string_view line) {
      if (std::stoi(std::string(line)) == watchedCode) arrived = Clock::now().time_since_epoch();
    };
    link = std::make_unique<device::DeviceLink>(controller_, working, dialogs_);
    link->start();
    link->FormShow();
    if (via == Via::kTcp) {
      link->setWifiAddress("127.0.0.1", server_->serverPort());
      link->WiFi1Click();
    }
    ready_ = device::WaitUntil(
        [&] { return link->state().versionOk && !link->state().syncPending; }, 5s);
  }
  ~LinkRig() { link.reset(); }

  bool ready() const { return ready_; }
  sim::SimulatedProcessor& processor() { return *processor_; }

  settings::ParameterBlock working = settings::FactoryDefaults();
  std::unique_ptr<device::DeviceLink> link;
  int watchedCode = device::code::kEchoDirect;
  std::atomic<Clock::duration> arrived{};

 private:
  device::VirtualHidPlatform platform_;
  device::HidDeviceController controller_{platform_};
  SilentDialogs dialogs_;
  std::unique_ptr<sim::SimulatedProcessor> tcpProcessor_;
  std::unique_ptr<sim::SimTcpServer> server_;
  sim::SimulatedProcessor* processor_ = nullptr;
  bool ready_ = false;
};

// One connected link per transport, shared by every benchmark run: bringing a link up over TCP
// takes about a second, and the library runs each benchmark more than once.
std::array<std::unique_ptr<LinkRig>, 2> rigs;

LinkRig& RigFor(Via via) {
  auto& rig = rigs[static_cast<int>(via)];
  if (!rig) rig = std::make_unique<LinkRig>(via);
  return *rig;
}

std::chrono::milliseconds TickOf(Via via) {
  return via == Via::kHid ? device::kSyncIntervalUsb : device::kSyncIntervalWifi;
}

// One iteration is one change of the Echo page's Direct Volume fader, made at a random moment
// within the tick so the figures cover every phase of it.
void BM_FaderToProcessor(benchmark::State& state, Via via) {
  LinkRig& rig = RigFor(via);
  if (!rig.ready()) return Fail(state, "the link did not come up");
  std::mt19937 random(11);
  std::uniform_int_distribution<int> phase(0, static_cast<int>(TickOf(via).count()));
  std::vector<double> ms;
  int value = 0;
  for (auto _ : state) {
    device::WaitMs(phase(random));
    value = (value + 7) % 81;
    rig.working.echoDirect = static_cast<std::uint8_t>(value);
    const device::ControlValues& controls = rig.link->insides().controls;
    rig.link->setEchoControls(controls.echoDelayLr, controls.echoPreDelayLr, value);
    rig.arrived = Clock::duration{};
    const auto start = Clock::now();
    rig.link->markChanged(device::flag::kEchoDirect.first);
    if (!device::WaitUntil([&] { return rig.arrived.load() != Clock::duration{}; }, 2s))
      return Fail(state, "the change never reached the processor");
    const std::chrono::duration<double> took = rig.arrived.load() - start.time_since_epoch();
    state.SetIterationTime(took.count());
    ms.push_back(took.count() * 1000);
  }
  if (rig.processor().working().echoDirect != value)
    return Fail(state, "the processor holds another value");
  std::sort(ms.begin(), ms.end());
  state.counters["median_ms"] = ms[ms.size() / 2];
  state.counters["max_ms"] = ms.back();
  state.counters["changes"] = static_cast<double>(ms.size());
}

// Every chunk and the store record, each acknowledged before the next goes.
void BM_StoreBlock(benchmark::State& state, Via via) {
  LinkRig& rig = RigFor(via);
  if (!rig.ready()) return Fail(state, "the link did not come up");
  std::uint8_t slot = 1;
  for (auto _ : state) {
    rig.working.bands[3].gain = static_cast<std::int16_t>(slot);
    if (rig.link->StoreBlockToDevice(slot) != device::StoreResult::kStored)
      return Fail(state, "the upload failed");
    slot = static_cast<std::uint8_t>(slot % 8 + 1);
  }
}

// The processor's working settings asked for and received whole, as a synchronisation does.
void BM_ReadBlock(benchmark::State& state, Via via) {
  LinkRig& rig = RigFor(via);
  if (!rig.ready()) return Fail(state, "the link did not come up");
  // The processor's working settings get a mark the read-back must bring home.
  rig.working.bands[5].gain = 42;
  if (rig.link->StoreBlockToDevice(device::kWorkingSettingsSlot) != device::StoreResult::kStored)
    return Fail(state, "the upload failed");
  rig.working.bands[5].gain = 0;
  for (auto _ : state) {
    if (!rig.link->ReadBlockFromDevice(device::kWorkingSettingsSlot, 0) ||
        !rig.link->waitForReadComplete(5s))
      return Fail(state, "the read-back did not complete");
  }
  if (rig.working.bands[5].gain != 42) Fail(state, "the block read back differs");
}

void Register(int changes) {
  for (const auto& [name, via] : {std::pair{"hid", Via::kHid}, std::pair{"tcp", Via::kTcp}}) {
    benchmark::RegisterBenchmark((std::string("BM_FaderToProcessor/") + name).c_str(),
                                 BM_FaderToProcessor, via)
        ->Iterations(changes)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("BM_StoreBlock/") + name).c_str(), BM_StoreBlock, via)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("BM_ReadBlock/") + name).c_str(), BM_ReadBlock, via)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace
}  // namespace kdsp::bench

int main(int argc, char** argv) {
  int changes = 5;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--changes=", 10) == 0) {
      changes = std::max(1, std::atoi(argv[i] + 10));
    } else {
      argv[kept++] = argv[i];
    }
  }
  kdsp::bench::Register(changes);
  // The links close while the application that runs their sockets still exists.
  return kdsp::bench::RunQtBenchmarks(kept, argv, [] {
    for (auto& rig : kdsp::bench::rigs) rig.reset();
  });
}
