// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the spectrum analyser: switching on and off, the analysis of delivered buffers and the
// pages' repaints, capture failures, the cutting of recorded bytes into buffers, and the PC's own
// sound input.
#include "pages/spectrum_analyser.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <numbers>
#include <utility>
#include <vector>

#include "pages/audio_input_source.h"
#include "support/device_fakes.h"

// Every allocation of the test program is counted, so a test can show that a stretch of work
// allocated nothing.
namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace kdsp::pages {
namespace {

using Samples = std::array<std::int16_t, display::kBufferSamples>;
const float kFullScaleLevel = 30.0f * std::log(1024.0f);  // 207.94

// A full-scale sine that completes `cycles` periods in the transform's 2048 samples.
Samples Tone(int cycles) {
  Samples samples{};
  for (int n = 0; n < display::kBufferSamples; ++n) {
    const double phi = 2.0 * std::numbers::pi * cycles * n / (1 << display::kFftLog);
    samples[n] = static_cast<std::int16_t>(std::lround(32767.0 * std::sin(phi)));
  }
  return samples;
}

// The bin of the loudest level.
int Peak(const display::SpectrumAnalysis::Buffer& levels) {
  return static_cast<int>(
      std::max_element(levels.begin(), levels.begin() + display::kSpectrumBins) - levels.begin());
}

// A capture source fed by the test.
class FakeCapture : public CaptureSource {
 public:
  std::optional<CaptureFailure> start() override {
    ++starts;
    if (refusal) return refusal;
    running_ = true;
    return std::nullopt;
  }
  void stop() override {
    ++stops;
    running_ = false;
  }
  bool running() const override { return running_; }

  void feed(const Samples& samples) { deliver(CaptureBuffer(samples)); }
  void breakDown(CaptureFailure why) {
    running_ = false;
    fail(why);
  }

  std::optional<CaptureFailure> refusal;
  int starts = 0;
  int stops = 0;

 private:
  bool running_ = false;
};

struct Repaint {
  int slot;
  int peak;  // the loudest bin when the page repainted
  bool operator==(const Repaint&) const = default;
};

class SpectrumAnalyserTest : public testing::Test {
 protected:
  SpectrumAnalyserTest() {
    auto source = std::make_unique<FakeCapture>();
    capture = source.get();
    for (int slot = 0; slot < 8; ++slot) {
      hooks[slot] = [this, slot] { repaints.push_back({slot, Peak(analyser->spectrum())}); };
    }
    analyser = std::make_unique<SpectrumAnalyser>(std::move(source), pageOpen, hooks, prompts);
    QObject::connect(analyser.get(), &SpectrumAnalyser::switchedOff, [this] {
      ++switchedOff;
      // As the menu item does: unticking it calls the handler again.
      analyser->pi1Click(false);
    });
  }

  core::PageOpenFlags pageOpen;
  SpectrumAnalyser::RepaintHooks hooks;
  device::testing::RecordingPrompts prompts;
  FakeCapture* capture = nullptr;
  std::unique_ptr<SpectrumAnalyser> analyser;
  std::vector<Repaint> repaints;
  int switchedOff = 0;
};

TEST_F(SpectrumAnalyserTest, FullScaleSineOnBin93ReadsThirtyLnOf1024) {
  analyser->pi1Click(true);
  EXPECT_TRUE(analyser->showSpectrum());
  EXPECT_FALSE(analyser->spectrumStale());
  capture->feed(Tone(93));
  EXPECT_TRUE(analyser->spectrumStale());
  EXPECT_NEAR(analyser->spectrum()[93], kFullScaleLevel, 0.01);
  EXPECT_LT(analyser->spectrum()[92], kFullScaleLevel - 100);
  EXPECT_LT(analyser->spectrum()[94], kFullScaleLevel - 100);
}

TEST_F(SpectrumAnalyserTest, BuffersAreAnalysedInOrderAndRepaintTheOpenPagesInSlotOrder) {
  pageOpen.open[7] = pageOpen.open[1] = pageOpen.open[4] = 1;
  pageOpen.open[2] = 1;
  hooks[2] = nullptr;  // an open page that has not set its repaint yet
  analyser->pi1Click(true);
  for (int bin : {10, 93, 500}) capture->feed(Tone(bin));
  const std::vector<Repaint> expected = {{1, 10}, {4, 10},  {7, 10},  {1, 93}, {4, 93},
                                         {7, 93}, {1, 500}, {4, 500}, {7, 500}};
  EXPECT_EQ(repaints, expected);

  pageOpen.open[4] = 0;  // a page closed in between
  repaints.clear();
  capture->feed(Tone(20));
  EXPECT_EQ(repaints, (std::vector<Repaint>{{1, 20}, {7, 20}}));
}

TEST_F(SpectrumAnalyserTest, SilentBufferGivesMinusInfinityAndNothingBreaks) {
  pageOpen.open[0] = 1;
  analyser->pi1Click(true);
  capture->feed(Tone(93));
  capture->feed(Samples{});
  EXPECT_TRUE(analyser->spectrumStale());
  for (int i = 0; i < display::kSpectrumBins; ++i) {
    const float level = analyser->spectrum()[i];
    EXPECT_TRUE(std::isinf(level) && level < 0) << i << ": " << level;
  }
  capture->feed(Tone(300));
  EXPECT_NEAR(analyser->spectrum()[300], kFullScaleLevel, 0.01);
  EXPECT_EQ(repaints.size(), 3u);
}

TEST_F(SpectrumAnalyserTest, SwitchingOffStopsTheCaptureAndTheLineButKeepsTheLevels) {
  pageOpen.open[3] = 1;
  analyser->pi1Click(true);
  analyser->pi1Click(true);  // repeating the state changes nothing
  capture->feed(Tone(93));
  analyser->pi1Click(false);
  analyser->pi1Click(false);
  EXPECT_EQ(capture->starts, 1);
  EXPECT_EQ(capture->stops, 1);
  EXPECT_FALSE(analyser->spectrumStale());
  EXPECT_FALSE(analyser->showSpectrum());
  EXPECT_FALSE(capture->running());
  EXPECT_NEAR(analyser->spectrum()[93], kFullScaleLevel, 0.01);

  // A buffer that was on its way when the item was unticked changes nothing.
  repaints.clear();
  capture->feed(Tone(10));
  EXPECT_TRUE(repaints.empty());
  EXPECT_FALSE(analyser->spectrumStale());
  EXPECT_EQ(Peak(analyser->spectrum()), 93);
}

TEST_F(SpectrumAnalyserTest, OffAndOnAgainReusesTheBuffersAndAllocatesNothing) {
  for (auto& hook : hooks) hook = nullptr;  // the recording hooks allocate
  int repainted = 0;
  hooks[5] = [&repainted] { ++repainted; };
  pageOpen.open[5] = 1;
  const float* levels = analyser->spectrum().data();
  const float* samples = analyser->analysis().sampleBuffer().data();
  const Samples tone = Tone(93);

  // A first run builds what is built once per process (the transform's tables).
  analyser->pi1Click(true);
  capture->feed(tone);
  analyser->pi1Click(false);

  bool zeroedOnEachStart = true;
  const long before = allocations;
  for (int run = 0; run < 3; ++run) {
    analyser->pi1Click(true);
    // The samples of the run before are forgotten.
    zeroedOnEachStart = zeroedOnEachStart && std::all_of(samples, samples + display::kBufferSamples,
                                                         [](float s) { return s == 0.0f; });
    for (int i = 0; i < 10; ++i) capture->feed(tone);
    analyser->pi1Click(false);
  }
  EXPECT_EQ(allocations - before, 0);
  EXPECT_TRUE(zeroedOnEachStart);
  EXPECT_EQ(repainted, 31);
  EXPECT_EQ(capture->starts, 4);
  EXPECT_EQ(analyser->spectrum().data(), levels);
  EXPECT_NEAR(analyser->spectrum()[93], kFullScaleLevel, 0.01);
}

TEST_F(SpectrumAnalyserTest, ASourceThatCannotOpenIsReportedOnceAndUnticked) {
  for (CaptureFailure why : {CaptureFailure::kNoInputDevice, CaptureFailure::kFormatRefused,
                             CaptureFailure::kCannotOpen}) {
    SCOPED_TRACE(static_cast<int>(why));
    prompts.messages.clear();
    switchedOff = 0;
    capture->refusal = why;
    analyser->pi1Click(true);
    EXPECT_FALSE(analyser->showSpectrum());
    EXPECT_FALSE(analyser->spectrumStale());
    EXPECT_FALSE(capture->running());
    EXPECT_EQ(switchedOff, 1);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{std::string(CaptureFailureMessage(why))});
  }
  EXPECT_EQ(CaptureFailureMessage(CaptureFailure::kNoInputDevice),
            "No sound input was found; the spectrum cannot be shown.");

  // Once an input is there, the next tick works.
  capture->refusal.reset();
  prompts.messages.clear();
  analyser->pi1Click(true);
  EXPECT_TRUE(analyser->showSpectrum());
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SpectrumAnalyserTest, AnInputLostWhileRunningIsReportedOnceAndSwitchesOff) {
  analyser->pi1Click(true);
  capture->feed(Tone(93));
  capture->breakDown(CaptureFailure::kInputLost);
  capture->breakDown(CaptureFailure::kInputLost);
  EXPECT_FALSE(analyser->showSpectrum());
  EXPECT_FALSE(analyser->spectrumStale());
  EXPECT_EQ(switchedOff, 1);
  EXPECT_EQ(prompts.messages, std::vector<std::string>{
                                  std::string(CaptureFailureMessage(CaptureFailure::kInputLost))});

  // A failure notice while the analyser is off is nobody's news.
  capture->breakDown(CaptureFailure::kCannotOpen);
  EXPECT_EQ(prompts.messages.size(), 1u);
}

// A recording's stream: bytes arrive in portions and each read returns at most `piece` bytes.
class ArrivingBytes : public QIODevice {
 public:
  // Unbuffered, so what the reader has not taken stays here.
  explicit ArrivingBytes(qint64 piece) : piece_(piece) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }
  bool isSequential() const override { return true; }
  void arrive(const QByteArray& bytes) { waiting_.append(bytes); }
  qint64 waiting() const { return waiting_.size(); }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const qint64 n = std::min({maxSize, piece_, static_cast<qint64>(waiting_.size())});
    std::copy_n(waiting_.constData(), n, data);
    waiting_.remove(0, n);
    return n;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  qint64 piece_;
  QByteArray waiting_;
};

// Samples that count up from `first`, as bytes in the machine's order.
QByteArray CountingBytes(int first, int count) {
  std::vector<std::int16_t> samples(count);
  for (int i = 0; i < count; ++i) samples[i] = static_cast<std::int16_t>(first + i);
  return QByteArray(reinterpret_cast<const char*>(samples.data()), count * 2);
}

TEST(BufferAssemblerTest, CutsTheStreamIntoWholeBuffersInOrder) {
  // Portions and read sizes that split samples and buffers anywhere, odd byte counts included.
  for (qint64 piece : {1, 3, 777, 8192, 100000}) {
    SCOPED_TRACE(piece);
    ArrivingBytes io(piece);
    BufferAssembler assembler;
    std::vector<int> firsts;
    bool counting = true;
    const auto deliver = [&](CaptureBuffer buffer) {
      firsts.push_back(buffer[0]);
      for (int i = 1; i < display::kBufferSamples; ++i) {
        counting = counting && static_cast<std::int16_t>(buffer[i] - buffer[i - 1]) == 1;
      }
      return true;
    };
    const QByteArray stream = CountingBytes(0, 3 * display::kBufferSamples + 100);
    qint64 at = 0;
    for (qint64 portion : {5, 8191, 1, 9000, 999}) {
      io.arrive(stream.mid(at, portion));
      at += portion;
      assembler.readFrom(io, deliver);
      EXPECT_EQ(io.waiting(), 0);
    }
    io.arrive(stream.mid(at));
    assembler.readFrom(io, deliver);
    EXPECT_EQ(firsts, (std::vector<int>{0, display::kBufferSamples, 2 * display::kBufferSamples}));
    EXPECT_TRUE(counting);
    EXPECT_EQ(assembler.pendingBytes(), 200);
  }
}

TEST(BufferAssemblerTest, StopsReadingWhenTheHandlerSaysSoAndResetDropsAPartialBuffer) {
  ArrivingBytes io(100000);
  BufferAssembler assembler;
  std::vector<int> firsts;
  io.arrive(CountingBytes(0, 2 * display::kBufferSamples + 10));
  assembler.readFrom(io, [&](CaptureBuffer buffer) {
    firsts.push_back(buffer[0]);
    return false;
  });
  EXPECT_EQ(firsts, std::vector<int>{0});
  EXPECT_EQ(io.waiting(), kBufferBytes + 20);

  io.readAll();
  io.arrive(CountingBytes(1000, 10));
  assembler.readFrom(io, [](CaptureBuffer) { return true; });
  assembler.reset();
  io.arrive(CountingBytes(5000, display::kBufferSamples));
  assembler.readFrom(io, [&](CaptureBuffer buffer) {
    firsts.push_back(buffer[0]);
    return true;
  });
  EXPECT_EQ(firsts, (std::vector<int>{0, 5000}));
}

// The PC's own sound input. The test machines have none: the source must say so at once, stay
// stopped and take any number of further starts and stops.
TEST(AudioInputSourceTest, StartsOrSaysWhyNot) {
  const bool hasInput = !QMediaDevices::defaultAudioInput().isNull();
  AudioInputSource source;
  int buffers = 0;
  std::vector<CaptureFailure> failures;
  source.setHandlers([&](CaptureBuffer) { ++buffers; },
                     [&](CaptureFailure why) { failures.push_back(why); });
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::optional<CaptureFailure> failure = source.start();
    if (!hasInput) {
      EXPECT_EQ(failure, CaptureFailure::kNoInputDevice);
      EXPECT_FALSE(source.running());
    } else {
      EXPECT_EQ(source.running(), !failure.has_value());
    }
    QCoreApplication::processEvents();
    source.stop();
    EXPECT_FALSE(source.running());
    QCoreApplication::processEvents();
  }
  // A start that fails says so by its result, never through the handler as well.
  if (!hasInput) {
    EXPECT_TRUE(failures.empty());
  }
  source.stop();
}

TEST(AudioInputSourceTest, TheAnalyserOnThePcsInputReportsAMissingInputAndUnticks) {
  if (!QMediaDevices::defaultAudioInput().isNull()) GTEST_SKIP() << "this machine has an input";
  core::PageOpenFlags pageOpen;
  SpectrumAnalyser::RepaintHooks hooks;
  device::testing::RecordingPrompts prompts;
  SpectrumAnalyser analyser(std::make_unique<AudioInputSource>(), pageOpen, hooks, prompts);
  int switchedOff = 0;
  QObject::connect(&analyser, &SpectrumAnalyser::switchedOff, [&] { ++switchedOff; });

  analyser.pi1Click(true);
  QCoreApplication::processEvents();
  EXPECT_FALSE(analyser.showSpectrum());
  EXPECT_EQ(switchedOff, 1);
  EXPECT_EQ(prompts.messages,
            std::vector<std::string>{"No sound input was found; the spectrum cannot be shown."});
}

}  // namespace
}  // namespace kdsp::pages
