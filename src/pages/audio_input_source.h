// SPDX-License-Identifier: GPL-3.0-or-later
// The PC's sound input (the default one unless another is chosen) as a capture source of the
// spectrum analysers: Qt Multimedia records 16-bit mono at 44100 Hz, and the bytes it hands to
// the user-interface thread are cut into whole buffers, handed over in order from one fixed block.
#pragma once

#include <QAudio>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pages/capture_source.h"

class QAudioSource;

namespace kdsp::pages {

inline constexpr qint64 kBufferBytes = display::kBufferSamples * sizeof(std::int16_t);  // 8192

// Cuts a byte stream of native-order 16-bit samples into buffers of display::kBufferSamples. The
// bytes go straight from the device into the one block, so nothing is allocated per buffer.
class BufferAssembler {
 public:
  // Reads everything io has now, handing each completed buffer to deliver(CaptureBuffer), which
  // returns whether to go on reading. An incomplete buffer waits for the next call.
  template <class Deliver>
  void readFrom(QIODevice& io, Deliver&& deliver) {
    for (;;) {
      char* block = reinterpret_cast<char*>(samples_.data());
      const qint64 got = io.read(block + filled_, kBufferBytes - filled_);
      if (got <= 0) return;
      filled_ += got;
      if (filled_ < kBufferBytes) continue;
      filled_ = 0;
      if (!deliver(CaptureBuffer(samples_))) return;
    }
  }
  // Forgets an incomplete buffer: the next bytes start a new one.
  void reset() { filled_ = 0; }
  qint64 pendingBytes() const { return filled_; }

 private:
  std::array<std::int16_t, display::kBufferSamples> samples_{};
  qint64 filled_ = 0;
};

class AudioInputSource : public QObject, public CaptureSource {
  Q_OBJECT

 public:
  explicit AudioInputSource(QObject* parent = nullptr);
  ~AudioInputSource() override;

  // Looks for the input afresh each time, so a microphone plugged in after a failed start is
  // found by the next one. A chosen input that has gone away is no input.
  std::optional<CaptureFailure> start() override;
  void stop() override;
  bool running() const override { return delivering_; }
  std::vector<CaptureInput> inputs() const override;
  void chooseInput(const std::string& id) override { chosenId_ = id; }

  // 44100 Hz, one channel, 16-bit signed samples.
  static QAudioFormat captureFormat();

 private:
  void readAvailable();
  void onStateChanged(QAudio::State state);
  // Stops the recording itself, or, while a read from it is under way, as soon as the read is
  // over: the recording's stream may not disappear inside its own notification.
  void requestStopRecording();
  void stopRecording();

  BufferAssembler assembler_;
  std::unique_ptr<QAudioSource> audio_;
  QAudioDevice device_;   // the input audio_ records from
  std::string chosenId_;  // empty: the default input
  // The recording's stream while it records. The recording deletes it itself when it fails.
  QPointer<QIODevice> open_;
  bool delivering_ = false;     // started and not stopped or failed
  bool delivered_ = false;      // a buffer came since the start: a later error is a lost input
  int readDepth_ = 0;           // reads under way (a handler may run a nested event loop)
  bool stopAfterRead_ = false;  // the recording stops once the reads are over
  unsigned run_ = 0;  // counts starts and stops, so a late notice of an old run is dropped
};

}  // namespace kdsp::pages
