// The effect page template.
#include "pages/effect_page.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "device/command_table.h"
#include "pages/page_values.h"
#include "skin/commit_int_range.h"
#include "skin/value_text.h"

namespace kdsp::pages {
namespace {

using skin::IndexIn;
using skin::SkinSlot;
using skin::ToRect;
using namespace skin::page_layout;

namespace flag = device::flag;
using settings::PageParameters;

std::int16_t ReadWord(const settings::ParameterBlock& block, std::size_t offset) {
  std::int16_t value;
  std::memcpy(&value, block.bytes().data() + offset, sizeof value);
  return value;
}

void WriteWord(settings::ParameterBlock& block, std::size_t offset, int value) {
  const auto word = static_cast<std::int16_t>(value);
  std::memcpy(block.bytes().data() + offset, &word, sizeof word);
}

skin::ValueFormatter FormatterOf(FaderFormat format) {
  switch (format) {
    case FaderFormat::kInt:
      return FormatInt;
    case FaderFormat::kAttack:
      return FormatAttack;
    case FaderFormat::kRelease:
      return FormatRelease;
    case FaderFormat::kRatio:
      return FormatRatio;
    case FaderFormat::kFreqOffLow:
      return FormatFreqOffLow;
    case FaderFormat::kFreqOffHigh:
      return FormatFreqOffHigh;
  }
  return FormatInt;
}

int CompressorField(FaderRole role) {
  switch (role) {
    case FaderRole::kThreshold:
      return 0;
    case FaderRole::kAttack:
      return 1;
    case FaderRole::kRelease:
      return 2;
    default:
      return 3;
  }
}

}  // namespace

EffectPage::EffectPage(const PageLayout& layout, const skin::SkinImages& images,
                       const skin::SkinFonts& fonts, settings::ParameterBlock& working,
                       device::DeviceLink& link, QWidget* parent)
    : PanelWindow(&images[layout.background], parent),
      layout_(layout),
      images_(images),
      fonts_(fonts),
      working_(working),
      link_(link) {
  setWindowTitle(QString::fromUtf8(settings::Page(layout.id).title.data(),
                                   static_cast<qsizetype>(settings::Page(layout.id).title.size())));
  configureButtons();
  configureStrips();
  configureFaders();
  configureKnobs();
  configurePolarity();
  configureChart();
  const int strips = stripCount();
  const auto faders = static_cast<int>(layout_.faders.size());
  const auto knobs = static_cast<int>(layout_.knobs.size());
  const auto switches = static_cast<int>(layout_.polarity.size());
  controls().addCloseButton(close_).add(eqPass_);
  for (int i = 0; i < faders; ++i) controls().add(faders_[i]);
  for (int i = 0; i < knobs; ++i) controls().add(knobs_[i]);
  for (int i = 0; i < switches; ++i) controls().add(polarity_[i]);
  for (int i = 0; i < strips; ++i) controls().add(strips_[i]);
  paintOrder_.add(close_).add(eqPass_);
  for (int i = 0; i < knobs; ++i) paintOrder_.add(knobs_[i]);
  for (int i = 0; i < faders; ++i) paintOrder_.add(faders_[i]);
  for (int i = 0; i < strips; ++i) paintOrder_.add(strips_[i]);
  for (int i = 0; i < switches; ++i) paintOrder_.add(polarity_[i]);
  refresh();
}

void EffectPage::setBox(skin::ImgEdit& box, skin::LayoutRect rect, int maxChars) {
  box.rect = ToRect(rect);
  box.imageActive = &images_[SkinSlot::kPageBoxActive];
  box.imageNormal = &images_[SkinSlot::kPageBoxNormal];
  box.font = &fonts_.fontValue;
  box.maxChars = maxChars;
}

void EffectPage::configureButtons() {
  close_.rect = ToRect(CloseButtonRect(layout_));
  close_.imageOn = close_.imageOff = &images_[SkinSlot::kPageCloseButton];
  close_.state = 1;
  close_.userData = this;
  close_.clickHandler = [](skin::ImgButton&, void* self) {
    static_cast<EffectPage*>(self)->close();
  };
  eqPass_.rect = ToRect(EqPassRect(layout_));
  eqPass_.imageOn = &images_[SkinSlot::kEqPassOn];
  eqPass_.imageOff = &images_[SkinSlot::kEqPassOff];
  eqPass_.state = 1;
  eqPass_.userData = this;
  eqPass_.clickHandler = [](skin::ImgButton&, void* self) {
    static_cast<EffectPage*>(self)->clearEqGains();
  };
}

void EffectPage::configureStrips() {
  const PageParameters& page = settings::Page(layout_.id);
  const bool mic = page.secondSetFirstBand != settings::kNoRecord;
  const std::array<std::pair<const QImage*, const QImage*>, 3> typeImages = {
      {{&images_[SkinSlot::kPeakOn], &images_[SkinSlot::kPeakOff]},
       {&images_[SkinSlot::kLowShelfOn], &images_[SkinSlot::kLowShelfOff]},
       {&images_[SkinSlot::kHighShelfOn], &images_[SkinSlot::kHighShelfOff]}}};
  for (int i = 0; i < stripCount(); ++i) {
    skin::ImgEqBand& s = strips_[i];
    s.bind(&working_.bands[page.firstBand + i]);
    s.fader.rect = ToRect(EqFaderRect(layout_, i));
    s.fader.imageOn = &images_[SkinSlot::kThumbActive];
    s.fader.imageOff = &images_[SkinSlot::kThumbNormal];
    s.fader.changeHandler = skin::StoreWord;
    s.fader.formatter = skin::FormatTenths;
    // The mic strips keep their flag whichever set they edit.
    s.fader.changed = link_.flags().pointer(flag::kBands.at(mic ? i : page.firstBand + i));
    setBox(s.fader.valueBox, EqGainBoxRect(layout_, i), kPageTemplate.gainMaxChars);
    setBox(s.freqBox, EqFreqBoxRect(layout_, i), kPageTemplate.freqMaxChars);
    setBox(s.qBox, EqQBoxRect(layout_, i), kPageTemplate.qMaxChars);
    s.fader.valueBox.commitB = CommitEqGain;
    s.freqBox.commitB = CommitEqFreq;
    s.qBox.commitB = CommitEqQ;
    s.fader.valueBox.userDataB = s.freqBox.userDataB = s.qBox.userDataB = &s;
    for (int t = 0; t < 3; ++t) {
      skin::ImgButton& b = s.typeButtons[static_cast<std::size_t>(t)];
      b.rect = ToRect(EqTypeButtonRect(layout_, i, t));
      b.imageOn = typeImages[t].first;
      b.imageOff = typeImages[t].second;
    }
    s.passButton.rect = ToRect(EqPassButtonRect(layout_, i));
    s.passButton.momentary = 0;
    s.passButton.imageOn = &images_[SkinSlot::kBandPassOff];  // state 1: the band is on, PASS unlit
    s.passButton.imageOff = &images_[SkinSlot::kBandPassOn];
  }
}

void EffectPage::configureFaders() {
  const PageParameters& page = settings::Page(layout_.id);
  for (std::size_t i = 0; i < layout_.faders.size(); ++i) {
    const PageFader& row = layout_.faders[i];
    skin::ImgRoller& f = faders_[i];
    f.rect = ToRect(FaderRect(layout_, row));
    f.imageOn = &images_[SkinSlot::kSmallThumbActive];
    f.imageOff = &images_[SkinSlot::kSmallThumbNormal];
    f.setRange(row.min, row.max);
    f.formatter = FormatterOf(row.format);
    f.target = working_.bytes().data() + FaderTarget(layout_.id, row);
    f.userData = this;
    switch (row.store) {
      case FaderStore::kStoreWord:
        f.changeHandler = skin::StoreWord;
        break;
      case FaderStore::kStoreLow7:
        // The Direct Volume record carries the fader's value itself.
        f.changeHandler = row.offset == static_cast<int>(settings::offsets::kEchoDirect)
                              ? &EffectPage::DirectVolumeChanged
                              : skin::StoreLow7;
        break;
      case FaderStore::kEchoDelayPair:
      case FaderStore::kPreDelayPair:
        f.changeHandler = &EffectPage::EchoPairChanged;
        break;
    }
    setBox(f.valueBox, FaderBoxRect(layout_, row), row.maxChars);
    f.valueBox.userDataB = &f;
    switch (row.commit) {
      case FaderCommit::kIntRange:
        f.valueBox.commitB = skin::CommitIntRange;
        break;
      case FaderCommit::kFreq:
        f.valueBox.commitB = CommitFreq;
        break;
      case FaderCommit::kReadOnly:
        f.valueBox.readOnly = 1;
        break;
    }
    std::optional<device::FlagRange> flags;
    switch (row.role) {
      case FaderRole::kHighPass:
        flags = flag::Filter(page.highPass).sub(0, 1);
        break;
      case FaderRole::kLowPass:
        flags = flag::Filter(page.lowPass).sub(0, 1);
        break;
      case FaderRole::kLevel:
        if (row.offset == static_cast<int>(echo::kDelayB)) {
          flags = flag::kEchoDelayLr;
        } else if (row.offset == static_cast<int>(echo::kPreDelayB)) {
          flags = flag::kEchoPreDelayLr;
        } else if (row.offset == static_cast<int>(settings::offsets::kEchoDirect)) {
          flags = flag::kEchoDirect;
        } else {
          flags = device::FlagOfBlockField(static_cast<std::size_t>(row.offset));
        }
        break;
      default:
        flags = flag::Compressor(page.compressor).sub(CompressorField(row.role), 1);
    }
    if (flags) f.changed = link_.flags().pointer(flags->first);
  }
}

void EffectPage::configureKnobs() {
  const PageParameters& page = settings::Page(layout_.id);
  for (std::size_t i = 0; i < layout_.knobs.size(); ++i) {
    const PageKnob& row = layout_.knobs[i];
    skin::ImgKnob& k = knobs_[i];
    k.rect = ToRect(KnobRect(row));
    k.imageNormal = &images_[SkinSlot::kKnobNormal];
    k.imageActive = &images_[SkinSlot::kKnobActive];
    k.min = row.min;
    k.max = row.max;
    k.userData = this;
    if (row.role == KnobRole::kMicEqMode) {
      k.changed = link_.flags().pointer(flag::kMicEqMode.first);
      k.changeHandler = [](std::int32_t value, void*, void* self) {
        static_cast<EffectPage*>(self)->changeMode(value);
      };
      continue;
    }
    const int filter = row.filter == FaderRole::kHighPass ? page.highPass : page.lowPass;
    settings::CrossoverFilter& record = working_.filters[filter];
    const bool family = row.role == KnobRole::kFamily;
    k.target = family ? &record.family : &record.order;
    k.changeHandler = skin::StoreByte;
    k.changed = link_.flags().pointer(flag::Filter(filter).at(family ? 1 : 2));
  }
}

void EffectPage::configurePolarity() {
  for (std::size_t i = 0; i < layout_.polarity.size(); ++i) {
    skin::ImgButton& b = polarity_[i];
    b.rect = ToRect(PolaritySwitchRect(layout_.polarity[i]));
    b.momentary = 0;
    b.imageOn = &images_[SkinSlot::kMuteOn];
    b.imageOff = &images_[SkinSlot::kMuteOff];
    b.changed = link_.flags().pointer(flag::kMicPolarity.at(static_cast<int>(i)));
    b.userData = this;
    b.clickHandler = [](skin::ImgButton& button, void* self) {
      auto* page = static_cast<EffectPage*>(self);
      const std::uint8_t bit = page->layout_.polarity[IndexIn(button, page->polarity_)].bit;
      // A switch showing state 1 means the bit is clear.
      if (button.state == 1) {
        page->working_.micFlags &= static_cast<std::uint8_t>(~bit);
      } else {
        page->working_.micFlags |= bit;
      }
      *button.changed = 1;
    };
  }
}

void EffectPage::configureChart() {
  const PageParameters& page = settings::Page(layout_.id);
  chart_.setBounds(layout_.chart.x, layout_.chart.y, layout_.chart.w, layout_.chart.h);
  chart_.bandCount = stripCount();
  for (int i = 0; i < stripCount(); ++i)
    chart_.bands[static_cast<std::size_t>(i)] = strips_[i].band;
  chart_.filters[display::kHighPassHandle] =
      page.highPass != settings::kNoRecord ? &working_.filters[page.highPass] : nullptr;
  chart_.filters[display::kLowPassHandle] =
      page.lowPass != settings::kNoRecord ? &working_.filters[page.lowPass] : nullptr;
}

void EffectPage::followChartDrag() {
  if (!chart_.dragging) return;
  if (chart_.selectedBand >= 0 && chart_.selectedBand < stripCount()) {
    skin::ImgEqBand& s = strips_[chart_.selectedBand];
    // The chart moves a band freely; a shelf keeps its frequency limit.
    if (s.band->type == settings::kLowShelf)
      s.band->frequency =
          std::min<std::uint16_t>(s.band->frequency, skin::ImgEqBand::kLowShelfTopStep);
    if (s.band->type == settings::kHighShelf)
      s.band->frequency =
          std::max<std::uint16_t>(s.band->frequency, skin::ImgEqBand::kHighShelfBottomStep);
    s.refresh();
    s.markChanged();
  } else if (chart_.selectedFilter >= 0) {
    // On the pages whose only filter is a high-pass, any filter handle is the high-pass.
    const bool lowPassExists = settings::Page(layout_.id).lowPass != settings::kNoRecord;
    refreshFilter(lowPassExists ? chart_.selectedFilter : display::kHighPassHandle, true);
  }
}

void EffectPage::refresh() {
  const PageParameters& page = settings::Page(layout_.id);
  if (page.secondSetFirstBand != settings::kNoRecord) {
    // The mode follows the block's link bit, else what the link last knew; the strips edit the
    // derived mode's set (re-pointed, never copied).
    mode_ = (working_.micFlags & settings::kMicSetsLinked) ? 0
            : link_.state().micEqChannel == 2              ? 2
                                                           : 1;
    link_.state().micEqChannel = static_cast<std::uint8_t>(mode_);
    pointStripsAt(mode_ == 2 ? page.secondSetFirstBand : page.firstBand);
  }
  for (int i = 0; i < stripCount(); ++i) strips_[i].refresh();
  for (std::size_t i = 0; i < layout_.faders.size(); ++i) {
    const PageFader& row = layout_.faders[i];
    skin::ImgRoller& f = faders_[i];
    const auto offset = static_cast<std::size_t>(FaderTarget(layout_.id, row));
    int value = 0;
    if (row.store == FaderStore::kEchoDelayPair && offset == echo::kDelayB) {
      value = ReadWord(working_, echo::kDelay) - ReadWord(working_, echo::kDelayB);
    } else if (row.store == FaderStore::kPreDelayPair && offset == echo::kPreDelayB) {
      value = ReadWord(working_, echo::kPreDelay) - ReadWord(working_, echo::kPreDelayB) + 5;
    } else if (row.store == FaderStore::kStoreLow7) {
      value = working_.bytes()[offset] & 0x7F;
    } else {
      value = ReadWord(working_, offset);
    }
    // A byte from a file may lie outside the fader's range; the fader shows it clamped.
    f.value = std::clamp(value, f.min, f.max);
    f.refreshText();
  }
  for (std::size_t i = 0; i < layout_.knobs.size(); ++i) {
    skin::ImgKnob& k = knobs_[i];
    const int value = layout_.knobs[i].role == KnobRole::kMicEqMode
                          ? mode_
                          : *static_cast<const std::uint8_t*>(k.target);
    k.value = std::clamp(value, k.min, k.max);
  }
  for (std::size_t i = 0; i < layout_.polarity.size(); ++i)
    polarity_[i].state = (working_.micFlags & layout_.polarity[i].bit) ? 0 : 1;
  publishControlValues();
  if (isVisible()) update();
}

void EffectPage::refreshFilter(int which, bool markChanged) {
  const PageParameters& page = settings::Page(layout_.id);
  const int filter = which == 0 ? page.highPass : page.lowPass;
  if (filter == settings::kNoRecord) return;
  const FaderRole role = which == 0 ? FaderRole::kHighPass : FaderRole::kLowPass;
  for (std::size_t i = 0; i < layout_.faders.size(); ++i) {
    if (layout_.faders[i].role != role) continue;
    faders_[i].value = working_.filters[filter].frequency;
    faders_[i].refreshText();
    if (markChanged) *faders_[i].changed = 1;
  }
  for (std::size_t i = 0; i < layout_.knobs.size(); ++i) {
    if (layout_.knobs[i].role == KnobRole::kMicEqMode || layout_.knobs[i].filter != role) continue;
    knobs_[i].value = *static_cast<const std::uint8_t*>(knobs_[i].target);
  }
}

void EffectPage::changeMode(int mode) {
  const PageParameters& page = settings::Page(layout_.id);
  const int previous = mode_;
  if (mode == 2 && previous != 2) {
    pointStripsAt(page.secondSetFirstBand);
  } else if (previous == 2 && mode != 2) {
    pointStripsAt(page.firstBand);
  } else if ((previous == 0 && mode == 1) || (previous == 1 && mode == 0)) {
    std::memcpy(&working_.bands[page.secondSetFirstBand], &working_.bands[page.firstBand],
                static_cast<std::size_t>(page.bandCount) * sizeof(settings::EqBand));
  }
  mode_ = mode;
  if (mode == 0) {
    working_.micFlags |= settings::kMicSetsLinked;
  } else {
    working_.micFlags &= static_cast<std::uint8_t>(~settings::kMicSetsLinked);
  }
  link_.state().micEqChannel = static_cast<std::uint8_t>(mode);
  publishControlValues();
}

void EffectPage::pointStripsAt(int firstBand) {
  for (int i = 0; i < stripCount(); ++i) {
    strips_[i].bind(&working_.bands[firstBand + i]);
    strips_[i].refresh();
    chart_.bands[static_cast<std::size_t>(i)] = strips_[i].band;
  }
}

void EffectPage::clearEqGains() {
  for (int i = 0; i < stripCount(); ++i) {
    skin::ImgEqBand& s = strips_[i];
    if (s.band == nullptr || s.band->gain == 0) continue;
    s.band->gain = 0;
    s.refresh();
    s.markChanged();
  }
}

void EffectPage::deriveEchoPairs() {
  int delayLr = 0, preDelayLr = 5;
  for (std::size_t i = 0; i < layout_.faders.size(); ++i) {
    const auto offset = static_cast<std::size_t>(layout_.faders[i].offset);
    if (offset == echo::kDelayB) delayLr = faders_[i].value;
    if (offset == echo::kPreDelayB) preDelayLr = faders_[i].value;
  }
  WriteWord(working_, echo::kDelayB,
            std::clamp(ReadWord(working_, echo::kDelay) - delayLr, 0, 300));
  WriteWord(working_, echo::kPreDelayB,
            std::clamp(ReadWord(working_, echo::kPreDelay) - (preDelayLr - 5), 0, 100));
  publishControlValues();
}

void EffectPage::publishControlValues() {
  device::ControlValues& controls = link_.controls();
  for (std::size_t i = 0; i < layout_.faders.size(); ++i) {
    const auto offset = static_cast<std::size_t>(layout_.faders[i].offset);
    if (layout_.faders[i].role != FaderRole::kLevel) continue;
    if (offset == echo::kDelayB) controls.echoDelayLr = faders_[i].value;
    if (offset == echo::kPreDelayB) controls.echoPreDelayLr = faders_[i].value;
    if (offset == settings::offsets::kEchoDirect) controls.echoDirect = faders_[i].value;
  }
  if (settings::Page(layout_.id).secondSetFirstBand != settings::kNoRecord)
    controls.micEqMode = mode_;
}

void EffectPage::FormPaint(QPainter& painter) {
  if (layout_.logo)
    skin::DrawImageAt(painter, &images_[SkinSlot::kLogo], layout_.logoAt.x, layout_.logoAt.y);
  if (settings::Page(layout_.id).secondSetFirstBand != settings::kNoRecord) {
    const std::string_view caption = kMicEqModeCaptions[static_cast<std::size_t>(mode_)];
    skin::DrawTextAt(painter,
                     QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())),
                     fonts_.fontValue, Qt::black, kMicEqModeCaptionAt.x, kMicEqModeCaptionAt.y);
  }
  paintOrder_.draw(painter);

  std::uint32_t mask = 0;
  for (int i = 0; i < stripCount(); ++i)
    if (strips_[i].band->on == 1) mask |= 1u << i;
  if (chart_.filters[display::kHighPassHandle] != nullptr) mask |= display::kHighPassShown;
  if (chart_.filters[display::kLowPassHandle] != nullptr) mask |= display::kLowPassShown;
  chart_.visibleMask = mask;
  if (spectrumSource_) {
    spectrumSource_(chart_);
  } else {
    chart_.showSpectrum = false;
  }
  chart_.paint(painter);
}

bool EffectPage::FormMouseDown(int x, int y, Qt::MouseButton) {
  const bool hit = controls().mouseDown(x, y);
  const bool chartHit = chart_.press(x, y);
  return hit || chartHit;
}
void EffectPage::FormMouseUp(int, int) {
  controls().mouseUp();
  chart_.release();
}
void EffectPage::FormMouseMove(int x, int y) {
  controls().mouseMove(x, y);
  chart_.drag(x, y);
  followChartDrag();
}

void EffectPage::DirectVolumeChanged(std::int32_t value, void* target, void* self) {
  skin::StoreLow7(value, target, self);
  static_cast<EffectPage*>(self)->publishControlValues();
}

void EffectPage::EchoPairChanged(std::int32_t value, void* target, void* self) {
  auto* page = static_cast<EffectPage*>(self);
  // Echo Delay and PreDelay store their own value; the left/right faders store nothing. Either
  // then derives the second side's time.
  const auto offset =
      static_cast<std::size_t>(static_cast<std::uint8_t*>(target) - page->working_.bytes().data());
  if (offset == echo::kDelay || offset == echo::kPreDelay) WriteWord(page->working_, offset, value);
  page->deriveEchoPairs();
}

}  // namespace kdsp::pages
