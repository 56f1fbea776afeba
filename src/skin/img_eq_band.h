// SPDX-License-Identifier: GPL-3.0-or-later
// One parametric-EQ band strip: the gain fader with its box, the three filter-type buttons, the
// pass button and the frequency and Q boxes, all bound to one EqBand record of the parameter
// block. Every change of the strip sets the fader's changed flag; the synchronisation sends the
// whole band.
#pragma once

#include <QRect>
#include <array>
#include <cstdint>

#include "settings/field_ranges.h"
#include "settings/parameter_block.h"
#include "skin/img_button.h"
#include "skin/img_edit.h"
#include "skin/img_roller.h"
#include "skin/paint_key.h"

class QPainter;

namespace kdsp::skin {

struct ImgEqBand {
  // The highest frequency step a low shelf may sit at (4000 Hz) and the lowest for a high shelf
  // (1000 Hz).
  static constexpr int kLowShelfTopStep = settings::range::kLowShelfTopStep;
  static constexpr int kHighShelfBottomStep = settings::range::kHighShelfBottomStep;
  static constexpr int kTopStep = settings::range::kFrequencyStep.max;
  static constexpr int kTopBandwidth = settings::range::kBandwidth.max;

  // The gain fader runs from -240 to +120 tenths of a dB with a 5-character box.
  ImgEqBand();
  ImgEqBand(const ImgEqBand&) = delete;
  ImgEqBand& operator=(const ImgEqBand&) = delete;

  ImgRoller fader;
  std::array<ImgButton, 3> typeButtons;  // 0 peaking (P), 1 low shelf (LS), 2 high shelf (HS)
  // State 1 while the band is on: its state-1 image is the unlit button and its state-0 image
  // the lit PASS of a band that is switched off.
  ImgButton passButton;
  ImgEdit freqBox;
  ImgEdit qBox;
  settings::EqBand* band = nullptr;  // without a band the strip does nothing and draws nothing

  // Points the strip and its fader's target at a band record (the gain is its first field).
  void bind(settings::EqBand* record);

  // Reloads the fader and the three box texts from the band.
  void refresh();
  // The Q box exists only for a peaking band.
  bool qBoxShown() const { return band != nullptr && band->type == settings::kPeaking; }
  void markChanged() { *fader.changed = 1; }

  // Fader and gain box, frequency box, Q box of a peaking band, the type buttons with the band's
  // type lit, the pass button showing the band's on flag.
  void draw(QPainter& painter) const;
  // A fingerprint of everything draw() reads, and the area draw() may cover whatever the
  // control's state: the window repaints that area when the fingerprint changes.
  PaintKey paintKey() const;
  QRect paintBounds() const;

  // Whether a press at the point lands on any part of a bound strip: the fader and its gain box,
  // a type or pass button, the frequency box or the Q box while shown.
  bool hits(int px, int py) const;
  bool mouseDown(int px, int py);
  void mouseMove(int px, int py) { fader.mouseMove(px, py); }
  void mouseUp();
  void wheel(int delta, int px, int py);
  void keyDown(int key);
  void keyPress(char ch);

 private:
  // The type and pass buttons' states as the band has them.
  void showBandInButtons();
  void setType(int type);
  void setFrequency(int step);
  void setBandwidth(int bandwidth);
};

}  // namespace kdsp::skin
