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

void Store(DeviceSession& session, std::uint8_t slot) {
  const device::StoreResult result = session.link().StoreBlockToDevice(slot);
  if (result == device::StoreResult::kStored) return;
  const std::string what = DescribeSlot(slot);
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

int RunInfo(const ConnectTarget& target, const Args& args) {
  ParseOptions(args, {}, {}, 0, "usage: kdspctl [--connect URL] info");
  DeviceSession session(target);
  session.open();
  const device::StatusReply& s = session.status();
  static constexpr const char* kModes[3] = {"MIC12345 EQ", "MIC135 EQ", "MIC24 EQ"};
  std::printf("processor        %s\n", target.describe().c_str());
  std::printf("version          0x%02X\n", *session.link().lastVersion());
  std::printf("music max volume %u\n", s.musicMaxVolume);
  std::printf("mic max volume   %u\n", s.micMaxVolume);
  std::printf("mic EQ mode      %u%s%s\n", s.micEqMode, s.micEqMode < 3 ? " " : "",
              s.micEqMode < 3 ? kModes[s.micEqMode] : "");
  std::printf("front panel      %s\n", s.panelUnlocked ? "unlocked" : "locked");
  return 0;
}

int RunPull(const ConnectTarget& target, const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] pull --slot 0..9|working -o FILE";
  const Options options = ParseOptions(args, {"--slot", "-o", "--password"}, {}, 0, usage);
  const std::uint8_t slot = ParseSlot(options.value("--slot"), 9, usage);
  const auto output = options.value("-o");
  if (!output) throw UsageError(usage);
  DeviceSession session(target);
  session.open();
  session.requireUnlocked(PasswordOption(options));
  WriteOrThrow(*output, ReadSlot(session, slot));
  std::fprintf(stderr, "%s written to %s\n", DescribeSlot(slot).c_str(), output->c_str());
  return 0;
}

int RunPush(const ConnectTarget& target, const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] push FILE --slot 0..8|working [--no-verify]";
  const Options options = ParseOptions(args, {"--slot", "--password"}, {"--no-verify"}, 1, usage);
  const std::uint8_t slot = ParseSlot(options.value("--slot"), 8, usage);
  const settings::ParameterBlock file = LoadBlockOrExplain(options.positional[0]);
  DeviceSession session(target);
  session.open();
  session.requireUnlocked(PasswordOption(options));
  session.working() = file;
  Store(session, slot);
  if (!options.has("--no-verify")) {
    const settings::ParameterBlock sent = session.working();  // as prepared for the upload
    const settings::ParameterBlock read = ReadStoredSlot(session, slot);
    std::size_t first = 0;
    if (const int n = CompareBlocks(sent, read, &first))
      throw CommandFailure("verification failed: " + DescribeSlot(slot) + " reads back with " +
                           std::to_string(n) + " bytes different, the first at offset " +
                           std::to_string(first));
  }
  std::fprintf(stderr, "%s stored into %s%s\n", options.positional[0].c_str(),
               DescribeSlot(slot).c_str(), options.has("--no-verify") ? "" : " and verified");
  return 0;
}

int RunPullAll(const ConnectTarget& target, const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] pull-all DIR";
  const Options options = ParseOptions(args, {"--password"}, {}, 1, usage);
  const fs::path folder = options.positional[0];
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw UsageError(folder.string() + " is not a folder");
  DeviceSession session(target);
  session.open();
  session.requireUnlocked(PasswordOption(options));

  // Everything is read before anything is written, and the ten files are written as one set:
  // a failure leaves an earlier backup in the folder as it was.
  settings::SlotBlocks blocks;
  for (int i = 0; i < settings::kGroupSlotCount; ++i) {
    std::fprintf(stderr, "[%d/%d] reading %s\n", i + 1, settings::kGroupSlotCount,
                 DescribeSlot(static_cast<std::uint8_t>(i)).c_str());
    blocks[static_cast<std::size_t>(i)] = ReadSlot(session, static_cast<std::uint8_t>(i));
  }
  const settings::SlotBackupResult backup = settings::WriteSlotBackup(folder, blocks);
  if (!backup.written) throw CommandFailure(backup.written.message);
  std::fprintf(stderr, "nine slots written to %s, group file %s\n", folder.c_str(),
               backup.groupFile.c_str());
  return 0;
}

int RunPushGroup(const ConnectTarget& target, const Args& args) {
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
  DeviceSession session(target);
  session.open();
  session.requireUnlocked(PasswordOption(options));
  int done = 0;
  for (int i = 0; i < settings::kGroupSlotCount; ++i) {
    if (!blocks[i]) continue;
    std::fprintf(stderr, "[%d/%d] storing %s into %s\n", ++done, assigned, group[i].c_str(),
                 DescribeSlot(static_cast<std::uint8_t>(i)).c_str());
    session.working() = *blocks[i];
    Store(session, static_cast<std::uint8_t>(i));
  }
  std::fprintf(stderr, "Download Done!\n");
  return 0;
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
