// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program against the simulated processor on the virtual HID bus, for tests that act
// as a user does (wheel turns, drags, typed values, menu items) and then look at the working
// block and the processor's: the helpers that send the input, and the waits that end once the
// synchronisation tick has sent everything.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <chrono>
#include <functional>
#include <memory>

#include "app/program.h"
#include "device/event_loop_wait.h"
#include "device/virtual_hid_platform.h"
#include "pages/effect_page.h"
#include "sim/sim_test_support.h"
#include "sim/simulated_hid_device.h"
#include "skin/control_input.h"
#include "skin/img_edit.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace kdsp::testing {

inline QPoint Centre(const skin::Rect& r) {
  return QPoint(r.x + r.w / 2, r.y + r.h / 2);
}

inline void Wheel(QWidget& window, const skin::Rect& r, int notches) {
  const QPoint at = Centre(r);
  QWheelEvent event(at, window.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&window, &event);
}

inline void Drag(QWidget& window, QPoint from, QPoint by) {
  QTest::mousePress(&window, Qt::LeftButton, {}, from);
  QTest::mouseMove(&window, from + by);
  QTest::mouseRelease(&window, Qt::LeftButton, {}, from + by);
}

// Drags a crossover filter's handle (0 high-pass, 1 low-pass) in a page's chart.
inline void DragFilterHandle(pages::EffectPage& page, int filter, QPoint by) {
  page.render();  // the chart places its handles when it paints
  const display::ResponseChart& chart = page.chart();
  const display::ChartPoint handle = chart.filterHandles[static_cast<std::size_t>(filter)];
  Drag(page, QPoint(chart.bounds.x + handle.x, chart.bounds.y + handle.y), by);
}

inline void Type(QWidget& window, const skin::ImgEdit& box, const char* text) {
  QTest::mouseClick(&window, Qt::LeftButton, {}, Centre(box.rect));
  QTest::keyClicks(&window, text);
  QTest::keyClick(&window, Qt::Key_Return);
}

// The program with a simulated processor plugged in.
struct ProgramSession {
  ProgramSession() = default;
  ProgramSession(const ProgramSession&) = delete;
  ProgramSession& operator=(const ProgramSession&) = delete;
  ~ProgramSession() { program.reset(); }

  // Plugs the processor in (what it holds may be primed before) and starts the program, which
  // finds it at once.
  void start(bool serviceMenu = true) {
    platform.plug(processor);
    program = std::make_unique<app::Program>(platform, dialogs, temp / "kdsp.ini", serviceMenu);
  }

  // Stores a block into one of the processor's slots (240: its working settings), as an upload
  // from an earlier session would have.
  void prime(const settings::ParameterBlock& block, std::uint8_t slot) {
    simulated().receive(sim::testing::UploadText(block, slot));
  }

  app::TForm1& main() { return program->mainWindow(); }
  device::DeviceLink& link() { return main().link(); }
  sim::SimulatedProcessor& simulated() { return processor->processor(); }
  const settings::ParameterBlock& remote() { return simulated().working(); }

  static bool waitFor(const std::function<bool()>& done) {
    return device::WaitUntil(done, std::chrono::seconds(5));
  }
  // Every change raised has been sent and acknowledged.
  bool flushed() {
    const auto insides = link().insides();
    return !insides.flags.anySet() && insides.sender.outstandingRecords() == 0;
  }
  void settle() {
    ASSERT_TRUE(waitFor([&] { return flushed(); })) << "changes still waiting to be sent";
    device::WaitMs(30);  // replies on their way
  }
  void trigger(const char* item) {
    QAction* action = program->menu().item(item);
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
  }

  TempDir temp;
  device::VirtualHidPlatform platform;
  std::shared_ptr<sim::SimulatedHidDevice> processor = std::make_shared<sim::SimulatedHidDevice>();
  ScriptedDialogs dialogs;
  std::unique_ptr<app::Program> program;
};

}  // namespace kdsp::testing
