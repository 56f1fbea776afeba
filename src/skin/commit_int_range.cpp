// SPDX-License-Identifier: GPL-3.0-or-later
// Committing a typed whole number to a fader.
#include "skin/commit_int_range.h"

#include <string>

#include "skin/img_roller.h"

namespace kdsp::skin {

bool CommitIntRange(void* owner, BoxText& text) {
  ImgRoller& roller = *static_cast<ImgRoller*>(owner);
  const auto typed = ParseBoxInteger(BoxTextView(text));
  if (typed && *typed >= roller.min && *typed <= roller.max) {
    roller.value = static_cast<std::int32_t>(*typed);
    roller.fireChange();
    return true;
  }
  // The box shows the value again as its fader formats it, unit and all.
  if (roller.formatter == nullptr) {
    SetBoxText(text, std::to_string(roller.value));
    return false;
  }
  roller.refreshText();
  text = roller.valueBox.text;
  return false;
}

}  // namespace kdsp::skin
