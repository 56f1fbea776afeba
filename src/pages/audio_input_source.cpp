// SPDX-License-Identifier: GPL-3.0-or-later
// The PC's sound input as a capture source of the spectrum analysers.
#include "pages/audio_input_source.h"

#include <QAudioSource>
#include <QMediaDevices>
#include <QMetaObject>

namespace kdsp::pages {
namespace {

bool EndsTheRecording(QAudio::Error error) {
  return error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError;
}

// The chosen input among those there are now; a null device when it is not there.
QAudioDevice FindInput(const std::string& id) {
  if (id.empty()) return QMediaDevices::defaultAudioInput();
  for (const QAudioDevice& device : QMediaDevices::audioInputs()) {
    if (device.id().toStdString() == id) return device;
  }
  return {};
}

}  // namespace

AudioInputSource::AudioInputSource(QObject* parent) : QObject(parent) {}

AudioInputSource::~AudioInputSource() {
  delivering_ = false;
  stopRecording();
}

QAudioFormat AudioInputSource::captureFormat() {
  QAudioFormat format;
  format.setSampleRate(display::kCaptureRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  return format;
}

std::optional<CaptureFailure> AudioInputSource::start() {
  if (delivering_) return std::nullopt;
  if (open_ && readDepth_ > 0) {
    // Stopped and started again by a handler during a read: the recording never stopped.
    ++run_;
    if (EndsTheRecording(audio_->error())) {
      stopAfterRead_ = true;
      return CaptureFailure::kCannotOpen;
    }
    stopAfterRead_ = false;
    delivering_ = true;
    delivered_ = false;
    assembler_.reset();
    return std::nullopt;
  }
  stopRecording();
  ++run_;  // whatever follows, a late notice from an earlier run is void

  const QAudioDevice device = FindInput(chosenId_);
  if (device.isNull()) return CaptureFailure::kNoInputDevice;
  const QAudioFormat format = captureFormat();
  if (!device.isFormatSupported(format)) return CaptureFailure::kFormatRefused;

  if (!audio_ || device_ != device || audio_->error() != QAudio::NoError) {
    audio_ = std::make_unique<QAudioSource>(device, format);
    device_ = device;
    connect(audio_.get(), &QAudioSource::stateChanged, this, &AudioInputSource::onStateChanged);
  }
  assembler_.reset();
  QIODevice* stream = audio_->start();
  if (!stream || EndsTheRecording(audio_->error())) {
    audio_->stop();
    return CaptureFailure::kCannotOpen;
  }
  open_ = stream;
  delivering_ = true;
  delivered_ = false;
  connect(open_, &QIODevice::readyRead, this, &AudioInputSource::readAvailable);
  return std::nullopt;
}

std::vector<CaptureInput> AudioInputSource::inputs() const {
  std::vector<CaptureInput> found;
  for (const QAudioDevice& device : QMediaDevices::audioInputs()) {
    found.push_back({device.id().toStdString(), device.description().toStdString()});
  }
  return found;
}

void AudioInputSource::stop() {
  ++run_;
  delivering_ = false;
  assembler_.reset();
  requestStopRecording();
}

void AudioInputSource::readAvailable() {
  if (!delivering_ || !open_) return;
  ++readDepth_;
  const unsigned run = run_;
  assembler_.readFrom(*open_, [this, run](CaptureBuffer samples) {
    delivered_ = true;
    deliver(samples);
    return delivering_ && run == run_;
  });
  --readDepth_;
  if (readDepth_ == 0 && stopAfterRead_) {
    // Still inside the stream's own notification: the stop waits for the event loop.
    stopAfterRead_ = false;
    QMetaObject::invokeMethod(
        this,
        [this, queued = run_] {
          if (queued == run_ && !delivering_) requestStopRecording();
        },
        Qt::QueuedConnection);
  }
}

void AudioInputSource::onStateChanged(QAudio::State) {
  if (!delivering_ || !EndsTheRecording(audio_->error())) return;
  const CaptureFailure why = delivered_ ? CaptureFailure::kInputLost : CaptureFailure::kCannotOpen;
  delivering_ = false;
  assembler_.reset();
  // Reported from the event loop, not from inside the recording's notification, and only if
  // nobody stopped or restarted the source in between.
  QMetaObject::invokeMethod(
      this,
      [this, why, failed = ++run_] {
        if (failed != run_) return;
        requestStopRecording();
        fail(why);
      },
      Qt::QueuedConnection);
}

void AudioInputSource::requestStopRecording() {
  if (readDepth_ > 0) {
    stopAfterRead_ = true;
    return;
  }
  stopRecording();
}

void AudioInputSource::stopRecording() {
  stopAfterRead_ = false;
  if (open_) {
    disconnect(open_, nullptr, this, nullptr);
    open_ = nullptr;
  }
  if (audio_) audio_->stop();
}

}  // namespace kdsp::pages
