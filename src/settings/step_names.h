// SPDX-License-Identifier: GPL-3.0-or-later
// The names of the steps of the edit history, as the Undo and Redo items show them: a pattern
// with the values filled in by core::FillIn, found again to show the name in the user's
// language (app/composed_messages.cpp lists the patterns). A gesture on a control is named by
// the control's legend, which stays as the panel prints it.
#pragma once

#include <string_view>

#include "core/translatable.h"

namespace kdsp::settings::step {

inline constexpr std::string_view kEdit = KDSP_TRANSLATE_NOOP("Messages", "Edit");
inline constexpr std::string_view kLoadFile = KDSP_TRANSLATE_NOOP("Messages", "Load %1");
// %1 is a slot's step name: kNumberedSlot or the caption of a named slot.
inline constexpr std::string_view kRecallSlot = KDSP_TRANSLATE_NOOP("Messages", "Recall %1");
inline constexpr std::string_view kNumberedSlot = KDSP_TRANSLATE_NOOP("Messages", "slot %1");
inline constexpr std::string_view kImportFilters =
    KDSP_TRANSLATE_NOOP("Messages", "Import Filters %1");
inline constexpr std::string_view kCopySide = KDSP_TRANSLATE_NOOP("Messages", "Copy %1 to %2");
// What the phone remote changed: one field by its name, or the first and how many more.
inline constexpr std::string_view kPhoneField = KDSP_TRANSLATE_NOOP("Messages", "Phone %1");
inline constexpr std::string_view kPhoneFields =
    KDSP_TRANSLATE_NOOP("Messages", "Phone %1 and %2 more");

}  // namespace kdsp::settings::step
