// SPDX-License-Identifier: GPL-3.0-or-later
// Fast Fourier transforms of the spectrum analyser: the split-radix real transform, the complex
// split-radix transform it is built on, and the bit-reversal permutation.
#pragma once

namespace kdsp::display {

// Every routine works in place on 2^logm floats, kFftMinLogm <= logm <= kFftMaxLogm.
inline constexpr int kFftMinLogm = 0;
inline constexpr int kFftMaxLogm = 11;

// Forward transform of N = 2^logm real samples, unnormalised, X(k) = sum x(n) e^(-2 pi i k n / N).
// Afterwards x[0] = Re X(0), x[k] = Re X(k) for k = 1..N/2 and x[N - k] = Im X(k) for
// k = 1..N/2 - 1. The twiddle tables a size needs are built on its first use and then kept, so
// only the first call for a size calls the trigonometric functions. A logm out of range prints
// "Error : RSFFT : ..." on standard output and ends the process with status 1.
void RealFft(float* x, int logm);

// Forward complex transform of 2^logm points, real parts in re and imaginary parts in im. The
// result is left in bit-reversed order: BitReverse both arrays to bring X(k) to index k. A logm
// out of range prints "Error : SRFFT : ..." on standard output and ends the process with status 1.
void SplitRadixFft(float* re, float* im, int logm);

// Swaps x[k] with x[r] for every k, r whose logm-bit indices are each other's mirror image, so
// applying it twice restores the array. The seed table it works from is kept per thread and
// rebuilt only when logm changes. A logm out of range prints "Error : BITREV : ..." on standard
// output and ends the process with status 1.
void BitReverse(float* x, int logm);

}  // namespace kdsp::display
