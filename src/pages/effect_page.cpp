// SPDX-License-Identifier: GPL-3.0-or-later
// The effect page template.
#include "pages/effect_page.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "device/page_rules.h"
#include "pages/page_values.h"
#include "skin/commit_int_range.h"
#include "skin/page_control_names.h"
#include "skin/paint_key.h"
#include "skin/value_text.h"

namespace kdsp::pages {
namespace {

using skin::SkinSlot;
using skin::ToRect;
using namespace skin::page_layout;

namespace flag = device::flag;
using device::PageField;
using settings::PageParameters;

skin::ValueFormatter FormatterOf(FaderFormat format) {
  switch (format) {
    case FaderFormat::kInt:
      return FormatInt;
    case FaderFormat::kMilliseconds:
      return FormatMilliseconds;
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

// The byte a crossover filter's family or order knob edits.
settings::BlockField FilterKnobField(const PageParameters& page, const PageKnob& knob) {
  const int filter = knob.filter == FaderRole::kHighPass ? page.highPass : page.lowPass;
  return {settings::offsets::Filter(filter) + (knob.role == KnobRole::kFamily
                                                   ? offsetof(settings::CrossoverFilter, family)
                                                   : offsetof(settings::CrossoverFilter, order)),
          settings::FieldKind::kByte};
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
  paintOrder().add(close_).add(eqPass_);
  for (int i = 0; i < knobs; ++i) paintOrder().add(knobs_[i]);
  for (int i = 0; i < faders; ++i) paintOrder().add(faders_[i]);
  for (int i = 0; i < strips; ++i) paintOrder().add(strips_[i]);
  for (int i = 0; i < switches; ++i) paintOrder().add(polarity_[i]);
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
  skin::OnClick<&EffectPage::close>(close_, this);
  eqPass_.rect = ToRect(EqPassRect(layout_));
  eqPass_.imageOn = &images_[SkinSlot::kEqPassOn];
  eqPass_.imageOff = &images_[SkinSlot::kEqPassOff];
  eqPass_.state = 1;
  skin::OnClick<&EffectPage::clearEqGains>(eqPass_, this);
}

void EffectPage::configureStrips() {
  const PageParameters& page = settings::Page(layout_.id);
  const bool mic = page.secondSetFirstBand != settings::kNoRecord;
  const std::array<std::pair<skin::SkinImage, skin::SkinImage>, 3> typeImages = {
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
    s.fader.changed = link_.changeFlag(flag::kBands.at(mic ? i : page.firstBand + i));
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
  for (std::size_t i = 0; i < layout_.faders.size(); ++i) {
    const PageFader& row = layout_.faders[i];
    skin::ImgRoller& f = faders_[i];
    f.rect = ToRect(FaderRect(layout_, row));
    f.imageOn = &images_[SkinSlot::kSmallThumbActive];
    f.imageOff = &images_[SkinSlot::kSmallThumbNormal];
    f.setRange(row.min, row.max);
    f.formatter = FormatterOf(row.format);
    skin::OnRowChange<&EffectPage::faderChanged>(f, rows_[static_cast<int>(i)]);
    f.changed = link_.changeFlag(device::RuleOf(layout_.id, row.field).flag);
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
    if (row.role == KnobRole::kMicEqMode) {
      k.changed = link_.changeFlag(flag::kMicEqMode.first);
      skin::OnChange<&EffectPage::changeMode>(k, this);
      continue;
    }
    const int filter = row.filter == FaderRole::kHighPass ? page.highPass : page.lowPass;
    k.target = working_.bytes().data() + FilterKnobField(page, row).offset;
    k.changeHandler = skin::StoreByte;
    k.changed = link_.changeFlag(flag::Filter(filter).at(row.role == KnobRole::kFamily ? 1 : 2));
  }
}

void EffectPage::configurePolarity() {
  for (std::size_t i = 0; i < layout_.polarity.size(); ++i) {
    skin::ImgButton& b = polarity_[i];
    b.rect = ToRect(PolaritySwitchRect(layout_.polarity[i]));
    b.momentary = 0;
    b.imageOn = &images_[SkinSlot::kMuteOn];
    b.imageOff = &images_[SkinSlot::kMuteOff];
    b.changed = link_.changeFlag(flag::kMicPolarity.at(static_cast<int>(i)));
    skin::OnRowClick<&EffectPage::polarityClicked>(b, rows_[static_cast<int>(i)]);
  }
}

void EffectPage::polarityClicked(int which, skin::ImgButton& button) {
  const std::uint8_t bit = layout_.polarity[static_cast<std::size_t>(which)].bit;
  // A switch showing state 1 means the bit is clear.
  if (button.state == 1) {
    working_.micFlags &= static_cast<std::uint8_t>(~bit);
  } else {
    working_.micFlags |= bit;
  }
  link_.markChanged(flag::kMicPolarity.at(which));
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
    mode_ = device::MicEqModeOf(working_, link_.state().micEqChannel);
    pointStripsAt(device::MicBandSetFirst(mode_));
  }
  for (int i = 0; i < stripCount(); ++i) strips_[i].refresh();
  for (std::size_t i = 0; i < layout_.faders.size(); ++i) {
    skin::ImgRoller& f = faders_[i];
    const int value = device::PageFieldValue(working_, layout_.id, layout_.faders[i].field);
    // A byte from a file may lie outside the fader's range; the fader shows it clamped.
    f.value = std::clamp(value, f.min, f.max);
    f.refreshText();
  }
  for (std::size_t i = 0; i < layout_.knobs.size(); ++i) {
    const PageKnob& row = layout_.knobs[i];
    const int value = row.role == KnobRole::kMicEqMode
                          ? mode_
                          : static_cast<int>(FilterKnobField(page, row).read(working_));
    knobs_[i].value = std::clamp(value, knobs_[i].min, knobs_[i].max);
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
    if (markChanged) link_.markChanged(device::RuleOf(layout_.id, layout_.faders[i].field).flag);
  }
  for (std::size_t i = 0; i < layout_.knobs.size(); ++i) {
    const PageKnob& row = layout_.knobs[i];
    if (row.role == KnobRole::kMicEqMode || row.filter != role) continue;
    knobs_[i].value = static_cast<int>(FilterKnobField(page, row).read(working_));
  }
}

void EffectPage::changeMode(std::int32_t mode) {
  const int set = device::MicBandSetFirst(mode);
  if (set != device::MicBandSetFirst(mode_)) pointStripsAt(set);
  device::ChangeMicEqMode(working_, mode_, mode);
  mode_ = mode;
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

const skin::ImgRoller* EffectPage::faderOf(PageField field) const {
  for (std::size_t i = 0; i < layout_.faders.size(); ++i)
    if (layout_.faders[i].field == field) return &faders_[i];
  return nullptr;
}

device::EchoOffsets EffectPage::echoOffsets() const {
  device::EchoOffsets offsets;
  if (const skin::ImgRoller* f = faderOf(PageField::kEchoDelayLr)) offsets.delayLr = f->value;
  if (const skin::ImgRoller* f = faderOf(PageField::kEchoPreDelayLr)) offsets.preDelayLr = f->value;
  return offsets;
}

void EffectPage::faderChanged(int fader, std::int32_t value) {
  const PageField field = layout_.faders[static_cast<std::size_t>(fader)].field;
  device::StorePageField(working_, layout_.id, field, value, echoOffsets());
  const device::PageFieldRule rule = device::RuleOf(layout_.id, field);
  if (rule.controlValue || rule.store == device::FieldStore::kEchoFirstSide) publishControlValues();
}

void EffectPage::publishControlValues() {
  const skin::ImgRoller* delayLr = faderOf(PageField::kEchoDelayLr);
  const skin::ImgRoller* preDelayLr = faderOf(PageField::kEchoPreDelayLr);
  const skin::ImgRoller* direct = faderOf(PageField::kEchoDirect);
  if (delayLr != nullptr && preDelayLr != nullptr && direct != nullptr)
    link_.setEchoControls(delayLr->value, preDelayLr->value, direct->value);
  if (settings::Page(layout_.id).secondSetFirstBand != settings::kNoRecord)
    link_.setMicEqMode(mode_);
}

bool EffectPage::hasModeCaption() const {
  return settings::Page(layout_.id).secondSetFirstBand != settings::kNoRecord;
}

QRect EffectPage::modeCaptionBounds() const {
  const QFontMetrics metrics(fonts_.fontValue);
  int width = 0;
  for (std::string_view caption : kMicEqModeCaptions)
    width = std::max(width, metrics.horizontalAdvance(QString::fromLatin1(
                                caption.data(), static_cast<qsizetype>(caption.size()))));
  // A pixel around the text for its antialiased edges.
  return QRect(kMicEqModeCaptionAt.x - 1, kMicEqModeCaptionAt.y - 1, width + 2,
               metrics.height() + 2);
}

QRect EffectPage::chartBounds() const {
  return QRect(chart_.bounds.x, chart_.bounds.y, chart_.bounds.width, chart_.bounds.height);
}

void EffectPage::FormPaintStatic(QPainter& painter) {
  if (layout_.logo)
    skin::DrawImageAt(painter, &images_[SkinSlot::kLogo], layout_.logoAt.x, layout_.logoAt.y);
  chart_.paintGrid(painter);
}

void EffectPage::FormClose() {
  chart_.releasePictures();
}

QRegion EffectPage::FormTakeChangedRegion() {
  QRegion changed;
  if (hasModeCaption() && shownMode_ != mode_) {
    shownMode_ = mode_;
    changed |= modeCaptionBounds();
  }
  if (chartBounds().isEmpty()) return changed;
  feedChart();
  // The spectrum line repaints the chart itself when a buffer arrives; whether it is shown at
  // all belongs here.
  const std::uint64_t key =
      skin::PaintKey().add(chart_.curvesKey()).add(chart_.showSpectrum).value();
  if (key != shownChartKey_) {
    shownChartKey_ = key;
    changed |= chartBounds();
  }
  return changed;
}

void EffectPage::repaintChart() {
  if (isVisible() && !chartBounds().isEmpty()) repaint(chartBounds());
}

void EffectPage::setChartMenu(const ChartMenuActions& actions) {
  if (chartMenu_ == nullptr) chartMenu_ = new QMenu(this);
  chartMenu_->clear();
  const struct {
    const char* name;
    const char* caption;
    const std::function<void()>& act;
  } items[] = {
      {"mImportFilters", QT_TRANSLATE_NOOP("EffectPage", "Import Filters…"), actions.importFilters},
      {"mExportFilters", QT_TRANSLATE_NOOP("EffectPage", "Export Filters…"), actions.exportFilters},
      {"mExportResponse", QT_TRANSLATE_NOOP("EffectPage", "Export Response (CSV)…"),
       actions.exportResponse},
      {"mExportPicture", QT_TRANSLATE_NOOP("EffectPage", "Export Picture (PNG)…"),
       actions.exportPicture},
  };
  for (const auto& item : items) {
    QAction* action =
        chartMenu_->addAction(QCoreApplication::translate("EffectPage", item.caption));
    action->setObjectName(item.name);
    action->setEnabled(static_cast<bool>(item.act));
    connect(action, &QAction::triggered, this, [act = item.act] {
      if (act) act();
    });
  }
}

void EffectPage::contextMenuEvent(QContextMenuEvent* event) {
  if (chartMenu_ == nullptr || !chartBounds().contains(event->pos())) return;
  // The menu pops up and returns at once; its items act when chosen.
  chartMenu_->popup(event->globalPos());
}

bool EffectPage::showsSecondMicSet() const {
  const PageParameters& page = settings::Page(layout_.id);
  return page.secondSetFirstBand != settings::kNoRecord &&
         device::MicBandSetFirst(mode_) == page.secondSetFirstBand;
}

QImage EffectPage::chartPicture() {
  const QImage window = render();
  const qreal ratio = window.devicePixelRatio();
  const QRect area = chartBounds();
  QImage picture = window.copy(QRect(qRound(area.x() * ratio), qRound(area.y() * ratio),
                                     qRound(area.width() * ratio), qRound(area.height() * ratio)));
  picture.setDevicePixelRatio(ratio);
  return picture;
}

void EffectPage::FormPaint(QPainter& painter) {
  if (hasModeCaption()) {
    const std::string_view caption = kMicEqModeCaptions[static_cast<std::size_t>(mode_)];
    skin::DrawTextAt(painter,
                     QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())),
                     fonts_.fontValue, Qt::black, kMicEqModeCaptionAt.x, kMicEqModeCaptionAt.y);
  }
  paintOrder().draw(painter);
  if (chartBounds().isEmpty()) return;
  if (painter.hasClipping() && !painter.clipBoundingRect().intersects(chartBounds())) return;
  feedChart();
  chart_.paintOverGrid(painter);
}

void EffectPage::feedChart() {
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
}

std::string EffectPage::FormControlName(int x, int y) const {
  for (int i = 0; i < stripCount(); ++i)
    if (strips_[i].hits(x, y)) return skin::PageBandName(layout_, i);
  for (int i = 0; i < static_cast<int>(layout_.faders.size()); ++i)
    if (faders_[i].hits(x, y)) return skin::PageFaderName(layout_, i);
  for (int i = 0; i < static_cast<int>(layout_.knobs.size()); ++i)
    if (knobs_[i].hits(x, y)) return skin::PageKnobName(layout_, i);
  for (int i = 0; i < static_cast<int>(layout_.polarity.size()); ++i)
    if (polarity_[i].hits(x, y)) return skin::PagePolarityName(layout_, i);
  if (eqPass_.hits(x, y)) return skin::PageEqPassName(layout_);
  const display::ChartHandleHit handle = chart_.handleAt(x, y);
  if (handle.band >= 0) return skin::PageBandName(layout_, handle.band);
  if (handle.filter < 0) return {};
  return skin::PageFilterName(layout_, handle.filter == display::kHighPassHandle
                                           ? FaderRole::kHighPass
                                           : FaderRole::kLowPass);
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

}  // namespace kdsp::pages
