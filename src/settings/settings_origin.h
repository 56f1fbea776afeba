// SPDX-License-Identifier: GPL-3.0-or-later
// Where the working settings came from: the slot recalled, the file loaded, the factory
// defaults, the processor's own working settings. The main window names it; storing into a slot
// or saving to a file makes that place the origin.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kdsp::settings {

struct SettingsOrigin {
  enum class Kind : std::uint8_t { kFactory, kProcessor, kSlot, kFile };

  Kind kind = Kind::kFactory;
  int slot = 0;      // kSlot: the slot number
  std::string file;  // kFile: the file's name, without its folder

  static SettingsOrigin Factory() { return {}; }
  static SettingsOrigin Processor() { return {Kind::kProcessor, 0, {}}; }
  // The factory slot holds the factory defaults: recalling it is a factory origin.
  static SettingsOrigin Slot(int slot);
  static SettingsOrigin File(const std::filesystem::path& path);

  friend bool operator==(const SettingsOrigin&, const SettingsOrigin&) = default;
};

// As the main window shows it: "Slot 3", "Slot KARAOKE", "karaoke.aex", "Factory",
// "From processor".
// Turns an English text marked KDSP_TRANSLATE_NOOP(context, …) into the user's language.
using TextTranslation = std::string (*)(const char* context, const char* english);
// Without a translation the text is English, as the tests and the logs read it.
std::string OriginText(const SettingsOrigin& origin, TextTranslation translate = nullptr);

// How the preset menu names a slot in a step: "slot 3", "KARAOKE", "FACTORY".
std::string SlotStepName(int slot);

}  // namespace kdsp::settings
