// SPDX-License-Identifier: GPL-3.0-or-later
// An effect page: one template for all eight pages, driven by the page's layout table — EQ band
// strips, compressor faders, crossover faders and knobs, level faders, the EQ Pass and close
// buttons — plus what only the Mic Equalizer (mode knob, polarity switches) and the Echo Effect
// (left/right offsets) add. Every control writes the working block and raises its flag through
// the device link; the synchronisation tick sends it. What a fader stores, and how the Mic
// Equalizer's sets and the Echo Effect's second side follow, are the page rules of the device
// layer; the page wires its controls to them and paints.
#pragma once

#include <array>
#include <functional>

#include "device/device_link.h"
#include "display/response_chart.h"
#include "settings/parameter_block.h"
#include "skin/control_list.h"
#include "skin/page_layouts.h"
#include "skin/panel_window.h"
#include "skin/skin_fonts.h"
#include "skin/skin_images.h"
#include "skin/typed_handlers.h"

class QMenu;

namespace kdsp::pages {

// What the response chart's context menu does; the program fills it in.
struct ChartMenuActions {
  std::function<void()> importFilters;
  std::function<void()> exportFilters;
  std::function<void()> exportResponse;
  std::function<void()> exportPicture;
};

inline constexpr int kMaxStrips = 15;
inline constexpr int kMaxFaders = 9;
inline constexpr int kMaxKnobs = 4;

class EffectPage : public skin::PanelWindow {
 public:
  EffectPage(const skin::page_layout::PageLayout& layout, const skin::SkinImages& images,
             const skin::SkinFonts& fonts, settings::ParameterBlock& working,
             device::DeviceLink& link, QWidget* parent = nullptr);

  const skin::page_layout::PageLayout& layout() const { return layout_; }
  // Reloads every control from the working block, then repaints if shown.
  void refresh();
  // Reloads one crossover filter's fader and knobs (0 high-pass, 1 low-pass).
  // markChanged raises the filter fader's flag (after a chart drag).
  void refreshFilter(int which, bool markChanged = false);
  // Called before every paint to hand the chart the spectrum (the analyser sets it).
  void setSpectrumSource(std::function<void(display::ResponseChart&)> source) {
    spectrumSource_ = std::move(source);
  }
  display::ResponseChart& chart() { return chart_; }
  // Repaints the chart alone at once: a new spectrum changes nothing else.
  void repaintChart();
  // The response chart's context menu, opened by a right click on the chart: Import Filters…,
  // Export Filters…, Export Response (CSV)…, Export Picture (PNG)…, named mImportFilters,
  // mExportFilters, mExportResponse and mExportPicture.
  void setChartMenu(const ChartMenuActions& actions);
  QMenu* chartMenu() const { return chartMenu_; }
  // Whether the chart shows the Mic Equalizer's second band set (the mode's set).
  bool showsSecondMicSet() const;
  // The chart as the page shows it, at the window's device pixel ratio.
  QImage chartPicture();

  // The controls, for tests.
  skin::ImgEqBand& strip(int i) { return strips_[i]; }
  int stripCount() const { return static_cast<int>(layout_.eqX.size()); }
  skin::ImgRoller& fader(int i) { return faders_[i]; }
  skin::ImgKnob& knob(int i) { return knobs_[i]; }
  skin::ImgButton& polaritySwitch(int i) { return polarity_[i]; }
  skin::ImgButton& eqPassButton() { return eqPass_; }
  int micEqMode() const { return mode_; }

 protected:
  void FormPaintStatic(QPainter& painter) override;
  void FormPaint(QPainter& painter) override;
  QRegion FormTakeChangedRegion() override;
  void FormClose() override;
  bool FormMouseDown(int x, int y, Qt::MouseButton button) override;
  void FormMouseUp(int x, int y) override;
  void FormMouseMove(int x, int y) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  std::string FormControlName(int x, int y) const override;

 private:
  void configureButtons();
  void configureStrips();
  void configureFaders();
  void configureKnobs();
  void configurePolarity();
  void configureChart();
  // After a chart drag: the dragged band's strip or the dragged filter's controls follow it.
  void followChartDrag();
  void setBox(skin::ImgEdit& box, skin::LayoutRect rect, int maxChars);
  bool hasModeCaption() const;
  QRect modeCaptionBounds() const;
  QRect chartBounds() const;
  // The chart as the page shows it: which bands and filters are drawn, and the spectrum.
  void feedChart();

  // The Mic Equalizer's mode: which set the strips edit, linking and copying the sets.
  void changeMode(std::int32_t mode);
  void pointStripsAt(int firstBand);
  void faderChanged(int fader, std::int32_t value);
  void polarityClicked(int which, skin::ImgButton& button);
  // The fader that edits this field, if the page has one.
  const skin::ImgRoller* faderOf(device::PageField field) const;
  // The Echo Effect's left/right offsets as its faders hold them.
  device::EchoOffsets echoOffsets() const;
  // The values that travel from the faders and the mode knob rather than from the block.
  void publishControlValues();
  void clearEqGains();

  const skin::page_layout::PageLayout& layout_;
  const skin::SkinImages& images_;
  const skin::SkinFonts& fonts_;
  settings::ParameterBlock& working_;
  device::DeviceLink& link_;

  skin::ImgButton close_, eqPass_;
  skin::ImgEqBand strips_[kMaxStrips];
  skin::ImgRoller faders_[kMaxFaders];
  skin::ImgKnob knobs_[kMaxKnobs];
  skin::ImgButton polarity_[2];
  display::ResponseChart chart_;
  std::function<void(display::ResponseChart&)> spectrumSource_;
  QMenu* chartMenu_ = nullptr;
  int mode_ = 0;  // Mic Equalizer mode, 0..2
  // What the last repaint showed of the mode caption and the chart.
  int shownMode_ = -1;
  std::uint64_t shownChartKey_ = 0;
  skin::RowMembers<EffectPage, kMaxStrips> rows_{this};
};

}  // namespace kdsp::pages
