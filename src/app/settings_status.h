// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window's SETTINGS section shows: which of the two working settings (A or B) is
// live, where the live settings came from, whether they were modified since, and whether the
// processor plays them.
#pragma once

#include <string>

namespace kdsp::app {

struct SettingsStatus {
  int liveSide = 0;    // 0 A, 1 B
  std::string origin;  // "Slot 3", "karaoke.aex", "Factory", "From processor"; empty shows none
  bool modified = false;
  // False while the live settings are not what the processor plays (a file loaded, not sent).
  bool onProcessor = true;

  friend bool operator==(const SettingsStatus&, const SettingsStatus&) = default;
};

// Where the settings came from in one line, in the user's language, as the phone shows it:
// "karaoke.aex", or "karaoke.aex — not on the processor".
std::string SourceLine(const std::string& origin, bool onProcessor);

}  // namespace kdsp::app
