// SPDX-License-Identifier: GPL-3.0-or-later
// Bulk stores of setting files and their summary.
#include "app/bulk_store.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <system_error>

#include "settings/group_file.h"

namespace kdsp::app {
namespace fs = std::filesystem;
namespace {

// The report's texts, marked QT_TRANSLATE_NOOP("Messages", …), in the installed language; %1…
// take the values in order.
std::string Said(const char* text, const QStringList& values = {}) {
  QString said = QCoreApplication::translate("Messages", text);
  for (const QString& value : values) said = said.arg(value);
  return said.toStdString();
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

std::string SlotLabel(int slot) {
  return std::string("\"")
      .append(settings::kSlotNames.at(static_cast<std::size_t>(slot)).name)
      .append("\"");
}

std::string SkipReason(const settings::SettingFileLoad& load, const fs::path& path) {
  std::error_code error;
  switch (load.status) {
    case settings::SettingFileStatus::kCantRead:
      return fs::exists(path, error) ? Said(QT_TRANSLATE_NOOP("Messages", "it cannot be read"))
                                     : Said(QT_TRANSLATE_NOOP("Messages", "there is no such file"));
    case settings::SettingFileStatus::kVersionError:
      return Said(QT_TRANSLATE_NOOP("Messages", "it is not a setting file (File Version error!)"));
    case settings::SettingFileStatus::kWrongType:
      return Said(QT_TRANSLATE_NOOP("Messages", "it is not a setting file for this processor"));
    case settings::SettingFileStatus::kTooShort: {
      const auto size = fs::file_size(path, error);
      return Said(QT_TRANSLATE_NOOP("Messages",
                                    "it is too short for a setting file (%1 bytes, %2 expected)"),
                  {error ? QStringLiteral("?") : QString::number(size),
                   QString::number(settings::kSettingFileSize)});
    }
    case settings::SettingFileStatus::kLoaded:
      break;
  }
  return Said(QT_TRANSLATE_NOOP("Messages", "it was loaded"));
}

void BulkStoreReport::skipped(int slot, const fs::path& path, std::string reason) {
  skipped_.push_back({slot, path.string(), std::move(reason)});
}

std::string BulkStoreReport::text() const {
  const QString operation = QCoreApplication::translate("Messages", operation_.c_str());
  std::string text =
      complete() ? Said(QT_TRANSLATE_NOOP("Messages", "Download Done!"))
                 : Said(QT_TRANSLATE_NOOP("Messages", "%1 did not store every slot it was given."),
                        {operation});
  std::string storedSlots;
  for (std::size_t i = 0; i < stored_.size(); ++i)
    storedSlots += (i == 0 ? "" : ", ") + SlotLabel(stored_[i]);
  text.append("\n").append(
      stored_.empty() ? Said(QT_TRANSLATE_NOOP("Messages", "Stored: no slot."))
                      : Said(QT_TRANSLATE_NOOP("Messages", "Stored: %1."), {Q(storedSlots)}));
  for (const Skip& skip : skipped_)
    text.append("\n").append(Said(QT_TRANSLATE_NOOP("Messages", "Skipped %1: %2: %3."),
                                  {Q(SlotLabel(skip.slot)), Q(skip.path), Q(skip.reason)}));
  if (stoppedAt_ >= 0)
    text.append("\n").append(Said(
        QT_TRANSLATE_NOOP(
            "Messages", "%1 stopped at slot %2: that slot and the ones after it were not stored."),
        {operation, Q(SlotLabel(stoppedAt_))}));
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
