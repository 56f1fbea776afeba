// SPDX-License-Identifier: GPL-3.0-or-later
// Storing setting files into preset slots in one go, and the one message that tells the user
// at the end which slots were stored, which files were skipped and why, and where it stopped.
#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_link.h"
#include "settings/setting_file.h"

namespace kdsp::app {

// A preset slot 0..8 as the user knows it, quoted: "START UP", "2", "DISCO".
std::string SlotLabel(int slot);

// Why a setting file that did not load cannot be stored, as words that follow its path.
std::string SkipReason(const settings::SettingFileLoad& load, const std::filesystem::path& path);

class BulkStoreReport {
 public:
  // operation names the command in the text ("Download All"), marked
  // QT_TRANSLATE_NOOP("Messages", …) where it is given, as the report's texts are translated.
  explicit BulkStoreReport(std::string_view operation) : operation_(operation) {}

  void stored(int slot) { stored_.push_back(slot); }
  void skipped(int slot, const std::filesystem::path& path, std::string reason);
  // A store failed (the link has said why): that slot and the ones after it were not stored.
  void stoppedAt(int slot) { stoppedAt_ = slot; }

  // Every slot given a file was stored.
  bool complete() const { return skipped_.empty() && stoppedAt_ < 0; }
  // "Download Done!" first when complete; then the slots stored, the files skipped and the stop.
  std::string text() const;

 private:
  struct Skip {
    int slot;
    std::string path;
    std::string reason;
  };
  std::string operation_;
  std::vector<int> stored_;
  std::vector<Skip> skipped_;
  int stoppedAt_ = -1;
};

struct SlotFile {
  int slot;
  std::filesystem::path path;
};

// Stores each file into its slot, in the order given, through a block of its own: the working
// block, and so every window and the processor's working settings, stay as they are. A file
// that cannot be used is skipped and its slot keeps what it has; a store that fails ends the
// run. afterStore runs after each slot stored.
BulkStoreReport StoreSettingFiles(device::DeviceLink& link, std::span<const SlotFile> files,
                                  std::string_view operation,
                                  const std::function<void(int slot)>& afterStore);

}  // namespace kdsp::app
