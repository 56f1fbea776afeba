// Tests of the effect pages with real windows on the offscreen platform and the simulated
// processor behind the link: every page's controls write their table's offsets and reach the
// processor; the Mic Equalizer's sets, the Echo Effect's pairs, and typed values.
#include "pages/effect_page.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWheelEvent>
#include <cstring>

#include "app/main_window.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/virtual_hid_platform.h"
#include "sim/simulated_hid_device.h"
#include "support/scripted_dialogs.h"

namespace kdsp::pages {
namespace {

using settings::PageId;
using namespace skin::page_layout;

class EffectPageTest : public ::testing::Test {
 protected:
  EffectPageTest() {
    platform.plug(processor);
    main = std::make_unique<app::TForm1>(controller, working, dialogs);
    main->show();
    EXPECT_TRUE(waitFor([&] { return main->link().lastStatus().has_value(); }));
  }
  ~EffectPageTest() override {
    page.reset();
    main.reset();
  }
  EffectPage& open(PageId id) {
    page = std::make_unique<EffectPage>(LayoutOf(id), main->skinImages(), main->skinFonts(),
                                        working, main->link());
    page->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    return *page;
  }
  bool waitFor(const std::function<bool()>& done) {
    return device::WaitUntil(done, std::chrono::seconds(5));
  }
  static QPoint Centre(const skin::Rect& r) { return QPoint(r.x + r.w / 2, r.y + r.h / 2); }
  void wheel(const skin::Rect& r, int notches) {
    const QPoint at = Centre(r);
    QWheelEvent event(at, page->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(page.get(), &event);
  }
  void type(const skin::ImgEdit& box, const char* text) {
    QTest::mouseClick(page.get(), Qt::LeftButton, {}, Centre(box.rect));
    QTest::keyClicks(page.get(), text);
    QTest::keyClick(page.get(), Qt::Key_Return);
  }
  bool sameAtProcessor(std::size_t offset, std::size_t n) {
    return waitFor([&] {
      return std::memcmp(working.bytes().data() + offset,
                         processor->processor().working().bytes().data() + offset, n) == 0;
    });
  }

  device::VirtualHidPlatform platform;
  device::HidDeviceController controller{platform};
  std::shared_ptr<sim::SimulatedHidDevice> processor = std::make_shared<sim::SimulatedHidDevice>();
  kdsp::testing::ScriptedDialogs dialogs;
  settings::ParameterBlock working{};
  std::unique_ptr<app::TForm1> main;
  std::unique_ptr<EffectPage> page;
};

TEST_F(EffectPageTest, EveryPagesControlsWriteTheirTableAndReachTheProcessor) {
  for (const PageLayout* layout : kPageLayouts) {
    EffectPage& p = open(layout->id);
    const int band = settings::Page(layout->id).firstBand;
    const int before = working.bands[band].gain;
    wheel(p.strip(0).fader.rect, 3);
    EXPECT_EQ(working.bands[band].gain, before + 3) << settings::Page(layout->id).key;
    EXPECT_TRUE(sameAtProcessor(settings::offsets::Band(band), 8));
    for (std::size_t i = 0; i < layout->faders.size(); ++i) {
      const auto offset = static_cast<std::size_t>(FaderTarget(layout->id, layout->faders[i]));
      const int old = p.fader(static_cast<int>(i)).value;
      wheel(p.fader(static_cast<int>(i)).rect, old > p.fader(static_cast<int>(i)).min ? -1 : 1);
      EXPECT_NE(p.fader(static_cast<int>(i)).value, old);
      EXPECT_TRUE(sameAtProcessor(offset, 1))
          << settings::Page(layout->id).key << " " << layout->faders[i].caption;
    }
    page.reset();
  }
}

TEST_F(EffectPageTest, MicModeSwitchesAndCopiesTheSets) {
  EffectPage& p = open(PageId::kMicEqualizer);
  skin::ImgKnob& mode = p.knob(0);
  ASSERT_EQ(p.micEqMode(), 0);
  working.bands[3].gain = 45;
  working.bands[51].gain = -10;
  mode.value = 1;
  mode.fireChange();  // 0 -> 1 copies set A over set B
  EXPECT_EQ(working.bands[51].gain, 45);
  EXPECT_EQ(p.strip(3).band, &working.bands[3]);
  working.bands[51].gain = -20;
  mode.value = 2;
  mode.fireChange();  // 1 -> 2 switches the strips to set B, no copy
  EXPECT_EQ(p.strip(3).band, &working.bands[51]);
  EXPECT_EQ(working.bands[51].gain, -20);
  mode.value = 0;
  mode.fireChange();  // 2 -> 0 switches back, no copy
  EXPECT_EQ(p.strip(3).band, &working.bands[3]);
  EXPECT_EQ(working.bands[51].gain, -20);
  EXPECT_TRUE(working.micFlags & settings::kMicSetsLinked);
  EXPECT_TRUE(waitFor([&] { return processor->processor().micEqMode() == 0; }));
}

TEST_F(EffectPageTest, EqPassInMicModeTwoClearsOnlySetB) {
  EffectPage& p = open(PageId::kMicEqualizer);
  p.knob(0).value = 2;
  p.knob(0).fireChange();
  working.bands[2].gain = 30;
  working.bands[50].gain = 40;
  QTest::mouseClick(&p, Qt::LeftButton, {}, Centre(p.eqPassButton().rect));
  EXPECT_EQ(working.bands[50].gain, 0);
  EXPECT_EQ(working.bands[2].gain, 30);
}

TEST_F(EffectPageTest, TypedValues) {
  EffectPage& p = open(PageId::kMainOutput);
  skin::ImgRoller& threshold = p.fader(0);
  type(threshold.valueBox, "20");
  EXPECT_EQ(threshold.value, 20);
  type(threshold.valueBox, "22");
  EXPECT_EQ(threshold.value, 22);
  type(threshold.valueBox, "23");
  EXPECT_EQ(threshold.value, 22);
  EXPECT_EQ(threshold.valueBox.textView(), "22");
  type(threshold.valueBox, "-20");  // a third character is ignored: -2
  EXPECT_EQ(threshold.value, -2);

  skin::ImgEqBand& strip = p.strip(0);
  type(strip.qBox, "2.53");
  EXPECT_EQ(strip.band->bandwidth, 49);
  EXPECT_EQ(strip.qBox.textView().substr(0, 1), "2");
  EXPECT_EQ(strip.qBox.textView().substr(2), "50");
  strip.band->type = settings::kHighShelf;
  strip.refresh();
  type(strip.freqBox, "800");
  EXPECT_EQ(strip.band->frequency, 203);
  EXPECT_EQ(strip.freqBox.textView(), "1K00");
}

TEST_F(EffectPageTest, EchoLeftRightOffsetsDeriveTheSecondSide) {
  EffectPage& p = open(PageId::kEcho);
  skin::ImgRoller& delay = p.fader(1);
  skin::ImgRoller& delayLr = p.fader(4);
  delay.value = 100;
  delay.fireChange();
  delayLr.value = 30;
  delayLr.fireChange();
  EXPECT_EQ(working.echoB.delay, 70);
  delay.value = 250;
  delay.fireChange();
  delayLr.value = -99;
  delayLr.fireChange();
  EXPECT_EQ(working.echoB.delay, 300);  // limited
  p.refresh();
  EXPECT_EQ(delayLr.value, 250 - 300);

  skin::ImgRoller& preDelay = p.fader(3);
  skin::ImgRoller& preDelayLr = p.fader(5);
  preDelay.value = 50;
  preDelay.fireChange();
  preDelayLr.value = 5;
  preDelayLr.fireChange();
  EXPECT_EQ(working.echoB.preDelay, 50);
  p.refresh();
  EXPECT_EQ(preDelayLr.value, 5);
}

TEST_F(EffectPageTest, DraggingTheHighPassHandleMovesItsFaderAndReachesTheProcessor) {
  EffectPage& p = open(PageId::kMainOutput);
  working.filters[5].frequency = 95;
  p.refresh();
  p.render();  // the chart places its handles when it paints
  const display::ResponseChart& chart = p.chart();
  const QPoint handle(chart.bounds.x + chart.filterHandles[0].x,
                      chart.bounds.y + chart.filterHandles[0].y);
  QTest::mousePress(&p, Qt::LeftButton, {}, handle);
  QTest::mouseMove(&p, handle + QPoint(120, 0));
  QTest::mouseRelease(&p, Qt::LeftButton, {}, handle + QPoint(120, 0));
  EXPECT_GT(working.filters[5].frequency, 95);
  EXPECT_EQ(p.fader(4).value, working.filters[5].frequency);  // the HPF fader followed
  EXPECT_TRUE(sameAtProcessor(settings::offsets::Filter(5), 6));
}

}  // namespace
}  // namespace kdsp::pages
