// SPDX-License-Identifier: GPL-3.0-or-later
// The real-time spectrum analyser: switched on and off by the main window's menu item, it
// analyses every buffer its capture source delivers and repaints the open effect pages, whose
// charts draw the levels as a live line.
#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <string_view>

#include "core/page_open_flags.h"
#include "core/user_prompts.h"
#include "display/spectrum_analysis.h"
#include "pages/capture_source.h"

namespace kdsp::pages {

// What the user is told when the analyser cannot get or keep its sound.
std::string_view CaptureFailureMessage(CaptureFailure why);

class SpectrumAnalyser : public QObject {
  Q_OBJECT

 public:
  // One repaint per page-open slot; a page sets its own once it exists.
  using RepaintHooks = std::array<std::function<void()>, 8>;

  // The analyser keeps pageOpen, repaint and prompts by reference; they must outlive it.
  SpectrumAnalyser(std::unique_ptr<CaptureSource> source, core::PageOpenFlags& pageOpen,
                   RepaintHooks& repaint, core::UserPrompts& prompts, QObject* parent = nullptr);
  ~SpectrumAnalyser() override;

  // The menu item's handler: on starts the capture, off stops it and the charts drop the line.
  // Repeating the current state changes nothing. When the capture cannot start, or fails later,
  // the analyser switches itself off, emits switchedOff() and tells the user once.
  void pi1Click(bool on);

  // What a page hands its chart before drawing.
  bool showSpectrum() const { return on_; }
  const display::SpectrumAnalysis::Buffer& spectrum() const { return analysis_.spectrumLevels(); }
  bool spectrumStale() const { return analysis_.spectrumReady(); }

  const display::SpectrumAnalysis& analysis() const { return analysis_; }
  CaptureSource& source() { return *source_; }

 signals:
  // The analyser switched itself off after a capture failure: the menu item must be unticked.
  void switchedOff();

 private:
  void onBufferDone(CaptureBuffer samples);
  void onCaptureFailure(CaptureFailure why);
  void switchOff();

  std::unique_ptr<CaptureSource> source_;
  core::PageOpenFlags& pageOpen_;
  RepaintHooks& repaint_;
  core::UserPrompts& prompts_;
  display::SpectrumAnalysis analysis_;
  bool on_ = false;
};

}  // namespace kdsp::pages
