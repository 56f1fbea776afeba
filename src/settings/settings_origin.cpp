// SPDX-License-Identifier: GPL-3.0-or-later
// Naming where the working settings came from.
#include "settings/settings_origin.h"

#include <algorithm>

#include "core/composed_text.h"
#include "core/translatable.h"
#include "settings/preset_slots.h"
#include "settings/step_names.h"

namespace kdsp::settings {
namespace {

std::string SlotCaption(int slot) {
  if (slot < 0 || slot >= static_cast<int>(kPresetSlots.size())) return std::to_string(slot);
  return std::string(kPresetSlots[static_cast<std::size_t>(slot)].caption);
}

bool Numbered(const std::string& caption) {
  return !caption.empty() &&
         std::ranges::all_of(caption, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

SettingsOrigin SettingsOrigin::Slot(int slot) {
  if (slot == kFactorySlot) return Factory();
  return {Kind::kSlot, slot, {}};
}

SettingsOrigin SettingsOrigin::File(const std::filesystem::path& path) {
  return {Kind::kFile, 0, path.filename().string()};
}

std::string OriginText(const SettingsOrigin& origin, TextTranslation translate) {
  const auto said = [translate](const char* context, const std::string& english) {
    return translate != nullptr ? translate(context, english.c_str()) : english;
  };
  switch (origin.kind) {
    case SettingsOrigin::Kind::kFactory:
      return said("Messages", KDSP_TRANSLATE_NOOP("Messages", "Factory"));
    case SettingsOrigin::Kind::kProcessor:
      return said("Messages", KDSP_TRANSLATE_NOOP("Messages", "From processor"));
    case SettingsOrigin::Kind::kSlot: {
      // The slot's name is the Presets menu's.
      std::string text = said("Messages", KDSP_TRANSLATE_NOOP("Messages", "Slot %1"));
      const std::size_t at = text.find("%1");
      if (at != std::string::npos)
        text.replace(at, 2, said("PresetMenu", SlotCaption(origin.slot)));
      return text;
    }
    case SettingsOrigin::Kind::kFile:
      return origin.file;
  }
  return {};
}

std::string SlotStepName(int slot) {
  const std::string caption = SlotCaption(slot);
  return Numbered(caption) ? core::FillIn(step::kNumberedSlot, {caption}) : caption;
}

}  // namespace kdsp::settings
