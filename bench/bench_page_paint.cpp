// SPDX-License-Identifier: GPL-3.0-or-later
// Painting the Mic Equalizer page, the real page over the program's main window with the
// simulated processor behind the link, at the screen's device pixel ratio (QT_SCALE_FACTOR=2
// runs it at 2, with the backing store Qt then keeps at 2): a whole repaint
// (controls, texts and the response chart with its 17 curves over the cached static layer,
// copied to the window), one
// frame of a chart drag (the move event, the repaint of what it changed, the copy to the
// window), and one frame of the live spectrum (a new buffer, the chart repainted).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <array>
#include <chrono>
#include <cmath>
#include <memory>

#include "app/main_window.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "display/response_chart.h"
#include "pages/effect_page.h"
#include "qt_bench_main.h"
#include "settings/parameter_block.h"
#include "silent_dialogs.h"
#include "sim/simulated_hid_device.h"
#include "skin/page_layouts.h"

namespace kdsp::bench {
namespace {

// The main window with its link to the simulated processor, and the Mic Equalizer page shown.
class MicPageOnScreen {
 public:
  explicit MicPageOnScreen(benchmark::State& state) : main_(controller_, working_, dialogs_) {
    platform_.plug(std::make_shared<sim::SimulatedHidDevice>());
    main_.show();
    if (!device::WaitUntil([&] { return main_.link().lastStatus().has_value(); },
                           std::chrono::seconds(5))) {
      Fail(state, "the simulated processor did not answer");
      return;
    }
    page_ = std::make_unique<pages::EffectPage>(
        skin::page_layout::LayoutOf(settings::PageId::kMicEqualizer), main_.skinImages(),
        main_.skinFonts(), working_, main_.link());
    page_->show();
    // The first paint builds the static layer; the benchmark times what follows.
    if (!device::WaitUntil([&] { return page_->paintedRatio() > 0; }, std::chrono::seconds(5))) {
      Fail(state, "the page was never painted");
      return;
    }
    state.counters["ratio"] = page_->devicePixelRatioF();
    ready_ = true;
  }

  bool ready() const { return ready_; }
  pages::EffectPage& page() { return *page_; }

  // Delivers a mouse event to the page and paints what it changed, as the event loop would.
  void mouse(QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, page_->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(page_.get(), &event);
    QCoreApplication::sendPostedEvents(page_.get(), QEvent::UpdateRequest);
  }

 private:
  device::VirtualHidPlatform platform_;
  device::HidDeviceController controller_{platform_};
  SilentDialogs dialogs_;
  settings::ParameterBlock working_ = settings::FactoryDefaults();
  app::TForm1 main_;
  std::unique_ptr<pages::EffectPage> page_;
  bool ready_ = false;
};

// The whole page repainted through its paint event and copied to the window, as an expose does.
void BM_MicEqualizerRepaint(benchmark::State& state) {
  MicPageOnScreen screen(state);
  if (!screen.ready()) return;
  for (auto _ : state) screen.page().repaint();
  if (screen.page().lastPaintedRegion() != QRegion(screen.page().rect()))
    Fail(state, "the page did not repaint whole");
}
BENCHMARK(BM_MicEqualizerRepaint)->Unit(benchmark::kMillisecond);

// A band's handle dragged up and down by 30 pixels, one move per frame: its area, the red sum,
// the handles and the band's strip (fader, gain box) change.
void BM_ChartDragFrame(benchmark::State& state) {
  MicPageOnScreen screen(state);
  if (!screen.ready()) return;
  display::ResponseChart& chart = screen.page().chart();
  constexpr int kBand = 6;
  const QPoint handle(chart.bounds.x + chart.bandHandles[kBand].x,
                      chart.bounds.y + chart.bandHandles[kBand].y);
  screen.mouse(QEvent::MouseButtonPress, handle);
  if (chart.selectedBand != kBand) {
    Fail(state, "the press did not pick the band");
    return;
  }
  const std::int16_t before = chart.bands[kBand]->gain;
  int frame = 0;
  for (auto _ : state) {
    screen.mouse(QEvent::MouseMove, handle + QPoint(0, (frame++ % 2 == 0) ? -30 : 30));
  }
  if (chart.bands[kBand]->gain == before) Fail(state, "the drag did not change the band");
  screen.mouse(QEvent::MouseButtonRelease, handle);
}
BENCHMARK(BM_ChartDragFrame)->Unit(benchmark::kMillisecond);

// A new analyser buffer each frame: the spectrum line moves, nothing else.
void BM_SpectrumFrame(benchmark::State& state) {
  MicPageOnScreen screen(state);
  if (!screen.ready()) return;
  std::array<float, display::kSpectrumBins> levels{};
  bool stale = false;
  screen.page().setSpectrumSource([&](display::ResponseChart& chart) {
    chart.showSpectrum = true;
    chart.spectrum = levels.data();
    chart.spectrumStale = stale;
    stale = false;
  });
  int frame = 0;
  for (auto _ : state) {
    ++frame;
    for (int bin = 0; bin < display::kSpectrumBins; ++bin)
      levels[static_cast<std::size_t>(bin)] =
          static_cast<float>(120 + 80 * std::sin(0.02 * bin + 0.3 * frame));
    stale = true;
    screen.page().repaintChart();
  }
  if (stale) Fail(state, "the chart did not take the spectrum");
}
BENCHMARK(BM_SpectrumFrame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kdsp::bench

int main(int argc, char** argv) {
  return kdsp::bench::RunQtBenchmarks(argc, argv);
}
