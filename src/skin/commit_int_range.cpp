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
  SetBoxText(text, std::to_string(roller.value));
  return false;
}

}  // namespace kdsp::skin
