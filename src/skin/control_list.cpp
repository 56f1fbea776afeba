// SPDX-License-Identifier: GPL-3.0-or-later
// Offering events to a window's controls in their fixed order.
#include "skin/control_list.h"

#include <QPainter>

namespace kdsp::skin {
namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

ControlList& ControlList::addCloseButton(ImgButton& button) {
  entries_.push_back({&button, true});
  return *this;
}

bool ControlList::mouseDown(int x, int y) {
  bool hit = false;
  for (const Entry& entry : entries_) {
    hit |= std::visit([&](auto* control) { return control->mouseDown(x, y); }, entry.control);
    if (entry.closeButton) std::get<ImgButton*>(entry.control)->state = 0;
  }
  return hit;
}

void ControlList::mouseUp() {
  for (const Entry& entry : entries_) {
    std::visit(Overloaded{[](ImgEdit*) {}, [](auto* control) { control->mouseUp(); }},
               entry.control);
  }
}

void ControlList::mouseMove(int x, int y) {
  for (const Entry& entry : entries_) {
    std::visit(Overloaded{[](ImgButton*) {}, [](ImgEdit*) {},
                          [&](auto* control) { control->mouseMove(x, y); }},
               entry.control);
  }
}

void ControlList::wheel(int delta, int x, int y) {
  for (const Entry& entry : entries_) {
    std::visit(Overloaded{[](ImgButton*) {}, [](ImgEdit*) {},
                          [&](auto* control) { control->wheel(delta, x, y); }},
               entry.control);
  }
}

void ControlList::keyDown(int key) {
  for (const Entry& entry : entries_) {
    std::visit(Overloaded{[](ImgButton*) {}, [](ImgEdit*) {},
                          [&](auto* control) { control->keyDown(key); }},
               entry.control);
  }
}

void ControlList::keyPress(char ch) {
  for (const Entry& entry : entries_) {
    std::visit(Overloaded{[](ImgButton*) {}, [&](ImgEdit* box) { box->keyPress(ch); },
                          [&](ImgRoller* roller) { roller->valueBox.keyPress(ch); },
                          [&](ImgKnob* knob) {
                            if (knob->showValueBox) knob->valueBox.keyPress(ch);
                          },
                          [&](ImgEqBand* strip) { strip->keyPress(ch); }},
               entry.control);
  }
}

template <typename Fn>
void ControlList::forEachBox(Fn fn) const {
  for (const Entry& entry : entries_) {
    std::visit(Overloaded{[](ImgButton*) {}, [&](ImgEdit* box) { fn(*box); },
                          [&](ImgRoller* roller) { fn(roller->valueBox); },
                          [&](ImgKnob* knob) { fn(knob->valueBox); },
                          [&](ImgEqBand* strip) {
                            fn(strip->fader.valueBox);
                            fn(strip->freqBox);
                            fn(strip->qBox);
                          }},
               entry.control);
  }
}

bool ControlList::anyFlashing() const {
  bool flashing = false;
  forEachBox([&](const ImgEdit& box) { flashing |= box.flashing != 0; });
  return flashing;
}

void ControlList::endFlashes() {
  forEachBox([](ImgEdit& box) { box.endFlash(); });
}

void ControlList::draw(QPainter& painter) const {
  const bool clipped = painter.hasClipping();
  const QRect clip = clipped ? painter.clipBoundingRect().toAlignedRect() : QRect();
  for (const Entry& entry : entries_) {
    std::visit(
        [&](auto* control) {
          if (!clipped || clip.intersects(control->paintBounds())) control->draw(painter);
        },
        entry.control);
  }
}

QRegion ControlList::takeChangedRegion() {
  QRegion changed;
  for (Entry& entry : entries_) {
    std::visit(
        [&](auto* control) {
          const std::uint64_t key = control->paintKey().value();
          if (entry.seen && key == entry.shownKey) return;
          entry.shownKey = key;
          entry.seen = true;
          changed |= control->paintBounds();
        },
        entry.control);
  }
  return changed;
}

}  // namespace kdsp::skin
