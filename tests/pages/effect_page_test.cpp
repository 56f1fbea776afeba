// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the effect pages with real windows on the offscreen platform and the simulated
// processor behind the link: every page's controls write their table's offsets and reach the
// processor; the Mic Equalizer's sets, the Echo Effect's pairs, and typed values.
#include "pages/effect_page.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "device/event_loop_wait.h"
#include "device/hid_device_controller.h"
#include "device/page_rules.h"
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

// A box that shows milliseconds takes the bare number typed; a refused entry brings back the
// value with its unit.
TEST_F(EffectPageTest, MillisecondBoxesTakeTypedNumbersAndKeepTheirUnit) {
  EffectPage& echo = open(PageId::kEcho);
  skin::ImgRoller& delay = echo.fader(1);
  type(delay.valueBox, "150");
  EXPECT_EQ(delay.value, 150);
  EXPECT_EQ(working.echoA.delay, 150);
  type(delay.valueBox, "301");
  EXPECT_EQ(delay.value, 150);
  EXPECT_EQ(delay.valueBox.textView(), "150ms");
  skin::ImgRoller& level = echo.fader(0);  // no unit: the refused entry reads the bare value
  type(level.valueBox, "81");
  EXPECT_EQ(level.valueBox.textView(), std::to_string(level.value));
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

// A fader dragged past an end of its travel stays at that end: its box reads the end and the
// block holds the end as the fader stores it, byte for byte, at the processor too.
TEST_F(EffectPageTest, DraggingFadersToTheirEndsShowsAndStoresTheEnds) {
  struct Case {
    PageId page;
    int fader;
    bool up;
    std::string_view text;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {PageId::kEcho, 0, true, "80", 668, {0x50}},                // Echo Level, 7 bits
      {PageId::kEcho, 1, true, "300ms", 672, {0x2C, 0x01}},       // Echo Delay, word
      {PageId::kEcho, 1, false, "0ms", 672, {0x00, 0x00}},        //
      {PageId::kEcho, 2, true, "80", 671, {0x50}},                // Echo Repeat
      {PageId::kEcho, 3, true, "100ms", 678, {0x64, 0x00}},       // Pre Delay
      {PageId::kEcho, 4, false, "-99ms", 684, {0x2C, 0x01}},      // Delay L-R: 250 + 99, limited
      {PageId::kEcho, 4, true, "99ms", 684, {0x97, 0x00}},        // 250 - 99
      {PageId::kEcho, 5, true, "99ms", 690, {0x00, 0x00}},        // Pre Delay L-R: 50 - 94, limited
      {PageId::kEcho, 5, false, "-99ms", 690, {0x64, 0x00}},      // 50 + 104, limited
      {PageId::kEcho, 6, false, "OFF", 536, {0x00, 0x00}},        // Echo HPF
      {PageId::kEcho, 7, true, "OFF", 542, {0x67, 0x01}},         // Echo LPF
      {PageId::kEcho, 8, true, "80", 701, {0x50}},                // Direct Volume
      {PageId::kMainOutput, 0, true, "22", 608, {0x16, 0x00}},    // Threshold, signed word
      {PageId::kMainOutput, 0, false, "-20", 608, {0xEC, 0xFF}},  //
      {PageId::kMainOutput, 3, true, "1:INF", 607, {0x0B}},       // Ratio
      {PageId::kSubwooferOutput, 6, true, "50", 8, {0x32}},       // Decay
      {PageId::kReverb, 2, true, "100ms", 698, {0x64, 0x00}},     // Rev Pre Delay
      {PageId::kReverb, 0, true, "80", 695, {0x50}},              // Rev Level
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(settings::Page(c.page).key) + " fader " + std::to_string(c.fader) +
                 (c.up ? " up" : " down"));
    working.echoA.delay = working.echoB.delay = 250;
    working.echoA.preDelay = working.echoB.preDelay = 50;
    main->link().markChanged(device::flag::kEchoDelay.first);  // the processor's first side too
    main->link().markChanged(device::flag::kEchoPreDelay.first);
    EffectPage& p = open(c.page);
    skin::ImgRoller& f = p.fader(c.fader);
    const QPoint from = Centre(f.rect);
    const QPoint to = from + QPoint(0, c.up ? -(f.rect.h + 10) : f.rect.h + 10);
    QTest::mousePress(&p, Qt::LeftButton, {}, from);
    QTest::mouseMove(&p, to);
    QTest::mouseRelease(&p, Qt::LeftButton, {}, to);
    EXPECT_EQ(f.valueBox.textView(), c.text);
    EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.end(), working.bytes().begin() + c.offset));
    EXPECT_TRUE(sameAtProcessor(c.offset, c.bytes.size()));
  }
}

// The page and the processor reach the same block from the same edits: what the page derives in
// its own block (the second echo side, the mic sets' link) the processor derives from the
// records the link sends.
TEST_F(EffectPageTest, PageAndProcessorDeriveTheSameBlock) {
  working = processor->processor().working();
  EffectPage& echo = open(PageId::kEcho);
  const auto drag = [&](skin::ImgRoller& f, int dy) {
    const QPoint from = Centre(f.rect);
    QTest::mousePress(page.get(), Qt::LeftButton, {}, from);
    QTest::mouseMove(page.get(), from + QPoint(0, dy));
    QTest::mouseRelease(page.get(), Qt::LeftButton, {}, from + QPoint(0, dy));
  };
  drag(echo.fader(1), -40);  // Echo Delay
  drag(echo.fader(4), 30);   // Delay L-R
  drag(echo.fader(3), -20);  // Pre Delay
  drag(echo.fader(5), -60);  // Pre Delay L-R
  drag(echo.fader(1), 25);   // Echo Delay again: the second side follows the offsets kept
  type(echo.fader(4).valueBox, "-70");
  type(echo.fader(3).valueBox, "90");
  drag(echo.fader(8), 50);  // Direct Volume

  EffectPage& mic = open(PageId::kMicEqualizer);
  for (const int mode : {2, 0, 2}) {
    mic.knob(0).value = mode;
    mic.knob(0).fireChange();
    wheel(mic.strip(2).fader.rect, 4);
    // A strip's flag stands for whichever set it edits: the band has to leave before the mode
    // moves on.
    EXPECT_TRUE(sameAtProcessor(settings::offsets::Band(device::MicBandSetFirst(mode) + 2), 8));
    QTest::mouseClick(page.get(), Qt::LeftButton, {}, Centre(mic.polaritySwitch(1).rect));
  }

  const settings::ParameterBlock& remote = processor->processor().working();
  EXPECT_TRUE(waitFor([&] {
    return std::equal(working.bytes().begin(),
                      working.bytes().begin() + settings::offsets::kChecksum,
                      remote.bytes().begin());
  }));
  for (std::size_t i = 0; i < settings::offsets::kChecksum; ++i)
    EXPECT_EQ(working.bytes()[i], remote.bytes()[i]) << "byte " << i;
  EXPECT_EQ(processor->processor().micEqMode(), 2);
}

}  // namespace
}  // namespace kdsp::pages
