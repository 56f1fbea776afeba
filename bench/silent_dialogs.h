// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs for benchmarks: every question is answered No and every choice is cancelled, so no
// modal box ever stops a timed run.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/user_dialogs.h"

namespace kdsp::bench {

class SilentDialogs : public settings::UserDialogs {
 public:
  void showMessage(std::string_view text) override { lastMessage = text; }
  bool askYesNo(std::string_view, std::string_view) override { return false; }
  void askYesNoAsync(std::string_view, std::string_view,
                     std::function<void(bool yes)> answered) override {
    answered(false);
  }
  std::optional<std::string> askText(std::string_view, std::string_view,
                                     std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> openFile(std::string_view) override { return std::nullopt; }
  std::optional<std::string> saveFile(std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> chooseFolder(std::string_view) override { return std::nullopt; }
  void setBusy(bool) override {}

  std::string lastMessage;  // what the program last told the user, to explain a failed run
};

}  // namespace kdsp::bench
