// SPDX-License-Identifier: GPL-3.0-or-later
// The Bessel frequency correction: the factor that moves a Bessel filter's corner so that it reads
// -3 dB at its nominal frequency, one entry per direction, order and step from 1 kHz up.
#pragma once

#include <array>
#include <cstdint>

#include "display/filter_design.h"
#include "settings/parameter_block.h"

namespace kdsp::display {

inline constexpr int kBesselSteps = 157;  // steps 203..359
inline constexpr int kBesselBlocks = 2;   // low-pass block first, then high-pass

// Entry d stands for the factor k = 1 + d * 0.0001, indexed [block][order][step - 203].
using BesselCorrectionTable =
    std::array<std::array<std::array<std::uint16_t, kBesselSteps>, kFilterOrders>, kBesselBlocks>;

// The table, computed on first use (safe from any thread) and constant afterwards.
const BesselCorrectionTable& besselCorrectionTable();

// Works the table out afresh: for each entry, the factor (bisected between 1 and 4) at which the
// corrected filter reads -3 dB at its step's frequency.
BesselCorrectionTable computeBesselCorrectionTable();

inline constexpr int besselBlock(bool lowPass) {
  return lowPass ? 0 : 1;
}

// The entry a filter uses: its own direction and order, and its step's row (steps below 1 kHz use
// the 1 kHz row; steps past the top use the top row).
std::uint16_t besselCorrection(const settings::CrossoverFilter& filter);

// The filter's angular frequency with the correction applied: raised for a low-pass filter,
// lowered for a high-pass one.
float besselOmega(const settings::CrossoverFilter& filter);

}  // namespace kdsp::display
