// SPDX-License-Identifier: GPL-3.0-or-later
// The drag-to-move gesture of borderless windows.
#include "skin/window_drag.h"

namespace kdsp::skin {

void WindowDrag::press(QPoint global, QPoint windowPos) {
  state_ = State::kArmed;
  pressAt_ = global;
  pressOffset_ = global - windowPos;
}

WindowDrag::Step WindowDrag::move(QPoint global, bool leftHeld) {
  if (state_ == State::kIdle) return Step::kNothing;
  if (!leftHeld) {
    state_ = State::kIdle;
    return Step::kNothing;
  }
  if (state_ == State::kFollowing) return Step::kHeld;
  if ((global - pressAt_).manhattanLength() < startDistance_) return Step::kHeld;
  state_ = State::kFollowing;
  return Step::kStartMove;
}

}  // namespace kdsp::skin
