// SPDX-License-Identifier: GPL-3.0-or-later
// Composing the window previews from the pictures and the tables.
#include "preview.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>
#include <cmath>

#include "panel_drawing.h"
#include "skin/main_window_layout.h"
#include "skin/skin_fonts.h"

namespace kdsp::skingen {
namespace {

using skin::SkinSlot;

class Composer {
 public:
  Composer(QImage& target, const PaintOptions& options) : p_(&target), options_(options) {
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setRenderHint(QPainter::SmoothPixmapTransform, true);
  }

  const QImage& Picture(SkinSlot slot) {
    QImage& cached = cache_[static_cast<int>(slot)];
    if (cached.isNull()) cached = PaintSlot(slot, options_);
    return cached;
  }

  void Place(SkinSlot slot, const QRect& rect) { p_.drawImage(rect, Picture(slot)); }

  // A value box with white text at its top-left, as the windows draw it.
  void Box(SkinSlot slot, const QRect& rect, const QString& text,
           int pixels = skin::kValueFontPixels, bool bold = true) {
    Place(slot, rect);
    Text(text, rect.topLeft(), Qt::white, pixels, bold);
  }

  void Text(const QString& text, QPoint topLeft, QColor colour, int pixels, bool bold) {
    QFont font(QString::fromLatin1(skin::kSkinFontFamily));
    font.setPixelSize(pixels);
    font.setBold(bold);
    p_.setFont(font);
    p_.setPen(colour);
    p_.drawText(QPointF(topLeft.x(), topLeft.y() + QFontMetricsF(font).ascent()), text);
  }

  // A fader thumb where the fader's value puts it.
  void Thumb(SkinSlot slot, const QRect& rect, int min, int max, int value) {
    const QImage& thumb = Picture(slot);
    const int offset = static_cast<int>(
        std::ceil((rect.height() - thumb.height()) * double(max - value) / (max - min)));
    p_.drawImage(QPoint(rect.x(), rect.y() + offset), thumb);
  }

  // The knob picture turned about the rectangle's centre.
  void Knob(const QRect& rect, int min, int max, int value) {
    const double angle = KnobAngle(value, min, max);
    QTransform t;
    t.translate(rect.x() + rect.width() / 2, rect.y() + rect.height() / 2);
    t.rotate(angle);
    t.translate(-rect.width() / 2, -rect.height() / 2);
    p_.save();
    p_.setTransform(t, true);
    p_.drawImage(QRect(0, 0, rect.width(), rect.height()), Picture(SkinSlot::kKnobNormal));
    p_.restore();
  }

 private:
  QPainter p_;
  PaintOptions options_;
  QImage cache_[skin::kSkinSlotCount];
};

}  // namespace

QImage MainWindowPreview(const PaintOptions& options) {
  using namespace skin::main_layout;
  QImage image = PaintSlot(SkinSlot::kMainBackground, options);
  Composer c(image, options);
  c.Text(QString::fromLatin1(kVersionText.data(), int(kVersionText.size())),
         {kVersionTextAt.x, kVersionTextAt.y}, Qt::black, skin::kSmallFontPixels, false);
  c.Place(SkinSlot::kLinkOn, ToQRect(kLinkIndicatorRect));
  c.Place(SkinSlot::kLogo, ToQRect(LogoRect()));
  c.Place(SkinSlot::kCloseButton, ToQRect(CloseButtonRect()));
  c.Place(SkinSlot::kMinimizeButton, ToQRect(MinimizeButtonRect()));
  c.Place(SkinSlot::kPresetsOn, ToQRect(PresetsButtonRect()));
  for (const OutputSwitch& s : kOutputSwitches)
    c.Place(s.bit == 3 ? SkinSlot::kSpeakerOff : SkinSlot::kSpeakerOn,
            ToQRect(OutputSwitchRect(s)));
  c.Box(SkinSlot::kMainBoxNormal, ToQRect(MaxVolumeBoxRect(kMaxVolumeBoxes[0])), "55");
  c.Box(SkinSlot::kMainBoxActive, ToQRect(MaxVolumeBoxRect(kMaxVolumeBoxes[1])), "55");
  for (const PageButton& b : kPageButtons)
    c.Place(b.page == settings::PageId::kEcho ? SkinSlot::kPageButtonOff : SkinSlot::kPageButtonOn,
            ToQRect(PageButtonRect(b)));
  for (int i = 0; i < static_cast<int>(kFaders.size()); ++i) {
    const MainFader& f = kFaders[i];
    const int value = (f.max * (i * 7 % 11)) / 10;
    c.Thumb(i == 5 ? SkinSlot::kThumbActive : SkinSlot::kThumbNormal, ToQRect(FaderRect(f)), f.min,
            f.max, value);
    c.Box(SkinSlot::kMainBoxNormal, ToQRect(FaderBoxRect(f)), QString::number(value));
    if (f.muteButton)
      c.Place(i == 2 ? SkinSlot::kMuteOff : SkinSlot::kMuteOn, ToQRect(MuteButtonRect(f)));
  }
  for (int i = 0; i < static_cast<int>(kKnobs.size()); ++i) {
    const MainKnob& k = kKnobs[i];
    const int value = k.valueBox ? 1250 * (i + 1) : 2;
    c.Knob(ToQRect(KnobRect(k)), k.min, k.max, value);
    if (k.valueBox)
      c.Box(SkinSlot::kMainBoxNormal, ToQRect(KnobBoxRect(k)),
            QString::asprintf("%0.2f", value / 100.0), skin::kSmallFontPixels, false);
  }
  return image;
}

QImage PagePreview(const skin::page_layout::PageLayout& page, const PaintOptions& options) {
  using namespace skin::page_layout;
  QImage image = PaintSlot(page.background, options);
  Composer c(image, options);
  c.Place(SkinSlot::kPageCloseButton, ToQRect(CloseButtonRect(page)));
  c.Place(SkinSlot::kEqPassOn, ToQRect(EqPassRect(page)));
  if (page.logo) c.Place(SkinSlot::kLogo, ToQRect(LogoRect(page)));
  if (page.id == PageId::kMicEqualizer)
    c.Text(QString::fromLatin1(kMicEqModeCaptions[0].data(), int(kMicEqModeCaptions[0].size())),
           {kMicEqModeCaptionAt.x, kMicEqModeCaptionAt.y}, Qt::black, skin::kValueFontPixels, true);
  for (const PageKnob& k : page.knobs) c.Knob(ToQRect(KnobRect(k)), k.min, k.max, 1);
  for (int i = 0; i < static_cast<int>(page.faders.size()); ++i) {
    const PageFader& f = page.faders[i];
    const int value = f.min + (f.max - f.min) * (i % 3 + 1) / 4;
    c.Thumb(i == 1 ? SkinSlot::kSmallThumbActive : SkinSlot::kSmallThumbNormal,
            ToQRect(FaderRect(page, f)), f.min, f.max, value);
    c.Box(i == 1 ? SkinSlot::kPageBoxActive : SkinSlot::kPageBoxNormal,
          ToQRect(FaderBoxRect(page, f)),
          f.commit == FaderCommit::kFreq ? QStringLiteral("1K00") : QString::number(value));
  }
  const SkinSlot typeOn[3] = {SkinSlot::kPeakOn, SkinSlot::kLowShelfOn, SkinSlot::kHighShelfOn};
  const SkinSlot typeOff[3] = {SkinSlot::kPeakOff, SkinSlot::kLowShelfOff, SkinSlot::kHighShelfOff};
  for (int s = 0; s < static_cast<int>(page.eqX.size()); ++s) {
    const int gain = kPageTemplate.eqGainMin + (s * 97) % 361;
    const int type = s % 5 == 1 ? 1 : (s % 5 == 3 ? 2 : 0);
    c.Thumb(s == 2 ? SkinSlot::kThumbActive : SkinSlot::kThumbNormal, ToQRect(EqFaderRect(page, s)),
            -240, 120, gain);
    c.Box(SkinSlot::kPageBoxNormal, ToQRect(EqGainBoxRect(page, s)),
          QString::asprintf("%+2.1f", gain / 10.0));
    c.Box(s == 0 ? SkinSlot::kPageBoxActive : SkinSlot::kPageBoxNormal,
          ToQRect(EqFreqBoxRect(page, s)), QStringLiteral(" 125"));
    if (type == 0) c.Box(SkinSlot::kPageBoxNormal, ToQRect(EqQBoxRect(page, s)), "1.00");
    for (int t = 0; t < 3; ++t)
      c.Place(t == type ? typeOn[t] : typeOff[t], ToQRect(EqTypeButtonRect(page, s, t)));
    c.Place(s == 4 ? SkinSlot::kBandPassOn : SkinSlot::kBandPassOff,
            ToQRect(EqPassButtonRect(page, s)));
  }
  for (const PolaritySwitch& s : page.polarity)
    c.Place(s.bit == settings::kMicPolarity1 ? SkinSlot::kMuteOn : SkinSlot::kMuteOff,
            ToQRect(PolaritySwitchRect(s)));
  return image;
}

}  // namespace kdsp::skingen
