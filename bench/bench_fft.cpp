// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the 2048-point real transform against FFTW's and KissFFT's real transforms, and of the
// analysis of one captured buffer.
#include <benchmark/benchmark.h>
#include <fftw3.h>
#include <kiss_fftr.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "display/fft.h"
#include "display/spectrum_analysis.h"

namespace {

using kdsp::display::kBufferSamples;
using kdsp::display::kFftLog;

constexpr int kPoints = 1 << kFftLog;

std::vector<float> Noise(int count) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  std::vector<float> values(count);
  for (float& v : values) v = uniform(random);
  return values;
}

// Every variant copies the same input in before it transforms, as the in-place transform must.
void BM_RealFft(benchmark::State& state) {
  const std::vector<float> input = Noise(kPoints);
  std::vector<float> work(kPoints);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), work.begin());
    kdsp::display::RealFft(work.data(), kFftLog);
    benchmark::DoNotOptimize(work.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_RealFft);

void BM_Fftw(benchmark::State& state, unsigned flags) {
  const std::vector<float> input = Noise(kPoints);
  float* in = fftwf_alloc_real(kPoints);
  fftwf_complex* out = fftwf_alloc_complex(kPoints / 2 + 1);
  // FFTW_MEASURE overwrites the arrays while it plans, so the plan comes first.
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(kPoints, in, out, flags);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), in);
    fftwf_execute(plan);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  fftwf_destroy_plan(plan);
  fftwf_free(out);
  fftwf_free(in);
}
BENCHMARK_CAPTURE(BM_Fftw, estimate, FFTW_ESTIMATE);
BENCHMARK_CAPTURE(BM_Fftw, measure, FFTW_MEASURE);

void BM_KissFftr(benchmark::State& state) {
  const std::vector<float> input = Noise(kPoints);
  std::vector<float> in(kPoints);
  std::vector<kiss_fft_cpx> out(kPoints / 2 + 1);
  kiss_fftr_cfg config = kiss_fftr_alloc(kPoints, 0, nullptr, nullptr);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), in.begin());
    kiss_fftr(config, in.data(), out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  kiss_fftr_free(config);
}
BENCHMARK(BM_KissFftr);

void BM_AnalyseBuffer(benchmark::State& state) {
  const std::vector<float> noise = Noise(kBufferSamples);
  std::vector<std::int16_t> samples(kBufferSamples);
  for (int i = 0; i < kBufferSamples; ++i) samples[i] = static_cast<std::int16_t>(noise[i] * 8000);
  auto analysis = std::make_unique<kdsp::display::SpectrumAnalysis>();
  for (auto _ : state) {
    analysis->analyse(samples.data());
    benchmark::DoNotOptimize(analysis->spectrumLevels().data());
  }
}
BENCHMARK(BM_AnalyseBuffer);

}  // namespace
