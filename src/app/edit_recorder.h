// SPDX-License-Identifier: GPL-3.0-or-later
// Turns what the user does in the program's windows into steps of the edit session and applies
// undo, redo and the A/B switch. A gesture is one step: a press to its release (a fader drag, a
// click), a burst of wheel turns on one control, a key held or a value typed. A gesture that
// changed nothing is no step. The program's own replacements of the working settings (a file
// loaded, a slot recalled) are steps named by the command; the processor's own settings start a
// fresh history.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "settings/edit_session.h"
#include "settings/parameter_block.h"

namespace kdsp::skin {
class PanelWindow;
}

namespace kdsp::app {

class EditRecorder : public QObject {
 public:
  // How long after the last wheel turn a burst of turns ends.
  static constexpr int kWheelBurstMs = 500;

  // refreshAll reloads every window from the working settings.
  EditRecorder(settings::ParameterBlock& working, device::DeviceLink& link,
               std::function<void()> refreshAll, QObject* parent = nullptr);
  ~EditRecorder() override;

  // Gestures in these windows are steps: a panel names them after the control pressed, another
  // window by the name given.
  void watch(skin::PanelWindow& panel);
  void watch(QWidget& window, std::string name);
  // Told after every change of the session: new steps, undo, redo, the switch, the origin.
  void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

  // The working settings as the program holds them now.
  settings::EditState current() const;
  const settings::EditSession& session() const { return session_; }

  // ---- The program's commands ----
  // A command that may replace the working settings (loading a file, recalling a slot) begins:
  // what the user did before is a step of its own, and nothing the command does meanwhile is
  // taken for a gesture.
  void beginCommand();
  // The command ends: what it changed is one step by that name; with an origin, the settings
  // now come from there, unmodified.
  void endCommand(std::string stepName, const std::optional<settings::SettingsOrigin>& origin);
  // The working settings, as they are, were stored into a slot or saved to a file. What the user
  // did before is recorded first (finishGesture, before the store).
  void kept(const settings::SettingsOrigin& origin);
  // The working settings are now the processor's own: a fresh history.
  void startFresh(const settings::SettingsOrigin& origin);
  // Whether the processor plays the working settings: not after a file was loaded and not
  // sent, until the whole block goes to it (an undo, a redo or a switch of sides sends it
  // whole then) or the processor's own settings are taken.
  void setOnProcessor(bool on);
  bool onProcessor() const { return onProcessor_; }

  // The program changed the working settings by itself (master levels brought down to new
  // maximum volumes, which are no settings of the history): no step, and the next one starts
  // from here. Within a command or an undo the change belongs to that step.
  void adoptProgramChange();

  // ---- The user's commands ----
  void undo();
  void redo();
  void switchSide();
  void copySide(int from, int to);

  // Ends the gesture under way: a step when it changed the working settings.
  void finishGesture();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Watched {
    QPointer<QWidget> window;
    skin::PanelWindow* panel;  // null for a window named as a whole
    std::string name;
    std::string lastControl;  // the control last pressed, which keys go to
  };
  Watched* watchedWindowOf(QObject* object);
  // The step name of a press at a point of a watched window.
  static std::string NameAt(Watched& window, QPoint windowPosition);
  void startGesture(std::string name);
  // An undo or a redo of the session, applied to the windows and the processor.
  using StepDirection = std::optional<settings::AppliedStep> (settings::EditSession::*)();
  void takeStep(StepDirection direction);
  // Makes the session's live settings the program's and brings the processor there from what
  // it was last told.
  void applyLive(const settings::EditState& from);
  void notify();

  settings::ParameterBlock& working_;
  device::DeviceLink& link_;
  std::function<void()> refreshAll_;
  std::function<void()> changed_;
  settings::EditSession session_;
  std::vector<Watched> windows_;
  std::string gestureName_;
  QTimer wheelBurst_;
  bool applying_ = false;
  bool onProcessor_ = true;
  int commands_ = 0;  // commands under way
};

}  // namespace kdsp::app
