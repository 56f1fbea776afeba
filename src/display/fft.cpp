// SPDX-License-Identifier: GPL-3.0-or-later
// Split-radix fast Fourier transforms, decimation in frequency, in place. The real transform
// splits off the even bins as a real transform of half the size and the odd bins as a complex
// transform of a quarter of the size; both leave their bins in bit-reversed order, which one
// permutation of the whole array puts right at the end.
#include "display/fft.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>
#include <numbers>
#include <utility>

namespace kdsp::display {
namespace {

constexpr int kLevels = kFftMaxLogm + 1;
constexpr float kSqrtHalf = static_cast<float>(std::numbers::sqrt2 / 2);

// Below 16 points every rotation is trivial or by an odd multiple of pi/4, and complex transforms
// up to 16 points are written out in full: neither needs a table.
constexpr int kFirstTableLogm = 4;
constexpr int kLargestSmallComplexLogm = 4;

[[noreturn]] void Abort(const char* routine, const char* what) {
  std::printf("Error : %s : %s\n", routine, what);
  std::fflush(stdout);
  std::exit(1);
}

[[noreturn]] void OutOfBounds(const char* routine, int logm) {
  std::printf("Error : %s : logm = %d is out of bounds [%d, %d]\n", routine, logm, kFftMinLogm,
              kFftMaxLogm);
  std::fflush(stdout);
  std::exit(1);
}

// Coefficients of the rotation by e^(-i phi) with three multiplications:
// (re + i im) e^(-i phi) = (k + im (sin - cos)) + i (k - re (sin + cos)), k = cos (re + im).
// Entry j stands for phi = multiple * 2 pi i / N with i = j + 1 below N/8 and i = j + 2 above it:
// i = 0 needs no rotation and i = N/8 only a sum, a difference and a scaling by sqrt(1/2).
struct Rotations {
  const float* cosine = nullptr;
  const float* negSinPlusCos = nullptr;  // -(sin + cos)
  const float* sinMinusCos = nullptr;    // sin - cos
};

struct Level {
  std::once_flag thetaBuilt;
  std::once_flag theta3Built;
  Rotations theta;   // phi = 2 pi i / N: the real and the complex transform
  Rotations theta3;  // phi = 3 * 2 pi i / N: the complex transform only
};

// Built on first use and kept until the process ends; a transform reads its levels only after the
// call_once of its own size has published them.
constinit Level gLevels[kLevels];
constinit std::once_flag gRealReady[kLevels];
constinit std::once_flag gComplexReady[kLevels];

Rotations BuildRotations(int logm, int multiple, const char* routine) {
  const int n = 1 << logm;
  const int count = n / 4 - 2;
  float* block = new (std::nothrow) float[3 * count];
  if (block == nullptr) Abort(routine, "not enough memory for cosine tables.");
  const Rotations table{block, block + count, block + 2 * count};
  float* cosine = block;
  float* negSinPlusCos = block + count;
  float* sinMinusCos = block + 2 * count;
  for (int i = 1, j = 0; i < n / 4; ++i) {
    if (i == n / 8) continue;
    const double phi = 2.0 * std::numbers::pi * multiple * i / n;
    const double c = std::cos(phi);
    const double s = std::sin(phi);
    cosine[j] = static_cast<float>(c);
    negSinPlusCos[j] = static_cast<float>(-(s + c));
    sinMinusCos[j] = static_cast<float>(s - c);
    ++j;
  }
  return table;
}

void EnsureComplexTables(int logm, const char* routine) {
  std::call_once(gComplexReady[logm], [logm, routine] {
    for (int m = kLargestSmallComplexLogm + 1; m <= logm; ++m) {
      Level& level = gLevels[m];
      std::call_once(level.thetaBuilt, [&] { level.theta = BuildRotations(m, 1, routine); });
      std::call_once(level.theta3Built, [&] { level.theta3 = BuildRotations(m, 3, routine); });
    }
  });
}

void EnsureRealTables(int logm) {
  std::call_once(gRealReady[logm], [logm] {
    for (int m = kFirstTableLogm; m <= logm; ++m) {
      Level& level = gLevels[m];
      std::call_once(level.thetaBuilt, [&] { level.theta = BuildRotations(m, 1, "RSFFT"); });
    }
    if (logm - 2 > kLargestSmallComplexLogm) EnsureComplexTables(logm - 2, "RSFFT");
  });
}

inline void Rotate(float re, float im, float cosine, float negSinPlusCos, float sinMinusCos,
                   float& outRe, float& outIm) {
  const float k = cosine * (re + im);
  outRe = k + im * sinMinusCos;
  outIm = k + re * negSinPlusCos;
}

// ---- Complex transform ----------------------------------------------------------------------
// One split-radix butterfly over the quarters x0..x3 of a block: x0 += x2, x1 += x3, and with
// a = x0 - x2, b = x1 - x3 the unrotated outputs a - ib (for the third quarter) and a + ib (for
// the fourth).
inline void ComplexSplit(float& r0, float& i0, float& r1, float& i1, float r2, float i2, float r3,
                         float i3, float& minusRe, float& minusIm, float& plusRe, float& plusIm) {
  const float ar = r0 - r2;
  const float ai = i0 - i2;
  const float br = r1 - r3;
  const float bi = i1 - i3;
  r0 += r2;
  i0 += i2;
  r1 += r3;
  i1 += i3;
  minusRe = ar + bi;
  minusIm = ai - br;
  plusRe = ar - bi;
  plusIm = ai + br;
}

// Butterfly k of a run of butterflies, every array advanced to the run's first butterfly and to
// its first table entry.
inline void ComplexButterflyAt(float* r0, float* r1, float* r2, float* r3, float* i0, float* i1,
                               float* i2, float* i3, const float* c1, const float* n1,
                               const float* d1, const float* c3, const float* n3, const float* d3,
                               unsigned k) {
  float mr, mi, pr, pi;
  ComplexSplit(r0[k], i0[k], r1[k], i1[k], r2[k], i2[k], r3[k], i3[k], mr, mi, pr, pi);
  Rotate(mr, mi, c1[k], n1[k], d1[k], r2[k], i2[k]);
  Rotate(pr, pi, c3[k], n3[k], d3[k], r3[k], i3[k]);
}

// Butterflies first .. first + 4 groups - 1 of a run: with a count it knows to be a multiple of
// four the compiler turns the loop into vector code with no scalar remainder. It is a call of its
// own because the compiler trusts the restrict qualifiers, which rule out overlap of the
// quarters, only on a function's parameters.
[[gnu::noinline]] void ComplexGroups(float* __restrict r0, float* __restrict r1,
                                     float* __restrict r2, float* __restrict r3,
                                     float* __restrict i0, float* __restrict i1,
                                     float* __restrict i2, float* __restrict i3,
                                     const float* __restrict c1, const float* __restrict n1,
                                     const float* __restrict d1, const float* __restrict c3,
                                     const float* __restrict n3, const float* __restrict d3,
                                     unsigned first, unsigned groups) {
  for (unsigned k = 0; k < 4 * groups; ++k)
    ComplexButterflyAt(r0, r1, r2, r3, i0, i1, i2, i3, c1, n1, d1, c3, n3, d3, first + k);
}

// Butterflies n = first .. first + count - 1 of a block whose quarters are q apart, rotated by
// table entries tableFirst onwards: a short head one at a time, the rest in groups of four.
void ComplexRun(float* re, float* im, int q, int first, int count, const Level& level,
                int tableFirst) {
  float* r0 = re + first;
  float* r1 = r0 + q;
  float* r2 = r1 + q;
  float* r3 = r2 + q;
  float* i0 = im + first;
  float* i1 = i0 + q;
  float* i2 = i1 + q;
  float* i3 = i2 + q;
  const float* c1 = level.theta.cosine + tableFirst;
  const float* n1 = level.theta.negSinPlusCos + tableFirst;
  const float* d1 = level.theta.sinMinusCos + tableFirst;
  const float* c3 = level.theta3.cosine + tableFirst;
  const float* n3 = level.theta3.negSinPlusCos + tableFirst;
  const float* d3 = level.theta3.sinMinusCos + tableFirst;
  const unsigned head = static_cast<unsigned>(count) % 4;
  for (unsigned k = 0; k < head; ++k)
    ComplexButterflyAt(r0, r1, r2, r3, i0, i1, i2, i3, c1, n1, d1, c3, n3, d3, k);
  if (static_cast<unsigned>(count) > head) {
    ComplexGroups(r0, r1, r2, r3, i0, i1, i2, i3, c1, n1, d1, c3, n3, d3, head,
                  static_cast<unsigned>(count) / 4);
  }
}

void ComplexButterflies(float* re, float* im, int q, const Level& level) {
  float mr, mi, pr, pi;
  ComplexSplit(re[0], im[0], re[q], im[q], re[2 * q], im[2 * q], re[3 * q], im[3 * q], mr, mi, pr,
               pi);
  re[2 * q] = mr;
  im[2 * q] = mi;
  re[3 * q] = pr;
  im[3 * q] = pi;

  // The eighth point: rotations by pi/4 and 3 pi/4.
  const int e = q / 2;
  ComplexSplit(re[e], im[e], re[q + e], im[q + e], re[2 * q + e], im[2 * q + e], re[3 * q + e],
               im[3 * q + e], mr, mi, pr, pi);
  re[2 * q + e] = (mr + mi) * kSqrtHalf;
  im[2 * q + e] = (mi - mr) * kSqrtHalf;
  re[3 * q + e] = (pi - pr) * kSqrtHalf;
  im[3 * q + e] = -(pr + pi) * kSqrtHalf;

  if (e > 1) {
    ComplexRun(re, im, q, 1, e - 1, level, 0);
    ComplexRun(re, im, q, e + 1, e - 1, level, e - 1);
  }
}

// ---- Small complex transforms, written out in full ----------------------------------------
// Unrolled at compile time and entered through restrict-qualified pointers, so the compiler keeps
// the block in registers instead of reloading values after every store for fear that re and im
// overlap.

// cos(2 pi j / 16); sin(2 pi j / 16) is entry (j + 12) mod 16.
constexpr float kCos16[16] = {
    1.0f,  0.92387953251128674f,  0.70710678118654752f,  0.38268343236508977f,
    0.0f,  -0.38268343236508977f, -0.70710678118654752f, -0.92387953251128674f,
    -1.0f, -0.92387953251128674f, -0.70710678118654752f, -0.38268343236508977f,
    0.0f,  0.38268343236508977f,  0.70710678118654752f,  0.92387953251128674f};

// (re + i im) e^(-2 pi i j / 16) for a step j known when compiling.
template <int j>
inline void RotateSixteenth(float re, float im, float& outRe, float& outIm) {
  constexpr int step = j % 16;
  if constexpr (step == 0) {
    outRe = re;
    outIm = im;
  } else if constexpr (step == 2) {
    outRe = (re + im) * kSqrtHalf;
    outIm = (im - re) * kSqrtHalf;
  } else if constexpr (step == 6) {
    outRe = (im - re) * kSqrtHalf;
    outIm = -(re + im) * kSqrtHalf;
  } else {
    constexpr float c = kCos16[step];
    constexpr float s = kCos16[(step + 12) % 16];
    outRe = re * c + im * s;
    outIm = im * c - re * s;
  }
}

template <int m>
[[gnu::always_inline]] inline void SmallComplex(float* re, float* im) {
  if constexpr (m == 2) {
    const float r = re[0] - re[1];
    const float i = im[0] - im[1];
    re[0] += re[1];
    im[0] += im[1];
    re[1] = r;
    im[1] = i;
  } else if constexpr (m >= 4) {
    constexpr int q = m / 4;
    [&]<int... n>(std::integer_sequence<int, n...>) {
      (
          [&] {
            float mr, mi, pr, pi;
            ComplexSplit(re[n], im[n], re[q + n], im[q + n], re[2 * q + n], im[2 * q + n],
                         re[3 * q + n], im[3 * q + n], mr, mi, pr, pi);
            RotateSixteenth<n * 16 / m>(mr, mi, re[2 * q + n], im[2 * q + n]);
            RotateSixteenth<3 * n * 16 / m>(pr, pi, re[3 * q + n], im[3 * q + n]);
          }(),
          ...);
    }
    (std::make_integer_sequence<int, q>{});
    SmallComplex<m / 2>(re, im);
    SmallComplex<m / 4>(re + m / 2, im + m / 2);
    SmallComplex<m / 4>(re + 3 * m / 4, im + 3 * m / 4);
  }
}

template <int m>
void SmallComplexFft(float* __restrict re, float* __restrict im) {
  SmallComplex<m>(re, im);
}

void ComplexCore(float* re, float* im, int logm) {
  switch (logm) {
    case 0:
      return;
    case 1:
      return SmallComplexFft<2>(re, im);
    case 2:
      return SmallComplexFft<4>(re, im);
    case 3:
      return SmallComplexFft<8>(re, im);
    case 4:
      return SmallComplexFft<16>(re, im);
    default:
      break;
  }
  const int q = 1 << (logm - 2);
  ComplexButterflies(re, im, q, gLevels[logm]);
  ComplexCore(re, im, logm - 1);
  ComplexCore(re + 2 * q, im + 2 * q, logm - 2);
  ComplexCore(re + 3 * q, im + 3 * q, logm - 2);
}

// ---- Real transform -------------------------------------------------------------------------
// One butterfly of the real block: x0 += x2, x1 += x3, and a - ib with a = x0 - x2, b = x1 - x3.
inline void RealSplit(float& x0, float& x1, float x2, float x3, float& re, float& im) {
  re = x0 - x2;
  im = x3 - x1;
  x0 += x2;
  x1 += x3;
}

inline void RealButterflyAt(float* x0, float* x1, float* x2, float* x3, const float* c,
                            const float* n, const float* d, unsigned k) {
  float re, im;
  RealSplit(x0[k], x1[k], x2[k], x3[k], re, im);
  Rotate(re, im, c[k], n[k], d[k], x2[k], x3[k]);
}

// As ComplexGroups.
[[gnu::noinline]] void RealGroups(float* __restrict x0, float* __restrict x1, float* __restrict x2,
                                  float* __restrict x3, const float* __restrict c,
                                  const float* __restrict n, const float* __restrict d,
                                  unsigned first, unsigned groups) {
  for (unsigned k = 0; k < 4 * groups; ++k) RealButterflyAt(x0, x1, x2, x3, c, n, d, first + k);
}

// As ComplexRun.
void RealRun(float* x, int q, int first, int count, const Rotations& theta, int tableFirst) {
  float* x0 = x + first;
  float* x1 = x0 + q;
  float* x2 = x1 + q;
  float* x3 = x2 + q;
  const float* c = theta.cosine + tableFirst;
  const float* n = theta.negSinPlusCos + tableFirst;
  const float* d = theta.sinMinusCos + tableFirst;
  const unsigned head = static_cast<unsigned>(count) % 4;
  for (unsigned k = 0; k < head; ++k) RealButterflyAt(x0, x1, x2, x3, c, n, d, k);
  if (static_cast<unsigned>(count) > head)
    RealGroups(x0, x1, x2, x3, c, n, d, head, static_cast<unsigned>(count) / 4);
}

void RealButterflies(float* x, int q, const Rotations& theta) {
  float re, im;
  RealSplit(x[0], x[q], x[2 * q], x[3 * q], re, im);
  x[2 * q] = re;
  x[3 * q] = im;

  const int e = q / 2;
  RealSplit(x[e], x[q + e], x[2 * q + e], x[3 * q + e], re, im);
  x[2 * q + e] = (re + im) * kSqrtHalf;
  x[3 * q + e] = (im - re) * kSqrtHalf;

  if (e > 1) {
    RealRun(x, q, 1, e - 1, theta, 0);
    RealRun(x, q, e + 1, e - 1, theta, e - 1);
  }
}

void RealCore(float* x, int logm) {
  if (logm == 1) {
    const float d = x[0] - x[1];
    x[0] += x[1];
    x[1] = d;
    return;
  }
  if (logm == 2) {
    float re, im;
    RealSplit(x[0], x[1], x[2], x[3], re, im);
    x[2] = re;
    x[3] = im;
    RealCore(x, 1);
    return;
  }
  const int q = 1 << (logm - 2);
  RealButterflies(x, q, gLevels[logm].theta);
  RealCore(x, logm - 1);
  float* re = x + 2 * q;
  float* im = x + 3 * q;
  ComplexCore(re, im, logm - 2);
  // The quarter transform Z gives X(4l + 1) = Z(l) and, by the symmetry of a real input,
  // X(4l + 3) = conj Z(N/4 - 1 - l). Where the bit-reversal will put a value in the upper half of
  // the spectrum it has to hold an imaginary part instead: the odd positions of the third
  // quarter and their mirror images in the fourth trade places.
  for (int k = 1; k < q; k += 2) {
    const int mirror = q - 1 - k;
    const float t = re[k];
    re[k] = -im[k];
    im[k] = im[mirror];
    im[mirror] = t;
  }
}

// Bit reversal: an index is split into a high and a low part of half the bits each and, for an
// odd count, one middle bit that stays. The seed table reverses a part.
constexpr int kSeedBits = kFftMaxLogm / 2;
struct SeedTable {
  int logm = -1;
  std::array<int, 1 << kSeedBits> seed{};
};

}  // namespace

void BitReverse(float* x, int logm) {
  if (logm < kFftMinLogm || logm > kFftMaxLogm) OutOfBounds("BITREV", logm);
  thread_local SeedTable table;
  const int half = logm / 2;
  const int parts = 1 << half;
  if (table.logm != logm) {
    for (int i = 0; i < parts; ++i) {
      int r = 0;
      for (int b = 0; b < half; ++b) r |= ((i >> b) & 1) << (half - 1 - b);
      table.seed[i] = r;
    }
    table.logm = logm;
  }
  const int highShift = logm - half;
  const int middles = 1 << (logm - 2 * half);
  // Index (high, middle, low) pairs with (seed[low], middle, seed[high]); it is the smaller of
  // the two exactly when high < seed[low], so each pair is swapped once and nothing is tested.
  const int stride = 1 << highShift;
  for (int middle = 0; middle < middles; ++middle) {
    float* y = x + (middle << half);
    for (int low = 1; low < parts; ++low) {
      const int seedLow = table.seed[low];
      float* a = y + low;
      float* partner = y + (seedLow << highShift);
      for (int high = 0; high < seedLow; ++high, a += stride) {
        float& b = partner[table.seed[high]];
        const float t = *a;
        *a = b;
        b = t;
      }
    }
  }
}

void SplitRadixFft(float* re, float* im, int logm) {
  if (logm < kFftMinLogm || logm > kFftMaxLogm) OutOfBounds("SRFFT", logm);
  if (logm > kLargestSmallComplexLogm) EnsureComplexTables(logm, "SRFFT");
  ComplexCore(re, im, logm);
}

void RealFft(float* x, int logm) {
  if (logm < kFftMinLogm || logm > kFftMaxLogm) OutOfBounds("RSFFT", logm);
  if (logm == 0) return;
  if (logm >= kFirstTableLogm) EnsureRealTables(logm);
  RealCore(x, logm);
  BitReverse(x, logm);
}

}  // namespace kdsp::display
