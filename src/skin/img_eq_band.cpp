// SPDX-License-Identifier: GPL-3.0-or-later
// EQ band strip behaviour and drawing.
#include "skin/img_eq_band.h"

#include <QPainter>

#include "settings/frequency_grid.h"
#include "skin/value_text.h"

namespace kdsp::skin {

ImgEqBand::ImgEqBand() {
  fader.min = settings::range::kEqGain.min;
  fader.max = settings::range::kEqGain.max;
  fader.limit = settings::range::kEqGain.max;
  fader.value = 0;
  fader.valueBox.maxChars = 5;
}

void ImgEqBand::bind(settings::EqBand* record) {
  band = record;
  fader.target = record;
}

void ImgEqBand::showBandInButtons() {
  for (int i = 0; i < static_cast<int>(typeButtons.size()); ++i)
    typeButtons[static_cast<std::size_t>(i)].state = band->type == i ? 1 : 0;
  passButton.state = band->on != 0 ? 1 : 0;
}

void ImgEqBand::refresh() {
  if (band == nullptr) return;
  fader.value = band->gain;
  FormatTenths(band->gain, fader.valueBox.text);
  freqBox.setText(settings::frequencyLabel(band->frequency).view());
  FormatQ(band->bandwidth, qBox.text);
  showBandInButtons();
}

void ImgEqBand::draw(QPainter& painter) const {
  if (band == nullptr) return;
  fader.draw(painter);
  freqBox.draw(painter);
  if (qBoxShown()) qBox.draw(painter);
  for (int i = 0; i < static_cast<int>(typeButtons.size()); ++i)
    typeButtons[static_cast<std::size_t>(i)].drawAs(painter, band->type == i ? 1 : 0);
  passButton.drawAs(painter, band->on != 0 ? 1 : 0);
}

PaintKey ImgEqBand::paintKey() const {
  PaintKey key;
  key.add(band);
  if (band == nullptr) return key;
  key.add(fader.paintKey()).add(freqBox.paintKey()).add(qBoxShown());
  if (qBoxShown()) key.add(qBox.paintKey());
  for (const ImgButton& b : typeButtons) key.add(b.rect).add(b.imageOn).add(b.imageOff);
  return key.add(band->type).add(passButton.paintKey()).add(band->on);
}

QRect ImgEqBand::paintBounds() const {
  QRect bounds =
      fader.paintBounds() | freqBox.paintBounds() | qBox.paintBounds() | passButton.paintBounds();
  for (const ImgButton& b : typeButtons) bounds |= b.paintBounds();
  return bounds;
}

bool ImgEqBand::hits(int px, int py) const {
  if (band == nullptr) return false;
  if (fader.hits(px, py) || passButton.hits(px, py) || freqBox.hits(px, py)) return true;
  if (qBoxShown() && qBox.hits(px, py)) return true;
  for (const ImgButton& b : typeButtons)
    if (b.hits(px, py)) return true;
  return false;
}

bool ImgEqBand::mouseDown(int px, int py) {
  if (band == nullptr) return false;
  bool hit = fader.mouseDown(px, py);

  // The pass button flips from the state the band shows, and the band's flag follows it.
  showBandInButtons();
  hit = passButton.mouseDown(px, py) || hit;
  if (passButton.state == 1 && band->on == 0) {
    band->on = 1;
    markChanged();
  } else if (passButton.state == 0 && band->on == 1) {
    band->on = 0;
    markChanged();
  }

  hit = freqBox.mouseDown(px, py) || hit;
  if (qBoxShown()) hit = qBox.mouseDown(px, py) || hit;

  // The type buttons answer by rectangle only; they are a radio group kept by the band.
  for (int i = 0; i < static_cast<int>(typeButtons.size()); ++i) {
    if (!typeButtons[static_cast<std::size_t>(i)].hits(px, py)) continue;
    hit = true;
    if (i != band->type) setType(i);
  }
  showBandInButtons();
  return hit;
}

void ImgEqBand::setType(int type) {
  markChanged();
  band->type = static_cast<std::uint8_t>(type);
  // A shelf is kept where the processor can place it.
  bool corrected = false;
  if (type == settings::kLowShelf && band->frequency > kLowShelfTopStep) {
    band->frequency = kLowShelfTopStep;
    corrected = true;
  } else if (type == settings::kHighShelf && band->frequency < kHighShelfBottomStep) {
    band->frequency = kHighShelfBottomStep;
    corrected = true;
  }
  if (corrected) refresh();
}

void ImgEqBand::mouseUp() {
  fader.dragging = 0;
  passButton.mouseUp();
}

void ImgEqBand::setFrequency(int step) {
  band->frequency = static_cast<std::uint16_t>(ClampValue(step, 0, kTopStep));
  markChanged();
  refresh();
}

void ImgEqBand::setBandwidth(int bandwidth) {
  band->bandwidth = static_cast<std::uint8_t>(ClampValue(bandwidth, 0, kTopBandwidth));
  markChanged();
  refresh();
}

void ImgEqBand::wheel(int delta, int px, int py) {
  if (band == nullptr) return;
  fader.wheel(delta, px, py);
  // Wheel and keys move the frequency over the whole grid whatever the type; only a type change,
  // a typed entry and a chart drag keep shelves in their ranges.
  if (freqBox.rect.contains(px, py)) {
    freqBox.active = 1;
    setFrequency(band->frequency + delta / kWheelNotch);
  } else {
    freqBox.active = 0;
  }
  if (qBox.rect.contains(px, py)) {
    qBox.active = 1;
    setBandwidth(band->bandwidth + delta / kWheelNotch);
  } else {
    qBox.active = 0;
  }
}

void ImgEqBand::keyDown(int key) {
  if (band == nullptr) return;
  fader.keyDown(key);
  const int move = key == kKeyUp ? 1 : key == kKeyDown ? -1 : 0;
  if (move == 0) return;
  if (freqBox.active != 0) setFrequency(band->frequency + move);
  if (qBox.active != 0) setBandwidth(band->bandwidth + move);
}

void ImgEqBand::keyPress(char ch) {
  if (band == nullptr) return;
  fader.valueBox.keyPress(ch);
  freqBox.keyPress(ch);
  if (qBoxShown()) qBox.keyPress(ch);
}

}  // namespace kdsp::skin
