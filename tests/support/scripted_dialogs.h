// SPDX-License-Identifier: GPL-3.0-or-later
// User dialogs answered by a script: queued answers for questions, input boxes and file and
// folder choices, and a record, in order, of everything the user was told and asked. A dialog
// the test did not queue an answer for fails the test. A question asked without waiting is
// answered from the yes/no queue at once, or held open for the test to answer later.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "settings/user_dialogs.h"

namespace kdsp::testing {

class ScriptedDialogs : public settings::UserDialogs {
 public:
  using Answers = std::deque<std::optional<std::string>>;
  using Strings = std::vector<std::string>;

  void showMessage(std::string_view text) override { messages.emplace_back(text); }
  bool askYesNo(std::string_view, std::string_view question) override {
    questions.emplace_back(question);
    if (yesNo.empty()) return false;  // a question nobody scripted is answered No
    const bool answer = yesNo.front();
    yesNo.pop_front();
    return answer;
  }
  void askYesNoAsync(std::string_view caption, std::string_view question,
                     std::function<void(bool yes)> answered) override {
    if (!holdQuestions) return answered(askYesNo(caption, question));
    questions.emplace_back(question);
    heldQuestions.push_back(std::move(answered));
  }
  // Answers the oldest question held open.
  void answerHeldQuestion(bool yes) {
    if (heldQuestions.empty()) {
      ADD_FAILURE() << "no question is open";
      return;
    }
    const auto answered = std::move(heldQuestions.front());
    heldQuestions.pop_front();
    answered(yes);
  }
  std::optional<std::string> askText(std::string_view caption, std::string_view prompt,
                                     std::string_view initial) override {
    inputBoxes.push_back({std::string(caption), std::string(prompt), std::string(initial)});
    return Next(texts);
  }
  std::optional<std::string> openFile(std::string_view filter) override {
    filters.emplace_back(filter);
    return Next(files);
  }
  std::optional<std::string> saveFile(std::string_view filter, std::string_view suffix) override {
    filters.emplace_back(filter);
    suffixes.emplace_back(suffix);
    return Next(files);
  }
  std::optional<std::string> chooseFolder(std::string_view title) override {
    folderTitles.emplace_back(title);
    return Next(folders);
  }
  void setBusy(bool busy) override { busyChanges.push_back(busy); }

  std::deque<bool> yesNo;
  bool holdQuestions = false;  // questions asked without waiting stay open until answered
  std::deque<std::function<void(bool yes)>> heldQuestions;
  Answers texts, files, folders;
  Strings messages, questions, filters, suffixes, folderTitles;
  std::vector<Strings> inputBoxes;  // caption, prompt, initial text
  std::vector<bool> busyChanges;

 private:
  static std::optional<std::string> Next(Answers& queue) {
    if (queue.empty()) {
      ADD_FAILURE() << "a dialog the test did not expect";
      return std::nullopt;
    }
    auto answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace kdsp::testing
