// Committing a typed whole number to a fader.
#include "skin/commit_int_range.h"

#include <charconv>
#include <string>

#include "skin/img_roller.h"

namespace kdsp::skin {

std::optional<long> ParseBoxInteger(std::string_view text) {
  long value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [at, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || at != end || begin == end) return std::nullopt;
  return value;
}

void CommitIntRange(void* owner, BoxText& text) {
  ImgRoller& roller = *static_cast<ImgRoller*>(owner);
  const auto typed = ParseBoxInteger(BoxTextView(text));
  if (typed && *typed >= roller.min && *typed <= roller.max) {
    roller.value = static_cast<std::int32_t>(*typed);
    roller.fireChange();
    return;
  }
  SetBoxText(text, std::to_string(roller.value));
}

}  // namespace kdsp::skin
