// SPDX-License-Identifier: GPL-3.0-or-later
// A window's controls in one fixed order. The window offers every event to every control in
// that order — not only to the first one hit, since a miss clears a control's focus and commits
// a pending value-box entry — and draws them in its own drawing order from a second list, which
// also tells it which controls changed their picture since it last looked.
#pragma once

#include <QRegion>
#include <cstdint>
#include <variant>
#include <vector>

#include "skin/img_button.h"
#include "skin/img_edit.h"
#include "skin/img_eq_band.h"
#include "skin/img_knob.h"
#include "skin/img_roller.h"

class QPainter;

namespace kdsp::skin {

class ControlList {
 public:
  ControlList& add(ImgButton& button) { return push(&button); }
  // A close button shows its released state again right after every press, so that it fires
  // on its first release.
  ControlList& addCloseButton(ImgButton& button);
  ControlList& add(ImgEdit& box) { return push(&box); }
  ControlList& add(ImgRoller& roller) { return push(&roller); }
  ControlList& add(ImgKnob& knob) { return push(&knob); }
  ControlList& add(ImgEqBand& strip) { return push(&strip); }
  template <typename Control, std::size_t N>
  ControlList& add(Control (&controls)[N]) {
    for (Control& c : controls) add(c);
    return *this;
  }

  // True when any control (or one of its boxes) was hit.
  bool mouseDown(int x, int y);
  // Ends every drag and press; button click handlers run here.
  void mouseUp();
  void mouseMove(int x, int y);
  void wheel(int delta, int x, int y);
  void keyDown(int key);
  // To the value boxes of faders, EQ strips and knobs that show one, and to lone value boxes.
  void keyPress(char ch);
  // Draws every control in list order; with the painter clipped, only those that reach into
  // the clip.
  void draw(QPainter& painter) const;
  // The area of every control whose picture changed since the last call (all of them at the
  // first), remembering what each one shows now.
  QRegion takeChangedRegion();

  // Whether a value box shows a refused entry, and the end of every such flash.
  bool anyFlashing() const;
  void endFlashes();

 private:
  struct Entry {
    std::variant<ImgButton*, ImgEdit*, ImgRoller*, ImgKnob*, ImgEqBand*> control;
    bool closeButton = false;
    std::uint64_t shownKey = 0;  // the fingerprint takeChangedRegion last saw
    bool seen = false;
  };
  // fn(box) for every value box: lone ones and those of faders, knobs and EQ strips.
  template <typename Fn>
  void forEachBox(Fn fn) const;
  template <typename T>
  ControlList& push(T* control) {
    entries_.push_back({control, false});
    return *this;
  }

  std::vector<Entry> entries_;
};

}  // namespace kdsp::skin
