// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the split-radix transforms against a plain discrete Fourier transform, of the bit
// reversal, and of the bounds checks that end the process.
#include "display/fft.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace kdsp::display {
namespace {

using Spectrum = std::vector<std::complex<double>>;

// X(k) = sum x(n) e^(-2 pi i k n / N), in double precision.
Spectrum Dft(const std::vector<float>& re, const std::vector<float>& im) {
  const int n = static_cast<int>(re.size());
  Spectrum out(n);
  for (int k = 0; k < n; ++k) {
    std::complex<double> sum = 0;
    for (int t = 0; t < n; ++t) {
      const double phi = -2.0 * std::numbers::pi * ((static_cast<long>(k) * t) % n) / n;
      sum += std::complex<double>(re[t], im[t]) * std::polar(1.0, phi);
    }
    out[k] = sum;
  }
  return out;
}

std::vector<float> Noise(int count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  std::vector<float> values(count);
  for (float& v : values) v = uniform(random);
  return values;
}

// Float rounding grows with the number of stages and with the size of the values.
double Tolerance(const std::vector<float>& re, const std::vector<float>& im, int logm) {
  double energy = 0;
  for (std::size_t i = 0; i < re.size(); ++i) energy += re[i] * re[i] + im[i] * im[i];
  return 2e-6 * (logm + 1) * std::sqrt(energy) + 1e-7;
}

// The real transform's packed output, unpacked into X(0) .. X(N/2).
Spectrum Unpack(const std::vector<float>& x) {
  const int n = static_cast<int>(x.size());
  if (n == 1) return {x[0]};
  Spectrum out(n / 2 + 1);
  out[0] = x[0];
  out[n / 2] = x[n / 2];
  for (int k = 1; k < n / 2; ++k) out[k] = {x[k], x[n - k]};
  return out;
}

int Reversed(int index, int bits) {
  int r = 0;
  for (int b = 0; b < bits; ++b) r |= ((index >> b) & 1) << (bits - 1 - b);
  return r;
}

void ExpectRealFftMatchesDft(const std::vector<float>& input, int logm) {
  std::vector<float> x = input;
  RealFft(x.data(), logm);
  const std::vector<float> zeros(input.size(), 0.0f);
  const Spectrum expected = Dft(input, zeros);
  const Spectrum actual = Unpack(x);
  const double tolerance = Tolerance(input, zeros, logm);
  for (std::size_t k = 0; k < actual.size(); ++k) {
    EXPECT_NEAR(actual[k].real(), expected[k].real(), tolerance) << "Re X(" << k << ")";
    EXPECT_NEAR(actual[k].imag(), expected[k].imag(), tolerance) << "Im X(" << k << ")";
  }
}

TEST(RealFft, MatchesTheDftForEverySize) {
  for (int logm = kFftMinLogm; logm <= kFftMaxLogm; ++logm) {
    SCOPED_TRACE("logm " + std::to_string(logm));
    ExpectRealFftMatchesDft(Noise(1 << logm, 100 + logm), logm);
  }
}

TEST(RealFft, SmallestSizesByHand) {
  std::vector<float> one = {5.0f};
  RealFft(one.data(), 0);
  EXPECT_EQ(one, (std::vector<float>{5.0f}));

  std::vector<float> two = {3.0f, 5.0f};
  RealFft(two.data(), 1);
  EXPECT_EQ(two, (std::vector<float>{8.0f, -2.0f}));

  // X = 10, -2 + 2i, -2, -2 - 2i, packed as X0, Re X1, X2, Im X1.
  std::vector<float> four = {1.0f, 2.0f, 3.0f, 4.0f};
  RealFft(four.data(), 2);
  EXPECT_EQ(four, (std::vector<float>{10.0f, -2.0f, -2.0f, 2.0f}));
}

TEST(RealFft, PureTonesLandInTheirBins) {
  // A cosine and a sine on bin k give N/2 in the real and minus N/2 in the imaginary part there,
  // and nothing elsewhere; this pins the sign of the imaginary parts at every position.
  constexpr int kLogm = 6;
  constexpr int kN = 1 << kLogm;
  for (int bin = 1; bin < kN / 2; ++bin) {
    SCOPED_TRACE("bin " + std::to_string(bin));
    std::vector<float> x(kN);
    for (int t = 0; t < kN; ++t) {
      const double phi = 2.0 * std::numbers::pi * bin * t / kN;
      x[t] = static_cast<float>(std::cos(phi) + std::sin(phi));
    }
    RealFft(x.data(), kLogm);
    const Spectrum spectrum = Unpack(x);
    for (int k = 0; k <= kN / 2; ++k) {
      const std::complex<double> expected = k == bin ? std::complex<double>(kN / 2, -kN / 2) : 0.0;
      EXPECT_NEAR(spectrum[k].real(), expected.real(), 1e-4) << k;
      EXPECT_NEAR(spectrum[k].imag(), expected.imag(), 1e-4) << k;
    }
  }
}

TEST(SplitRadixFft, MatchesTheDftInBitReversedOrder) {
  for (int logm = kFftMinLogm; logm <= kFftMaxLogm; ++logm) {
    SCOPED_TRACE("logm " + std::to_string(logm));
    const int n = 1 << logm;
    const std::vector<float> inRe = Noise(n, 200 + logm);
    const std::vector<float> inIm = Noise(n, 300 + logm);
    std::vector<float> re = inRe;
    std::vector<float> im = inIm;
    SplitRadixFft(re.data(), im.data(), logm);
    const Spectrum expected = Dft(inRe, inIm);
    const double tolerance = Tolerance(inRe, inIm, logm);
    for (int p = 0; p < n; ++p) {
      const int k = Reversed(p, logm);
      EXPECT_NEAR(re[p], expected[k].real(), tolerance) << "Re X(" << k << ")";
      EXPECT_NEAR(im[p], expected[k].imag(), tolerance) << "Im X(" << k << ")";
    }
  }
}

TEST(BitReverse, MovesEveryIndexToItsMirrorImageAndBack) {
  // Ascending and then descending sizes, so the seed table is rebuilt at every step.
  std::vector<int> sizes;
  for (int logm = kFftMinLogm; logm <= kFftMaxLogm; ++logm) sizes.push_back(logm);
  for (int logm = kFftMaxLogm; logm >= kFftMinLogm; --logm) sizes.push_back(logm);
  for (int logm : sizes) {
    SCOPED_TRACE("logm " + std::to_string(logm));
    const int n = 1 << logm;
    std::vector<float> original(n);
    for (int i = 0; i < n; ++i) original[i] = static_cast<float>(i);
    std::vector<float> x = original;
    BitReverse(x.data(), logm);
    for (int i = 0; i < n; ++i) ASSERT_EQ(x[i], static_cast<float>(Reversed(i, logm))) << i;
    BitReverse(x.data(), logm);
    EXPECT_EQ(x, original);
  }
}

TEST(FftThreads, ConcurrentFirstUsesAgree) {
  // Several threads build the tables of every size at once; each must see complete tables.
  constexpr int kThreads = 4;
  std::vector<std::vector<std::vector<float>>> results(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &results] {
      for (int step = 0; step <= kFftMaxLogm; ++step) {
        // Each thread walks the sizes in a different order.
        const int logm = (t % 2 == 0) ? kFftMaxLogm - step : step;
        std::vector<float> x = Noise(1 << logm, 400 + logm);
        std::vector<float> y = Noise(1 << logm, 500 + logm);
        if (t < 2) {
          RealFft(x.data(), logm);
        } else {
          SplitRadixFft(x.data(), y.data(), logm);
          BitReverse(x.data(), logm);
          x.insert(x.end(), y.begin(), y.end());
        }
        results[t].push_back(x);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  // Threads 0 and 1, and 2 and 3, computed the same transforms in opposite orders.
  for (int step = 0; step <= kFftMaxLogm; ++step) {
    EXPECT_EQ(results[0][step], results[1][kFftMaxLogm - step]) << step;
    EXPECT_EQ(results[2][step], results[3][kFftMaxLogm - step]) << step;
  }
  ExpectRealFftMatchesDft(Noise(2048, 400 + 11), 11);
  std::vector<float> fresh = Noise(2048, 400 + 11);
  RealFft(fresh.data(), 11);
  EXPECT_EQ(results[0][0], fresh);
}

// The message goes to standard output; the death test sees only standard error, so the child
// sends one to the other before it calls the routine, after flushing what it printed before.
template <class Call>
void RedirectedCall(Call call) {
  std::fflush(stdout);
  dup2(STDERR_FILENO, STDOUT_FILENO);
  call();
}

TEST(FftDeathTest, SizesOutOfBoundsEndTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::vector<float> re(1 << kFftMaxLogm);
  std::vector<float> im(1 << kFftMaxLogm);
  for (int logm : {-1, kFftMaxLogm + 1}) {
    SCOPED_TRACE("logm " + std::to_string(logm));
    const std::string bounds = "logm = " + std::to_string(logm) + " is out of bounds \\[0, 11\\]";
    EXPECT_EXIT(RedirectedCall([&] { RealFft(re.data(), logm); }), testing::ExitedWithCode(1),
                "^Error : RSFFT : " + bounds + "\n$");
    EXPECT_EXIT(RedirectedCall([&] { SplitRadixFft(re.data(), im.data(), logm); }),
                testing::ExitedWithCode(1), "^Error : SRFFT : " + bounds + "\n$");
    EXPECT_EXIT(RedirectedCall([&] { BitReverse(re.data(), logm); }), testing::ExitedWithCode(1),
                "^Error : BITREV : " + bounds + "\n$");
  }
}

}  // namespace
}  // namespace kdsp::display
