// Repaint of the Mic Equalizer page: the real page over the program's main window, with the
// simulated processor behind the link, painted whole through its off-screen picture (controls,
// texts and the response chart with its 17 curves).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "app/main_window.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "pages/effect_page.h"
#include "qt_bench_main.h"
#include "settings/parameter_block.h"
#include "silent_dialogs.h"
#include "sim/simulated_hid_device.h"
#include "skin/page_layouts.h"

namespace kdsp::bench {
namespace {

void BM_MicEqualizerRender(benchmark::State& state) {
  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  platform.plug(std::make_shared<sim::SimulatedHidDevice>());
  SilentDialogs dialogs;
  settings::ParameterBlock working = settings::FactoryDefaults();
  app::TForm1 main(controller, working, dialogs);
  main.show();
  if (!device::WaitUntil([&] { return main.link().lastStatus().has_value(); },
                         std::chrono::seconds(5))) {
    Fail(state, "the simulated processor did not answer");
    return;
  }
  pages::EffectPage page(skin::page_layout::LayoutOf(settings::PageId::kMicEqualizer),
                         main.skinImages(), main.skinFonts(), working, main.link());
  page.show();
  int width = 0;
  for (auto _ : state) {
    const QImage image = page.render();
    width = image.width();
    benchmark::DoNotOptimize(image.constBits());
  }
  if (width == 0) Fail(state, "the page painted nothing");
}
BENCHMARK(BM_MicEqualizerRender)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kdsp::bench

int main(int argc, char** argv) {
  return kdsp::bench::RunQtBenchmarks(argc, argv);
}
