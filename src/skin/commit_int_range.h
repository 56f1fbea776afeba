// SPDX-License-Identifier: GPL-3.0-or-later
// The commit handler of a fader's value box that takes a typed whole number within the fader's
// scale: accepted, it becomes the fader's value and the change is fired (the typed text stays
// until the next refresh); refused or not a number, the box shows the unchanged value again and
// the handler says so.
#pragma once

#include <optional>
#include <string_view>

#include "skin/control_callbacks.h"
#include "skin/typed_text.h"

namespace kdsp::skin {

// userData is the ImgRoller that owns the box.
bool CommitIntRange(void* roller, BoxText& text);

}  // namespace kdsp::skin
