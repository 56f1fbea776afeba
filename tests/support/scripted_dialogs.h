// User dialogs answered by a script: queued answers for questions, input boxes and file
// choices, and a record of every message and question.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "settings/user_dialogs.h"

namespace kdsp::testing {

class ScriptedDialogs : public settings::UserDialogs {
 public:
  void showMessage(std::string_view text) override { messages.emplace_back(text); }
  bool askYesNo(std::string_view, std::string_view question) override {
    questions.emplace_back(question);
    if (yesNo.empty()) return false;
    const bool answer = yesNo.front();
    yesNo.pop_front();
    return answer;
  }
  std::optional<std::string> askText(std::string_view, std::string_view prompt,
                                     std::string_view) override {
    questions.emplace_back(prompt);
    return next(texts);
  }
  std::optional<std::string> openFile(std::string_view) override { return next(paths); }
  std::optional<std::string> saveFile(std::string_view, std::string_view) override {
    return next(paths);
  }
  std::optional<std::string> chooseFolder(std::string_view title) override {
    questions.emplace_back(title);
    return next(paths);
  }
  void setBusy(bool busy) override { busyChanges.push_back(busy); }

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<bool> yesNo;                         // answers to yes/no questions; No when empty
  std::deque<std::optional<std::string>> texts;   // input-box answers; cancel when empty
  std::deque<std::optional<std::string>> paths;   // file and folder choices; cancel when empty
  std::vector<bool> busyChanges;

 private:
  static std::optional<std::string> next(std::deque<std::optional<std::string>>& queue) {
    if (queue.empty()) return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace kdsp::testing
