// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of a filter import: why a filter list cannot be put on a page, and the notes and
// summary of its report. Patterns are filled in with core::FillIn; the program finds them again
// to show the message in the user's language (app/composed_messages.cpp lists them).
#pragma once

#include <string_view>

#include "core/translatable.h"

namespace kdsp::display::message {

// The file as a whole; a fault inside it follows its name: "<file>: line 3: … in "…"".
inline constexpr std::string_view kFilterFileTooLong =
    KDSP_TRANSLATE_NOOP("Messages", "%1: too long for a filter list");
inline constexpr std::string_view kFilterFileFault = KDSP_TRANSLATE_NOOP("Messages", "%1: %2");
inline constexpr std::string_view kNoFilters =
    KDSP_TRANSLATE_NOOP("Messages", "no filters found in %1");

// More filters for bands than the page has bands: %1 filters, the page %2, %3 bands. The file
// has more filters than the page bands, so of the four plural forms three can occur.
inline constexpr std::string_view kFiltersForBands =
    KDSP_TRANSLATE_NOOP("Messages", "the file has %1 filters; the %2 page has %3 bands");
inline constexpr std::string_view kFiltersForOneBand =
    KDSP_TRANSLATE_NOOP("Messages", "the file has %1 filters; the %2 page has %3 band");
inline constexpr std::string_view kOneFilterForNoBands =
    KDSP_TRANSLATE_NOOP("Messages", "the file has %1 filter; the %2 page has %3 bands");

// A filter the page cannot take.
inline constexpr std::string_view kFrequencyOutside =
    KDSP_TRANSLATE_NOOP("Messages", "Fc %1 Hz is outside the processor's %2 - %3 Hz");
inline constexpr std::string_view kGainOutside =
    KDSP_TRANSLATE_NOOP("Messages", "gain %1 dB is outside the bands' -24.0 to +12.0 dB");
inline constexpr std::string_view kQOutside =
    KDSP_TRANSLATE_NOOP("Messages", "Q %1 is outside the bands' %2 - %3");
inline constexpr std::string_view kLowShelfTooHigh =
    KDSP_TRANSLATE_NOOP("Messages", "a low shelf reaches up to 4000 Hz only");
inline constexpr std::string_view kHighShelfTooLow =
    KDSP_TRANSLATE_NOOP("Messages", "a high shelf reaches down to 1000 Hz only");
inline constexpr std::string_view kSlopeTooSteep =
    KDSP_TRANSLATE_NOOP("Messages", "a slope of %1 dB/oct is too steep for this gain");
// %2 is kLowPass or kHighPass.
inline constexpr std::string_view kNoPassFilter =
    KDSP_TRANSLATE_NOOP("Messages", "the %1 page has no %2 filter");
inline constexpr std::string_view kSecondPassFilter =
    KDSP_TRANSLATE_NOOP("Messages", "a second %1 filter; the page has one");
inline constexpr std::string_view kLowPass = KDSP_TRANSLATE_NOOP("Messages", "low-pass");
inline constexpr std::string_view kHighPass = KDSP_TRANSLATE_NOOP("Messages", "high-pass");
inline constexpr std::string_view kResponseNotComputable =
    KDSP_TRANSLATE_NOOP("Messages", "the response of this filter cannot be computed");

// The report of an import: a line per filter, then the notes and the deviation.
inline constexpr std::string_view kReportLine =
    KDSP_TRANSLATE_NOOP("Messages", "line %1: %2 -> %3");
inline constexpr std::string_view kLineNotRead =
    KDSP_TRANSLATE_NOOP("Messages", "line %1: not a filter or preamp line, not read: \"%2\"");
inline constexpr std::string_view kPreampNotApplied = KDSP_TRANSLATE_NOOP(
    "Messages",
    "line %1: preamp %2 dB is not applied: the page has no overall gain of its own (set the level "
    "by hand)");
inline constexpr std::string_view kMicSetsLinked = KDSP_TRANSLATE_NOOP(
    "Messages",
    "the two mic sets are linked: the first set is copied over this one when the settings go to "
    "the processor");
inline constexpr std::string_view kLargestDeviation =
    KDSP_TRANSLATE_NOOP("Messages", "largest deviation: %1 dB over 20 Hz - 20 kHz");

}  // namespace kdsp::display::message
