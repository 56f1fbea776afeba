// SPDX-License-Identifier: GPL-3.0-or-later
// Where the spectrum analyser's sound comes from: a source that, once started, hands over 16-bit
// mono buffers of display::kBufferSamples samples at display::kCaptureRate, in order, on the
// user-interface thread, and says so when it cannot open a sound input. The program uses the PC's
// default input; tests feed buffers of their own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "display/spectrum_analysis.h"

namespace kdsp::pages {

using CaptureBuffer = std::span<const std::int16_t, display::kBufferSamples>;

// Why no buffers will come.
enum class CaptureFailure {
  kNoInputDevice,  // the PC has no sound input
  kFormatRefused,  // the input cannot record 16-bit mono at 44100 Hz
  kCannotOpen,     // the input refused to start
  kInputLost,      // the input failed after it had delivered sound
};

// A sound input a source can record from: an id the source knows it by, a name for the user.
struct CaptureInput {
  std::string id;
  std::string name;
};

class CaptureSource {
 public:
  // The buffer is the source's own storage, valid only during the call.
  using BufferHandler = std::function<void(CaptureBuffer)>;
  using FailureHandler = std::function<void(CaptureFailure)>;

  virtual ~CaptureSource() = default;

  // Both are called on the user-interface thread, never from inside start() or stop().
  void setHandlers(BufferHandler onBuffer, FailureHandler onFailure) {
    onBuffer_ = std::move(onBuffer);
    onFailure_ = std::move(onFailure);
  }

  // Opens the input and starts recording: nothing when buffers will follow, otherwise why they
  // will not (the source is then stopped). A failure found later, while running, stops the source
  // and goes to the failure handler once. Starting a running source changes nothing.
  virtual std::optional<CaptureFailure> start() = 0;
  // Stops recording and drops the part of a buffer already recorded. It may be called from the
  // buffer handler; no buffer is handed over after it returns.
  virtual void stop() = 0;
  virtual bool running() const = 0;

  // The inputs there are now, for the user to choose from. A source that records from one input
  // only lists none and has no choice to make.
  virtual std::vector<CaptureInput> inputs() const { return {}; }
  // The input the next start() records from; an empty id is the PC's default input, which is
  // also where a source starts out. A running source goes on with its input until restarted.
  virtual void chooseInput(const std::string& id) { (void)id; }

 protected:
  void deliver(CaptureBuffer samples) const {
    if (onBuffer_) onBuffer_(samples);
  }
  void fail(CaptureFailure why) const {
    if (onFailure_) onFailure_(why);
  }

 private:
  BufferHandler onBuffer_;
  FailureHandler onFailure_;
};

}  // namespace kdsp::pages
