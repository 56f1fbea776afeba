// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window's SETTINGS section shows: which of the two working settings (A or B) is
// live, where the live settings came from, and whether they were modified since.
#pragma once

#include <string>

namespace kdsp::app {

struct SettingsStatus {
  int liveSide = 0;    // 0 A, 1 B
  std::string origin;  // "Slot 3", "karaoke.aex", "Factory", "From processor"; empty shows none
  bool modified = false;

  friend bool operator==(const SettingsStatus&, const SettingsStatus&) = default;
};

}  // namespace kdsp::app
