// SPDX-License-Identifier: GPL-3.0-or-later
// Moving a borderless window by dragging its background, as plain state: a left press on the
// background only arms the gesture, and the move starts once the pointer has travelled a few
// pixels with the button still held. A tap (press and release with no travel, as a touchpad
// gives) therefore never starts a move, and every release ends one; a window system asked to move
// the window on a tap would keep it glued to the pointer until the next click.
#pragma once

#include <QPoint>

namespace kdsp::skin {

class WindowDrag {
 public:
  enum class Step {
    kNothing,    // the pointer moved without a drag in progress
    kHeld,       // a drag is armed or under way: the move is the gesture's, not the controls'
    kStartMove,  // the gesture has just become a move: hand it over or follow the pointer
  };

  // Travel in pixels (Manhattan length) the pointer needs before the window moves.
  explicit WindowDrag(int startDistance) : startDistance_(startDistance) {}

  // A left press on the background at `global`, with the window's top-left at `windowPos`.
  void press(QPoint global, QPoint windowPos);
  // A pointer move; leftHeld says whether the left button is still down (a move without it
  // means the release was missed, and ends the gesture).
  Step move(QPoint global, bool leftHeld);
  // Any release ends the gesture, whether it had started moving or not.
  void release() { state_ = State::kIdle; }

  bool armed() const { return state_ == State::kArmed; }
  bool following() const { return state_ == State::kFollowing; }
  // Where the window's top-left belongs while it follows the pointer at `global`.
  QPoint windowPosFor(QPoint global) const { return global - pressOffset_; }
  // The pointer position of the press that armed the gesture.
  QPoint pressPoint() const { return pressAt_; }

 private:
  enum class State { kIdle, kArmed, kFollowing };

  int startDistance_;
  State state_ = State::kIdle;
  QPoint pressAt_;
  QPoint pressOffset_;
};

}  // namespace kdsp::skin
