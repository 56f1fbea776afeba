// SPDX-License-Identifier: GPL-3.0-or-later
// The real-time spectrum analyser: capture on and off, analysis and the pages' repaints.
#include "pages/spectrum_analyser.h"

#include <QtGlobal>
#include <utility>

namespace kdsp::pages {

std::string_view CaptureFailureMessage(CaptureFailure why) {
  switch (why) {
    case CaptureFailure::kNoInputDevice:
      return QT_TRANSLATE_NOOP("Messages",
                               "No sound input was found; the spectrum cannot be shown.");
    case CaptureFailure::kFormatRefused:
      return QT_TRANSLATE_NOOP("Messages",
                               "The sound input cannot record 16-bit mono at 44100 Hz; the "
                               "spectrum cannot be shown.");
    case CaptureFailure::kCannotOpen:
      return QT_TRANSLATE_NOOP(
          "Messages", "The sound input could not be opened; the spectrum cannot be shown.");
    case CaptureFailure::kInputLost:
      return QT_TRANSLATE_NOOP(
          "Messages", "The sound input stopped working; the spectrum analyser was switched off.");
  }
  return {};
}

SpectrumAnalyser::SpectrumAnalyser(std::unique_ptr<CaptureSource> source,
                                   core::PageOpenFlags& pageOpen, RepaintHooks& repaint,
                                   core::UserPrompts& prompts, QObject* parent)
    : QObject(parent),
      source_(std::move(source)),
      pageOpen_(pageOpen),
      repaint_(repaint),
      prompts_(prompts) {
  source_->setHandlers([this](CaptureBuffer samples) { onBufferDone(samples); },
                       [this](CaptureFailure why) { onCaptureFailure(why); });
}

SpectrumAnalyser::~SpectrumAnalyser() {
  source_->stop();
  source_->setHandlers({}, {});
}

void SpectrumAnalyser::pi1Click(bool on) {
  if (on == on_) return;
  if (!on) {
    switchOff();
    return;
  }
  on_ = true;
  const std::optional<CaptureFailure> failure = source_->start();
  analysis_.clearSamples();
  if (failure) onCaptureFailure(*failure);
}

void SpectrumAnalyser::onBufferDone(CaptureBuffer samples) {
  if (!on_) return;
  analysis_.analyse(samples.data());
  for (std::size_t slot = 0; slot < repaint_.size(); ++slot) {
    if (pageOpen_.open[slot] && repaint_[slot]) repaint_[slot]();
  }
}

void SpectrumAnalyser::onCaptureFailure(CaptureFailure why) {
  // Only a failure of the capture that is on is news; switching off ends the story, so the
  // user hears of it once.
  if (!on_) return;
  switchOff();
  // Unticked before the message, so the menu already tells the truth while the box is open.
  emit switchedOff();
  prompts_.showMessage(CaptureFailureMessage(why));
}

void SpectrumAnalyser::switchOff() {
  analysis_.clearReady();
  on_ = false;
  source_->stop();
}

}  // namespace kdsp::pages
