// SPDX-License-Identifier: GPL-3.0-or-later
// The patterns of the settings library's messages that carry values: a file's path, a reason,
// a line of a file. They are filled in with core::FillIn; the program finds them again to show
// the message in the user's language (app/composed_messages.cpp lists them).
#pragma once

#include <string_view>

#include "core/translatable.h"

namespace kdsp::settings::message {

// Writing and reading files.
inline constexpr std::string_view kCantWrite =
    KDSP_TRANSLATE_NOOP("Messages", "Can't write %1: %2");
inline constexpr std::string_view kCantRead = KDSP_TRANSLATE_NOOP("Messages", "Can't read %1");
inline constexpr std::string_view kLineBreakNotStored =
    KDSP_TRANSLATE_NOOP("Messages", "a file name with a line break can't be stored");
inline constexpr std::string_view kLineBreakNotRemembered =
    KDSP_TRANSLATE_NOOP("Messages", "a file name with a line break can't be remembered");
inline constexpr std::string_view kSettingFileTooShort =
    KDSP_TRANSLATE_NOOP("Messages", "Setting file is too short: %1 (%2 bytes, %3 expected)");

// Microphone calibration files; a line's fault is one of the kCalibrationLine… texts.
inline constexpr std::string_view kCalibrationUnreadable =
    KDSP_TRANSLATE_NOOP("Messages", "The calibration file cannot be read: %1");
inline constexpr std::string_view kCalibrationTooLarge =
    KDSP_TRANSLATE_NOOP("Messages", "The calibration file is too large to be one: %1");
inline constexpr std::string_view kCalibrationEmpty =
    KDSP_TRANSLATE_NOOP("Messages", "The calibration file holds no frequency and dB lines.");
inline constexpr std::string_view kCalibrationLine =
    KDSP_TRANSLATE_NOOP("Messages", "Line %1 of the calibration file %2: \"%3\"");
inline constexpr std::string_view kCalibrationLineNotNumbers =
    KDSP_TRANSLATE_NOOP("Messages", "is not a frequency and a level in dB");
inline constexpr std::string_view kCalibrationLineTooWide =
    KDSP_TRANSLATE_NOOP("Messages", "has more than three columns");
inline constexpr std::string_view kCalibrationLineNotAboveZero =
    KDSP_TRANSLATE_NOOP("Messages", "has a frequency not above 0 Hz");
inline constexpr std::string_view kCalibrationLineFrequencyOutside =
    KDSP_TRANSLATE_NOOP("Messages", "has a frequency outside 0.1 Hz - 1 MHz");
inline constexpr std::string_view kCalibrationLineLevelBeyond =
    KDSP_TRANSLATE_NOOP("Messages", "has a level beyond -100 to +100 dB");
inline constexpr std::string_view kCalibrationLineNotRising =
    KDSP_TRANSLATE_NOOP("Messages", "has a frequency not above the line before it");

// Filter lists: a fault is told with the line it is on, "line %1: <fault> in "<line>"".
inline constexpr std::string_view kFilterLine =
    KDSP_TRANSLATE_NOOP("Messages", "line %1: %2 in \"%3\"");
inline constexpr std::string_view kFilterFoundNotOnOff =
    KDSP_TRANSLATE_NOOP("Messages", "expected ON or OFF, found '%1'");
inline constexpr std::string_view kFilterUnknownType =
    KDSP_TRANSLATE_NOOP("Messages", "unknown filter type '%1'");
inline constexpr std::string_view kFilterUnexpectedWord =
    KDSP_TRANSLATE_NOOP("Messages", "unexpected '%1'");
inline constexpr std::string_view kFilterWordTwice =
    KDSP_TRANSLATE_NOOP("Messages", "'%1' given twice");
inline constexpr std::string_view kFilterWordTooLarge =
    KDSP_TRANSLATE_NOOP("Messages", "'%1' is too large");
inline constexpr std::string_view kFilterWordWithoutNumber =
    KDSP_TRANSLATE_NOOP("Messages", "'%1' needs a number");
inline constexpr std::string_view kFilterCommandUnsupported = KDSP_TRANSLATE_NOOP(
    "Messages", "'%1:' is not supported; only Filter and Preamp lines are read");

}  // namespace kdsp::settings::message
