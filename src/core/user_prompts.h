// SPDX-License-Identifier: GPL-3.0-or-later
// How the program's working parts talk to the user: messages, yes/no questions and input boxes.
// The device link, the settings commands and the analyser ask through it; the program answers
// through its windows, tests through a scripted implementation.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kdsp::core {

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  // A message box with a fixed text.
  virtual void showMessage(std::string_view text) = 0;
  // A Yes/No question; true for Yes.
  virtual bool askYesNo(std::string_view caption, std::string_view question) = 0;
  // The same question without waiting for the answer: the call returns at once, the question
  // may stay open while the event loop goes on, and answered gets the answer (true for Yes)
  // once, possibly before the call returns. A question still open when the prompts object or
  // its window goes is never answered.
  virtual void askYesNoAsync(std::string_view caption, std::string_view question,
                             std::function<void(bool yes)> answered) = 0;
  // An input box; nothing when the user cancels.
  virtual std::optional<std::string> askText(std::string_view caption, std::string_view prompt,
                                             std::string_view initialText) = 0;
};

}  // namespace kdsp::core
