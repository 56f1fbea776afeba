// SPDX-License-Identifier: GPL-3.0-or-later
// Marks a fixed text the user may see, in code that does not use Qt, for Qt's translation tools:
// lupdate reads KDSP_TRANSLATE_NOOP as it reads QT_TRANSLATE_NOOP (the build passes it
// -tr-function-alias), and the window that shows the text translates it in the context given.
// The text itself stays the English source, so logs, scripts and tests see one wording.
#pragma once

#define KDSP_TRANSLATE_NOOP(context, text) text

namespace kdsp::core {

// The context of every text that reaches the user through core::UserPrompts: messages,
// questions, input boxes and file dialogs translate their texts in it.
inline constexpr char kMessageContext[] = "Messages";

}  // namespace kdsp::core
