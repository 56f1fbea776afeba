// SPDX-License-Identifier: GPL-3.0-or-later
// Test doubles for the device link: a transport that records what it is given, and prompts
// that remember what they were told and may hold questions open.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/user_prompts.h"
#include "device/transport.h"

namespace kdsp::device::testing {

class RecordingTransport : public Transport {
 public:
  TransmitResult transmit(const EncodedRecord& record) override {
    texts.emplace_back(record.textView());
    return result;
  }
  TransmitResult result = TransmitResult::kHandedOver;
  std::vector<std::string> texts;  // each record's text form, CR LF included
};

class RecordingPrompts : public core::UserPrompts {
 public:
  void showMessage(std::string_view text) override { messages.emplace_back(text); }
  bool askYesNo(std::string_view, std::string_view question) override {
    questions.emplace_back(question);
    return answerYes;
  }
  void askYesNoAsync(std::string_view, std::string_view question,
                     std::function<void(bool yes)> answered) override {
    questions.emplace_back(question);
    if (holdQuestions)
      heldQuestions.push_back(std::move(answered));
    else
      answered(answerYes);
  }
  // Answers the oldest question held open; false when none is.
  bool answerHeldQuestion(bool yes) {
    if (heldQuestions.empty()) return false;
    const auto answered = std::move(heldQuestions.front());
    heldQuestions.pop_front();
    answered(yes);
    return true;
  }
  std::optional<std::string> askText(std::string_view, std::string_view prompt,
                                     std::string_view) override {
    questions.emplace_back(prompt);
    return textAnswer;
  }
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  bool answerYes = true;
  std::optional<std::string> textAnswer;
  bool holdQuestions = false;  // questions asked without waiting stay open until answered
  std::deque<std::function<void(bool yes)>> heldQuestions;
};

// The text form of a record without its CR LF.
inline std::string Line(const std::string& text) {
  return text.substr(0, text.size() - 2);
}

}  // namespace kdsp::device::testing
