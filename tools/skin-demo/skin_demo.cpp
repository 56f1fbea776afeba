// SPDX-License-Identifier: GPL-3.0-or-later
// kdsp-skin-demo: one panel on a real page background with one control of each kind — buttons,
// an EQ band strip, faders with their value boxes, a knob — so every control can be clicked,
// dragged, wheeled and typed into. `--screenshot FILE` saves the window as shown and quits.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "settings/parameter_block.h"
#include "settings/value_texts.h"
#include "skin/control_list.h"
#include "skin/page_layouts.h"
#include "skin/panel_window.h"
#include "skin/skin_fonts.h"
#include "skin/skin_images.h"
#include "skin/value_text.h"

namespace kdsp::skin {
namespace {

const skin::page_layout::PageLayout& kLayout =
    skin::page_layout::kTForm3;  // Main Output: every kind of control

void FormatInt(std::int32_t value, BoxText& text) {
  SetBoxText(text, std::to_string(value));
}
void FormatAttack(std::int32_t value, BoxText& text) {
  SetBoxText(text, settings::kAttackTexts[static_cast<std::size_t>(value)]);
}

class DemoPanel : public PanelWindow {
 public:
  DemoPanel(const SkinImages& images, const SkinFonts& fonts)
      : PanelWindow(&images[kLayout.background]), images_(images), fonts_(fonts) {
    settings::ResetToFactory(block_);
    setupButtons();
    setupStrip();
    setupFaders();
    setupKnob();
    controls().addCloseButton(close_).add(eqPass_).add(faders_).add(knob_).add(strip_);
    paintOrder().add(close_).add(eqPass_).add(knob_).add(faders_).add(strip_);
  }

 protected:
  void FormPaint(QPainter& painter) override {
    if (kLayout.logo)
      DrawImageAt(painter, &images_[SkinSlot::kLogo], kLayout.logoAt.x, kLayout.logoAt.y);
    paintOrder().draw(painter);
  }

 private:
  void setupButtons() {
    close_.rect = {kLayout.closeButton.x, kLayout.closeButton.y,
                   ImageWidth(&images_[SkinSlot::kPageCloseButton]),
                   ImageHeight(&images_[SkinSlot::kPageCloseButton])};
    close_.imageOn = close_.imageOff = &images_[SkinSlot::kPageCloseButton];
    close_.state = 1;
    close_.clickHandler = [](ImgButton&, void*) { QApplication::quit(); };

    eqPass_.rect = {kLayout.eqPassButton.x, kLayout.eqPassButton.y,
                    ImageWidth(&images_[SkinSlot::kEqPassOn]),
                    ImageHeight(&images_[SkinSlot::kEqPassOn])};
    eqPass_.imageOn = &images_[SkinSlot::kEqPassOn];
    eqPass_.imageOff = &images_[SkinSlot::kEqPassOff];
    eqPass_.state = 1;
    eqPass_.userData = this;
    eqPass_.clickHandler = [](ImgButton&, void* self) {
      auto& panel = *static_cast<DemoPanel*>(self);
      panel.block_.bands[panel.bandIndex()].gain = 0;
      panel.strip_.refresh();
    };
  }

  int bandIndex() const { return settings::Page(kLayout.id).firstBand; }

  void setupStrip() {
    const auto& t = skin::page_layout::kPageTemplate;
    const int x = kLayout.eqX[0];
    const int y = kLayout.eqY;
    strip_.bind(&block_.bands[bandIndex()]);
    strip_.fader.rect = {x, y, ImageWidth(&images_[SkinSlot::kThumbNormal]),
                         ImageHeight(&images_[SkinSlot::kThumbNormal]) + t.eqFaderTravel};
    strip_.fader.imageOn = &images_[SkinSlot::kThumbActive];
    strip_.fader.imageOff = &images_[SkinSlot::kThumbNormal];
    strip_.fader.changeHandler = StoreWord;
    strip_.fader.formatter = FormatTenths;
    const int boxW = ImageWidth(&images_[SkinSlot::kPageBoxNormal]),
              boxH = ImageHeight(&images_[SkinSlot::kPageBoxNormal]);
    const auto box = [&](ImgEdit& edit, int bx, int by, int maxChars) {
      edit.rect = {bx, by, boxW, boxH};
      edit.imageActive = &images_[SkinSlot::kPageBoxActive];
      edit.imageNormal = &images_[SkinSlot::kPageBoxNormal];
      edit.font = &fonts_.fontValue;
      edit.maxChars = maxChars;
    };
    box(strip_.fader.valueBox, x + t.gainBox.x, y + t.gainBox.y, t.gainMaxChars);
    box(strip_.freqBox, x + t.buttonDx, y + t.freqBoxDy, t.freqMaxChars);
    box(strip_.qBox, x + t.buttonDx, y + kLayout.qBoxDy, t.qMaxChars);
    const std::array<std::pair<SkinImage, SkinImage>, 3> typeImages = {
        {{&images_[SkinSlot::kPeakOn], &images_[SkinSlot::kPeakOff]},
         {&images_[SkinSlot::kLowShelfOn], &images_[SkinSlot::kLowShelfOff]},
         {&images_[SkinSlot::kHighShelfOn], &images_[SkinSlot::kHighShelfOff]}}};
    for (int i = 0; i < 3; ++i) {
      ImgButton& b = strip_.typeButtons[static_cast<std::size_t>(i)];
      b.rect = {x + t.buttonDx, t.typeButtonY[static_cast<std::size_t>(i)],
                ImageWidth(typeImages[i].first), ImageHeight(typeImages[i].first)};
      b.imageOn = typeImages[i].first;
      b.imageOff = typeImages[i].second;
    }
    strip_.passButton.rect = {x + t.buttonDx, t.passButtonY,
                              ImageWidth(&images_[SkinSlot::kBandPassOn]),
                              ImageHeight(&images_[SkinSlot::kBandPassOn])};
    strip_.passButton.momentary = 0;
    strip_.passButton.imageOn = &images_[SkinSlot::kBandPassOff];
    strip_.passButton.imageOff = &images_[SkinSlot::kBandPassOn];
    strip_.refresh();
  }

  void setupFaders() {
    const auto& t = skin::page_layout::kPageTemplate;
    settings::CompressorRecord& compressor =
        block_.compressors[settings::Page(kLayout.id).compressor];
    void* targets[2] = {&compressor.threshold, &compressor.attack};
    const ValueFormatter formats[2] = {FormatInt, FormatAttack};
    const ChangeHandler stores[2] = {StoreWord, StoreLow7};
    for (int i = 0; i < 2; ++i) {
      const skin::page_layout::PageFader& row = kLayout.faders[static_cast<std::size_t>(i)];
      ImgRoller& f = faders_[i];
      f.rect = {row.x, kLayout.faderY, ImageWidth(&images_[SkinSlot::kSmallThumbNormal]),
                ImageHeight(&images_[SkinSlot::kSmallThumbNormal]) + t.faderTravel};
      f.imageOn = &images_[SkinSlot::kSmallThumbActive];
      f.imageOff = &images_[SkinSlot::kSmallThumbNormal];
      f.setRange(row.min, row.max);
      f.formatter = formats[i];
      f.changeHandler = stores[i];
      f.target = targets[i];
      f.value = i == 0 ? compressor.threshold : compressor.attack;
      f.valueBox.rect = {row.x + t.faderBox.x, kLayout.faderY + t.faderBox.y,
                         ImageWidth(&images_[SkinSlot::kPageBoxNormal]),
                         ImageHeight(&images_[SkinSlot::kPageBoxNormal])};
      f.valueBox.imageActive = &images_[SkinSlot::kPageBoxActive];
      f.valueBox.imageNormal = &images_[SkinSlot::kPageBoxNormal];
      f.valueBox.font = &fonts_.fontValue;
      f.valueBox.maxChars = row.maxChars;
      f.valueBox.readOnly = row.commit == skin::page_layout::FaderCommit::kReadOnly;
      f.refreshText();
    }
  }

  void setupKnob() {
    const skin::page_layout::PageKnob& row = kLayout.knobs[0];
    knob_.rect = {row.at.x, row.at.y, ImageWidth(&images_[SkinSlot::kKnobNormal]),
                  ImageHeight(&images_[SkinSlot::kKnobNormal])};
    knob_.imageNormal = &images_[SkinSlot::kKnobNormal];
    knob_.imageActive = &images_[SkinSlot::kKnobActive];
    knob_.min = row.min;
    knob_.max = row.max;
    knob_.target = &block_.filters[settings::Page(kLayout.id).highPass].family;
    knob_.changeHandler = StoreByte;
    knob_.value = block_.filters[settings::Page(kLayout.id).highPass].family;
  }

  const SkinImages& images_;
  const SkinFonts& fonts_;
  settings::ParameterBlock block_{};
  ImgButton close_;
  ImgButton eqPass_;
  ImgEqBand strip_;
  ImgRoller faders_[2];
  ImgKnob knob_;
};

}  // namespace
}  // namespace kdsp::skin

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QString screenshot;
  const QStringList args = app.arguments();
  if (const qsizetype at = args.indexOf("--screenshot"); at >= 0 && at + 1 < args.size())
    screenshot = args[at + 1];

  kdsp::skin::SkinImages images;
  kdsp::skin::LoadSkinImages(images);
  const kdsp::skin::SkinFonts fonts = kdsp::skin::MakeSkinFonts();
  kdsp::skin::DemoPanel panel(images, fonts);
  panel.show();
  if (!screenshot.isEmpty()) {
    QTimer::singleShot(500, &panel, [&] {
      const QPixmap shot = panel.grab();
      const bool saved = shot.save(screenshot);
      std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "could not save",
                   qPrintable(screenshot));
      QApplication::exit(saved ? 0 : 1);
    });
  }
  return app.exec();
}
