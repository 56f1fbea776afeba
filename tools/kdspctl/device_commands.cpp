// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl's device commands: list, info, pull, push, pull-all, push-group, lock, unlock,
// password.
#include "device_commands.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "command_options.h"
#include "device/command_codes.h"
#include "device/link_timing.h"
#include "settings/group_file.h"
#include "settings/setting_file.h"
#include "settings/slot_backup.h"

namespace kdsp::tools {
namespace {

namespace fs = std::filesystem;
using device::kWorkingSettingsSlot;

void Store(DeviceSession& session, std::uint8_t slot, const TargetContext& context) {
  const device::StoreResult result = session.link().StoreBlockToDevice(slot);
  if (result == device::StoreResult::kStored) return;
  const std::string what = DescribeSlot(slot);
  // Once the run is told to stop, the gate holds back the rest of the upload and the store.
  if (context.stopRequested() && !device::SlotMayHaveChanged(result))
    throw StoppedFailure("stopped during the upload; " + what + " was left unchanged");
  if (device::SlotMayHaveChanged(result)) {
    const std::string reason =
        result == device::StoreResult::kStoreNotAcknowledged
            ? "the processor did not acknowledge storing into " + what + " in time"
            : session.lostLinkText() + " before the processor acknowledged storing into " + what;
    throw CommandFailure(reason + "; " + what + " may have been rewritten (read it back to check)");
  }
  switch (result) {
    case device::StoreResult::kNotAcknowledged:
      throw CommandFailure("the processor did not acknowledge the upload; " + what +
                           " was left unchanged");
    case device::StoreResult::kDisconnected:
    case device::StoreResult::kConnectionClosed:
      throw CommandFailure(session.lostLinkText() + " during the upload; " + what +
                           " was left unchanged");
    default:
      throw CommandFailure("the upload into " + what + " did not complete; " + what +
                           " was left unchanged");
  }
}

void SendAndConfirm(DeviceSession& session, const std::function<void()>& send) {
  send();
  switch (session.link().awaitAcknowledgements()) {
    case device::WaitOutcome::kAcknowledged:
      return;
    case device::WaitOutcome::kTimedOut:
      throw CommandFailure("the processor did not acknowledge the command");
    default:
      throw CommandFailure(session.lostLinkText() +
                           " before the processor acknowledged the command");
  }
}

void WriteOrThrow(const fs::path& path, const settings::ParameterBlock& block) {
  const settings::WriteResult written = settings::WriteSettingFile(path, block);
  if (!written) throw CommandFailure(written.message);
}

// The read-back after a store: the slot has been rewritten, so a read that fails says so.
settings::ParameterBlock ReadStoredSlot(DeviceSession& session, std::uint8_t slot) {
  try {
    return ReadSlot(session, slot);
  } catch (const CommandFailure& e) {
    throw CommandFailure(DescribeSlot(slot) +
                         " was rewritten but could not be verified: " + e.what());
  }
}

// A processor's own folder inside the folder a command writes into: made when missing, and
// removed again unless kept, so a processor that fails leaves no empty folder behind.
class OwnFolder {
 public:
  OwnFolder(const fs::path& path, bool own) {
    std::error_code ec;
    if (own && fs::create_directory(path, ec)) made_ = path;
  }
  ~OwnFolder() {
    std::error_code ec;
    if (!made_.empty()) fs::remove(made_, ec);  // only when still empty
  }
  OwnFolder(const OwnFolder&) = delete;
  OwnFolder& operator=(const OwnFolder&) = delete;
  void keep() { made_.clear(); }

 private:
  fs::path made_;
};

int CompareBlocks(const settings::ParameterBlock& sent, const settings::ParameterBlock& read,
                  std::size_t* firstOffset) {
  int differences = 0;
  for (std::size_t i = 0; i < settings::kBlockSize; ++i) {
    if (sent.bytes()[i] == read.bytes()[i]) continue;
    if (differences++ == 0) *firstOffset = i;
  }
  return differences;
}

}  // namespace

int RunList(const ConnectTarget& target, const Args& args) {
  ParseOptions(args, {}, {}, 0, "usage: kdspctl [--connect URL] list");
  if (target.kind == ConnectTarget::Kind::kTcp)
    throw UsageError("list looks for processors on USB; it takes --connect usb or sim");
  return ListProcessors(*MakePlatform(target));
}

int ListProcessors(device::HidPlatform& platform) {
  int found = 0;
  int usable = 0;
  for (const device::HidPnPInfo& info : platform.list()) {
    device::HidAttributes id;
    if (!platform.attributes(info, id) || id.VendorID != core::kProcessorVendorId ||
        id.ProductID != core::kProcessorProductId)
      continue;
    ++found;
    device::HidOpenError error;
    const bool accessible = platform.open(info, true, &error) != nullptr;
    std::printf("%s  %04x:%04x  version %x.%02x  %s %s%s%s\n", info.DevicePath.c_str(), id.VendorID,
                id.ProductID, id.VersionNumber >> 8, id.VersionNumber & 0xFF,
                info.manufacturer.c_str(), info.product.c_str(),
                info.serialNumber.empty() ? "" : "  serial ", info.serialNumber.c_str());
    if (accessible) {
      ++usable;
      std::printf("    accessible\n");
    } else {
      std::printf("    not accessible: %s\n", error.reason.c_str());
      std::fprintf(stderr, "kdspctl: %s\n",
                   device::PermissionProblemText(info.DevicePath, error.reason).c_str());
    }
  }
  if (found == 0) {
    std::fprintf(stderr, "kdspctl: No processor found on USB (%s).\n", core::kProcessorUsbIdText);
    return 1;
  }
  // Listing a processor that may not be opened is no success for a script that goes on to use it.
  return usable > 0 ? 0 : 1;
}

DeviceWork PrepareInfo(const Args& args) {
  ParseOptions(args, {}, {}, 0, "usage: kdspctl [--connect URL] info");
  return [](const TargetContext& context) {
    DeviceSession session(context);
    session.open();
    const device::StatusReply& s = session.status();
    static constexpr const char* kModes[3] = {"MIC12345 EQ", "MIC135 EQ", "MIC24 EQ"};
    char text[512];
    std::snprintf(text, sizeof text,
                  "processor        %s\n"
                  "version          0x%02X\n"
                  "music max volume %u\n"
                  "mic max volume   %u\n"
                  "mic EQ mode      %u%s%s\n"
                  "front panel      %s\n",
                  context.connect.describe().c_str(), *session.link().lastVersion(),
                  s.musicMaxVolume, s.micMaxVolume, s.micEqMode, s.micEqMode < 3 ? " " : "",
                  s.micEqMode < 3 ? kModes[s.micEqMode] : "",
                  s.panelUnlocked ? "unlocked" : "locked");
    context.out.data(text);
  };
}

DeviceWork PreparePull(const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] pull --slot 0..9|working -o FILE";
  const Options options = ParseOptions(args, {"--slot", "-o", "--password"}, {}, 0, usage);
  const std::uint8_t slot = ParseSlot(options.value("--slot"), 9, usage);
  const auto output = options.value("-o");
  if (!output) throw UsageError(usage);
  return
      [slot, output = *output, password = PasswordOption(options)](const TargetContext& context) {
        DeviceSession session(context);
        session.open();
        session.requireUnlocked(password);
        const settings::ParameterBlock block = ReadSlot(session, slot);
        const fs::path path = context.ownPath(output);
        OwnFolder folder(path.parent_path(), !context.alone());
        WriteOrThrow(path, block);
        folder.keep();
        context.out.done(DescribeSlot(slot) + " written to " + path.string());
      };
}

DeviceWork PreparePush(const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] push FILE --slot 0..8|working [--no-verify]";
  const Options options = ParseOptions(args, {"--slot", "--password"}, {"--no-verify"}, 1, usage);
  const std::uint8_t slot = ParseSlot(options.value("--slot"), 8, usage);
  const settings::ParameterBlock file = LoadBlockOrExplain(options.positional[0]);
  return [slot, file, name = options.positional[0], verify = !options.has("--no-verify"),
          password = PasswordOption(options)](const TargetContext& context) {
    ThrowIfStopped(context, DescribeSlot(slot) + " was left unchanged");
    DeviceSession session(context);
    session.open();
    session.requireUnlocked(password);
    session.working() = file;
    Store(session, slot, context);
    if (verify) {
      const settings::ParameterBlock sent = session.working();  // as prepared for the upload
      const settings::ParameterBlock read = ReadStoredSlot(session, slot);
      std::size_t first = 0;
      if (const int n = CompareBlocks(sent, read, &first))
        throw CommandFailure("verification failed: " + DescribeSlot(slot) + " reads back with " +
                             std::to_string(n) + " bytes different, the first at offset " +
                             std::to_string(first));
    }
    context.out.done(name + " stored into " + DescribeSlot(slot) + (verify ? " and verified" : ""));
  };
}

DeviceWork PreparePullAll(const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] pull-all DIR";
  const Options options = ParseOptions(args, {"--password"}, {}, 1, usage);
  const fs::path folder = options.positional[0];
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw UsageError(folder.string() + " is not a folder");
  return [folder, password = PasswordOption(options)](const TargetContext& context) {
    DeviceSession session(context);
    session.open();
    session.requireUnlocked(password);

    // Everything is read before anything is written, and the ten files are written as one set:
    // a failure leaves an earlier backup in the folder as it was.
    settings::SlotBlocks blocks;
    for (int i = 0; i < settings::kGroupSlotCount; ++i) {
      const auto slot = static_cast<std::uint8_t>(i);
      ThrowIfStopped(context, "nothing was written");
      context.out.progress(std::string("[")
                               .append(std::to_string(i + 1))
                               .append("/")
                               .append(std::to_string(settings::kGroupSlotCount))
                               .append("] reading ")
                               .append(DescribeSlot(slot)));
      blocks[static_cast<std::size_t>(i)] = ReadSlot(session, slot);
    }
    const fs::path target = context.alone() ? folder : folder / context.folder;
    OwnFolder own(target, !context.alone());
    const settings::SlotBackupResult backup = settings::WriteSlotBackup(target, blocks);
    if (!backup.written) throw CommandFailure(backup.written.message);
    own.keep();
    context.out.done("nine slots written to " + target.string() + ", group file " +
                     backup.groupFile.string());
  };
}

DeviceWork PreparePushGroup(const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] push-group FILE.set";
  const Options options = ParseOptions(args, {"--password"}, {}, 1, usage);
  const std::string groupPath = options.positional[0];
  std::error_code ec;
  if (!fs::is_regular_file(groupPath, ec)) throw UsageError("Can't read " + groupPath);
  const settings::GroupFiles group = settings::ReadGroupFile(groupPath);
  // Every file is checked before anything is sent: a slot never receives unrelated settings.
  std::vector<std::optional<settings::ParameterBlock>> blocks(settings::kGroupSlotCount);
  int assigned = 0;
  for (int i = 0; i < settings::kGroupSlotCount; ++i) {
    if (group[i].empty()) continue;
    blocks[i] = LoadBlockOrExplain(group[i]);
    ++assigned;
  }
  if (assigned == 0) throw UsageError(groupPath + " names no setting files");
  return
      [group, blocks, assigned, password = PasswordOption(options)](const TargetContext& context) {
        DeviceSession session(context);
        session.open();
        session.requireUnlocked(password);
        int done = 0;
        for (int i = 0; i < settings::kGroupSlotCount; ++i) {
          if (!blocks[i]) continue;
          const auto slot = static_cast<std::uint8_t>(i);
          ThrowIfStopped(context, std::to_string(done) + " of " + std::to_string(assigned) +
                                      " slots were stored, " + DescribeSlot(slot) +
                                      " and those after it were left unchanged");
          context.out.progress(std::string("[")
                                   .append(std::to_string(++done))
                                   .append("/")
                                   .append(std::to_string(assigned))
                                   .append("] storing ")
                                   .append(group[i])
                                   .append(" into ")
                                   .append(DescribeSlot(slot)));
          session.working() = *blocks[i];
          Store(session, slot, context);
        }
        context.out.done("Download Done!");
      };
}

namespace {

int SetLock(const ConnectTarget& target, const Args& args, bool lock) {
  const char* usage = lock ? "usage: kdspctl [--connect URL] lock --password PASSWORD"
                           : "usage: kdspctl [--connect URL] unlock --password PASSWORD";
  const Options options = ParseOptions(args, {"--password"}, {}, 0, usage);
  const auto password = PasswordOption(options);
  if (!password) throw UsageError(usage);
  DeviceSession session(target);
  session.open();
  const device::StatusReply& s = session.status();
  if (*password != s.lockPassword) throw CommandFailure("Password Error!");
  if ((s.panelUnlocked == 0) == lock) {
    std::fprintf(stderr, "the front panel is already %s\n", lock ? "locked" : "unlocked");
    return 0;
  }
  SendAndConfirm(session, [&] { session.link().setPanelLocked(lock); });
  std::fprintf(stderr, "the front panel is now %s\n", lock ? "locked" : "unlocked");
  return 0;
}

}  // namespace

int RunLock(const ConnectTarget& target, const Args& args) {
  return SetLock(target, args, true);
}
int RunUnlock(const ConnectTarget& target, const Args& args) {
  return SetLock(target, args, false);
}

int RunPassword(const ConnectTarget& target, const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] password NEW --password OLD";
  const Options options = ParseOptions(args, {"--password"}, {}, 1, usage);
  const auto old = PasswordOption(options);
  if (!old) throw UsageError(usage);
  long fresh = -1;
  try {
    fresh = ParseNumber(options.positional[0], 0, 999, "password");
  } catch (const UsageError&) {
    throw UsageError("Password can't large than 999");
  }
  DeviceSession session(target);
  session.open();
  if (*old != session.status().lockPassword) throw CommandFailure("Password Error!");
  SendAndConfirm(session,
                 [&] { session.link().setLockPassword(static_cast<std::uint16_t>(fresh)); });
  std::fprintf(stderr, "the panel password is now %ld\n", fresh);
  return 0;
}

}  // namespace kdsp::tools
