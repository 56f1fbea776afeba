// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the measurement analyser's work per captured buffer: the 8192-point transform alone,
// one buffer's analysis, and the shown levels worked out with and without 1/3-octave smoothing.
#include <benchmark/benchmark.h>

#include <complex>
#include <random>
#include <vector>

#include "display/long_real_fft.h"
#include "display/measurement_spectrum.h"
#include "display/spectrum_analysis.h"

namespace {

using kdsp::display::kBufferSamples;
using kdsp::display::kMeasurementPoints;

std::vector<float> Noise(int count) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
  std::vector<float> values(count);
  for (float& v : values) v = uniform(random);
  return values;
}

void BM_LongRealFft(benchmark::State& state) {
  kdsp::display::LongRealFft fft(kdsp::display::kMeasurementLog);
  const std::vector<float> input = Noise(kMeasurementPoints);
  std::vector<std::complex<double>> out(fft.bins());
  for (auto _ : state) {
    fft.transform(input, out);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LongRealFft);

// One delivered buffer: windowing, the transform and the averaging, with peak hold on.
void BM_AnalyseBuffer(benchmark::State& state) {
  kdsp::display::MeasurementSpectrum spectrum(kdsp::display::kCaptureRate);
  spectrum.setAveraging(kdsp::display::Averaging::kFast);
  spectrum.setPeakHold(true);
  const std::vector<float> buffer = Noise(kBufferSamples);
  spectrum.addBuffer(buffer);
  spectrum.addBuffer(buffer);
  for (auto _ : state) {
    spectrum.addBuffer(buffer);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AnalyseBuffer);

// A whole-window buffer analysed and what the window then asks for: the shown levels and
// peaks, corrected for a microphone, unsmoothed (0) and smoothed (1).
void BM_ShownLevels(benchmark::State& state) {
  kdsp::display::MeasurementSpectrum spectrum(kdsp::display::kCaptureRate);
  spectrum.setPeakHold(true);
  spectrum.setSmoothing(state.range(0) != 0);
  spectrum.setMicResponse([](double hz) { return hz > 1000 ? 1.0 : -1.0; });
  const std::vector<float> buffer = Noise(kMeasurementPoints);
  for (auto _ : state) {
    spectrum.addBuffer(buffer);
    benchmark::DoNotOptimize(spectrum.levels().data());
    benchmark::DoNotOptimize(spectrum.peakLevels().data());
  }
}
BENCHMARK(BM_ShownLevels)->Arg(0)->Arg(1);

}  // namespace
