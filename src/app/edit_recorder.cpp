// SPDX-License-Identifier: GPL-3.0-or-later
// Gestures as steps of the edit session; undo, redo and the A/B switch applied to the windows
// and the processor.
#include "app/edit_recorder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <utility>

#include "settings/step_names.h"
#include "skin/panel_window.h"

namespace kdsp::app {

EditRecorder::EditRecorder(settings::ParameterBlock& working, device::DeviceLink& link,
                           std::function<void()> refreshAll, QObject* parent)
    : QObject(parent),
      working_(working),
      link_(link),
      refreshAll_(std::move(refreshAll)),
      session_({working, link.controlValues()}, settings::SettingsOrigin::Factory()) {
  wheelBurst_.setSingleShot(true);
  wheelBurst_.setInterval(kWheelBurstMs);
  connect(&wheelBurst_, &QTimer::timeout, this, [this] { finishGesture(); });
  qApp->installEventFilter(this);
}

EditRecorder::~EditRecorder() {
  qApp->removeEventFilter(this);
}

void EditRecorder::watch(skin::PanelWindow& panel) {
  windows_.push_back({&panel, &panel, {}, {}});
}

void EditRecorder::watch(QWidget& window, std::string name) {
  windows_.push_back({&window, nullptr, std::move(name), {}});
}

settings::EditState EditRecorder::current() const {
  return {working_, link_.controlValues()};
}

void EditRecorder::startGesture(std::string name) {
  // Whatever the last gesture left unrecorded (a change made after its release, behind a
  // question it asked) is its own.
  finishGesture();
  gestureName_ = std::move(name);
}

void EditRecorder::finishGesture() {
  wheelBurst_.stop();
  if (applying_ || commands_ > 0) return;
  if (session_.recordEdit(current(),
                          gestureName_.empty() ? std::string(settings::step::kEdit) : gestureName_))
    notify();
}

void EditRecorder::beginCommand() {
  finishGesture();
  ++commands_;
}

void EditRecorder::endCommand(std::string stepName,
                              const std::optional<settings::SettingsOrigin>& origin) {
  if (commands_ > 0) --commands_;
  if (origin)
    session_.recordReplacement(current(), std::move(stepName), *origin);
  else
    session_.recordEdit(current(), std::move(stepName));
  notify();
}

void EditRecorder::kept(const settings::SettingsOrigin& origin) {
  // The upload that stored them prepared the block (its checksum, the derived echo values):
  // those bytes are no edit of the user's.
  session_.adopt(current());
  session_.markKept(origin);
  notify();
}

void EditRecorder::startFresh(const settings::SettingsOrigin& origin) {
  session_.startFresh(current(), origin);
  onProcessor_ = true;
  notify();
}

void EditRecorder::setOnProcessor(bool on) {
  if (std::exchange(onProcessor_, on) != on) notify();
}

void EditRecorder::adoptProgramChange() {
  if (applying_ || commands_ > 0) return;
  session_.adopt(current());
}

void EditRecorder::applyLive(const settings::EditState& from) {
  const settings::EditState& to = session_.live();
  applying_ = true;
  working_ = to.block;
  link_.setMicEqMode(to.values.micEqMode);
  link_.setEchoControls(to.values.echoDelayLr, to.values.echoPreDelayLr, to.values.echoDirect);
  if (refreshAll_) refreshAll_();
  // Settings the processor never took are no place to start a difference from: the whole
  // block goes.
  const bool sentWhole = link_.sendDifference(from, current(), /*wholeBlock=*/!onProcessor_);
  if (sentWhole) onProcessor_ = true;
  applying_ = false;
  // An upload prepares the block (its checksum, the derived echo values): those bytes are no
  // edit of the user's.
  session_.adopt(current());
}

void EditRecorder::undo() {
  takeStep(&settings::EditSession::undo);
}

void EditRecorder::redo() {
  takeStep(&settings::EditSession::redo);
}

void EditRecorder::takeStep(StepDirection direction) {
  finishGesture();
  const settings::EditState from = current();
  if (!(session_.*direction)()) return;
  applyLive(from);
  notify();
}

void EditRecorder::switchSide() {
  finishGesture();
  const settings::EditState from = current();
  session_.switchSide();
  applyLive(from);
  notify();
}

void EditRecorder::copySide(int from, int to) {
  finishGesture();
  const settings::EditState before = current();
  if (!session_.copySide(from, to)) return;
  if (to == session_.liveSide()) applyLive(before);
  notify();
}

void EditRecorder::notify() {
  if (changed_) changed_();
}

EditRecorder::Watched* EditRecorder::watchedWindowOf(QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return nullptr;
  QWidget* window = widget->window();
  for (Watched& w : windows_)
    if (w.window == window) return &w;
  return nullptr;
}

std::string EditRecorder::NameAt(Watched& window, QPoint windowPosition) {
  if (window.panel == nullptr) return window.name;
  return window.panel->controlNameAt(windowPosition.x(), windowPosition.y());
}

bool EditRecorder::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
      break;
    default:
      return false;
  }
  Watched* window = watchedWindowOf(watched);
  if (window == nullptr) return false;
  auto* widget = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const QPoint at =
          widget->mapTo(window->window, static_cast<QMouseEvent*>(event)->position().toPoint());
      window->lastControl = NameAt(*window, at);
      startGesture(window->lastControl);
      break;
    }
    case QEvent::Wheel: {
      const QPoint at =
          widget->mapTo(window->window, static_cast<QWheelEvent*>(event)->position().toPoint());
      std::string name = NameAt(*window, at);
      // Turns on one control go on the same burst; another control starts its own.
      if (!wheelBurst_.isActive() || name != gestureName_) startGesture(std::move(name));
      wheelBurst_.start();
      break;
    }
    case QEvent::KeyPress: {
      // Keys go to the control last pressed in the window.
      std::string name = window->panel != nullptr ? window->lastControl : window->name;
      if (wheelBurst_.isActive() || name != gestureName_) startGesture(std::move(name));
      break;
    }
    case QEvent::MouseButtonRelease:
      // After the release has done its work: a button acts on its release.
      QTimer::singleShot(0, this, [this] { finishGesture(); });
      break;
    case QEvent::KeyRelease:
      // A held key repeats press and release: the step ends when the key is let go.
      if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
        QTimer::singleShot(0, this, [this] { finishGesture(); });
      break;
    default:
      break;
  }
  return false;
}

}  // namespace kdsp::app
