// Naming where the working settings came from.
#include "settings/settings_origin.h"

#include <algorithm>

#include "settings/preset_slots.h"

namespace kdsp::settings {
namespace {

std::string SlotCaption(int slot) {
  if (slot < 0 || slot >= static_cast<int>(kPresetSlots.size())) return std::to_string(slot);
  return std::string(kPresetSlots[static_cast<std::size_t>(slot)].caption);
}

bool Numbered(const std::string& caption) {
  return !caption.empty() && std::ranges::all_of(caption, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

SettingsOrigin SettingsOrigin::Slot(int slot) {
  if (slot == kFactorySlot) return Factory();
  return {Kind::kSlot, slot, {}};
}

SettingsOrigin SettingsOrigin::File(const std::filesystem::path& path) {
  return {Kind::kFile, 0, path.filename().string()};
}

std::string OriginText(const SettingsOrigin& origin) {
  switch (origin.kind) {
    case SettingsOrigin::Kind::kFactory:
      return "Factory";
    case SettingsOrigin::Kind::kProcessor:
      return "From processor";
    case SettingsOrigin::Kind::kSlot:
      return "Slot " + SlotCaption(origin.slot);
    case SettingsOrigin::Kind::kFile:
      return origin.file;
  }
  return {};
}

std::string SlotStepName(int slot) {
  const std::string caption = SlotCaption(slot);
  return Numbered(caption) ? "slot " + caption : caption;
}

}  // namespace kdsp::settings
