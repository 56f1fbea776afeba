// Bulk stores of setting files and their summary.
#include "app/bulk_store.h"

#include <system_error>

#include "settings/group_file.h"

namespace kdsp::app {
namespace fs = std::filesystem;

std::string SlotLabel(int slot) {
  return "\"" + std::string(settings::kSlotNames.at(static_cast<std::size_t>(slot)).name) + "\"";
}

std::string SkipReason(const settings::SettingFileLoad& load, const fs::path& path) {
  std::error_code error;
  switch (load.status) {
    case settings::SettingFileStatus::kCantRead:
      return fs::exists(path, error) ? "it cannot be read" : "there is no such file";
    case settings::SettingFileStatus::kVersionError:
      return "it is not a setting file (File Version error!)";
    case settings::SettingFileStatus::kWrongType:
      return "it is not a setting file for this processor";
    case settings::SettingFileStatus::kTooShort: {
      const auto size = fs::file_size(path, error);
      return "it is too short for a setting file (" + (error ? "?" : std::to_string(size)) +
             " bytes, " + std::to_string(settings::kSettingFileSize) + " expected)";
    }
    case settings::SettingFileStatus::kLoaded:
      break;
  }
  return "it was loaded";
}

void BulkStoreReport::skipped(int slot, const fs::path& path, std::string reason) {
  skipped_.push_back({slot, path.string(), std::move(reason)});
}

std::string BulkStoreReport::text() const {
  std::string text =
      complete() ? "Download Done!\n" : operation_ + " did not store every slot it was given.\n";
  text += "Stored:";
  if (stored_.empty()) text += " no slot";
  for (std::size_t i = 0; i < stored_.size(); ++i)
    text += (i == 0 ? " " : ", ") + SlotLabel(stored_[i]);
  text += ".";
  for (const Skip& skip : skipped_)
    text += "\nSkipped " + SlotLabel(skip.slot) + ": " + skip.path + ": " + skip.reason + ".";
  if (stoppedAt_ >= 0)
    text += "\n" + operation_ + " stopped at slot " + SlotLabel(stoppedAt_) +
            ": that slot and the ones after it were not stored.";
  return text;
}

BulkStoreReport StoreSettingFiles(device::DeviceLink& link, std::span<const SlotFile> files,
                                  std::string_view operation,
                                  const std::function<void(int slot)>& afterStore) {
  BulkStoreReport report(operation);
  settings::ParameterBlock block{};
  for (const SlotFile& file : files) {
    const settings::SettingFileLoad load = settings::LoadSettingFile(file.path, block);
    if (!load.loaded()) {
      report.skipped(file.slot, file.path, SkipReason(load, file.path));
      continue;
    }
    if (link.StoreBlockToDevice(block, static_cast<std::uint8_t>(file.slot)) !=
        device::StoreResult::kStored) {
      report.stoppedAt(file.slot);
      break;
    }
    report.stored(file.slot);
    if (afterStore) afterStore(file.slot);
  }
  return report;
}

}  // namespace kdsp::app
