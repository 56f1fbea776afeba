// kdspctl's device commands: list, info, pull, push, pull-all, push-group, lock, unlock,
// password.
#include "device_commands.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "device/command_codes.h"
#include "device/device_commands.h"
#include "device/link_timing.h"
#include "settings/group_file.h"
#include "settings/setting_file.h"

namespace kdsp::tools {
namespace {

namespace fs = std::filesystem;
using device::kWorkingSettingsSlot;

// The options of a device command: --name VALUE pairs, flags, and positional arguments.
struct Options {
  std::map<std::string, std::string, std::less<>> values;
  std::vector<std::string> flags;
  std::vector<std::string> positional;

  bool has(std::string_view flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
  }
  std::optional<std::string> value(std::string_view name) const {
    const auto it = values.find(name);
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
};

Options ParseOptions(const Args& args, std::initializer_list<std::string_view> valued,
                     std::initializer_list<std::string_view> flags, std::size_t positional,
                     const char* usage) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    if (std::find(valued.begin(), valued.end(), a) != valued.end()) {
      if (i + 1 >= args.size()) throw UsageError(std::string(a) + " needs a value\n" + usage);
      options.values[std::string(a)] = args[++i];
    } else if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
      options.flags.emplace_back(a);
    } else if (!a.starts_with("-") || a == "-") {
      options.positional.emplace_back(a);
    } else {
      throw UsageError("unknown option " + std::string(a) + "\n" + usage);
    }
  }
  if (options.positional.size() != positional) throw UsageError(usage);
  return options;
}

// "working" or a number within 0..highest.
std::uint8_t ParseSlot(const std::optional<std::string>& text, int highest, const char* usage) {
  if (!text) throw UsageError(usage);
  if (*text == "working") return kWorkingSettingsSlot;
  return static_cast<std::uint8_t>(ParseNumber(*text, 0, highest, "slot"));
}

std::string DescribeSlot(std::uint8_t slot) {
  if (slot == kWorkingSettingsSlot) return "the working settings";
  if (slot < settings::kGroupSlotCount)
    return "slot " + std::to_string(slot) + " (" + std::string(settings::kSlotNames[slot].name) +
           ")";
  return "slot " + std::to_string(slot);
}

std::optional<long> PasswordOption(const Options& options) {
  if (const auto text = options.value("--password"))
    return ParseNumber(*text, 0, 65535, "password");
  return std::nullopt;
}

// Reads a slot's block into the session's working block; throws when it does not arrive whole.
settings::ParameterBlock ReadSlot(DeviceSession& session, std::uint8_t slot) {
  device::DeviceLink& link = session.link();
  const std::uint8_t mode = slot == kWorkingSettingsSlot ? 0 : 3;
  if (!link.ReadBlockFromDevice(slot, mode)) throw DeviceError("No connecting device!");
  if (!link.waitForReadComplete(device::kReadBackLimit)) {
    if (!link.state().connected) throw DeviceError("the processor went away during the read");
    throw DeviceError("the processor did not send " + DescribeSlot(slot) + " in time");
  }
  if (link.lastReadResult() != device::BlockReadback::EndResult::kInstalled)
    throw DeviceError(DescribeSlot(slot) +
                      " could not be read: it is empty or its checksum is wrong");
  return session.working();
}

void Store(DeviceSession& session, std::uint8_t slot) {
  switch (session.link().StoreBlockToDevice(slot)) {
    case device::StoreResult::kStored:
      return;
    case device::StoreResult::kNotAcknowledged:
      throw DeviceError("the processor did not acknowledge the upload; " + DescribeSlot(slot) +
                        " was left unchanged");
    default:
      throw DeviceError("the upload into " + DescribeSlot(slot) + " did not complete");
  }
}

void SendAndConfirm(DeviceSession& session, const std::function<void()>& send) {
  send();
  if (session.link().awaitAcknowledgements() != device::WaitOutcome::kAcknowledged)
    throw DeviceError("the processor did not acknowledge the command");
}

void WriteOrThrow(const fs::path& path, const settings::ParameterBlock& block) {
  const settings::WriteResult written = settings::WriteSettingFile(path, block);
  if (!written) throw DeviceError(written.message);
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
  const auto platform = MakePlatform(target);
  int found = 0;
  for (const device::HidPnPInfo& info : platform->list()) {
    device::HidAttributes id;
    if (!platform->attributes(info, id) || id.VendorID != device::kProcessorVendorId ||
        id.ProductID != device::kProcessorProductId)
      continue;
    ++found;
    device::HidOpenError error;
    const bool accessible = platform->open(info, true, &error) != nullptr;
    std::printf("%s  %04x:%04x  version %x.%02x  %s %s%s%s\n", info.DevicePath.c_str(), id.VendorID,
                id.ProductID, id.VersionNumber >> 8, id.VersionNumber & 0xFF,
                info.manufacturer.c_str(), info.product.c_str(),
                info.serialNumber.empty() ? "" : "  serial ", info.serialNumber.c_str());
    if (accessible) {
      std::printf("    accessible\n");
    } else {
      std::printf("    not accessible: %s\n", error.reason.c_str());
      std::fprintf(stderr, "kdspctl: %s\n",
                   device::PermissionProblemText(info.DevicePath, error.reason).c_str());
    }
  }
  if (found == 0) {
    std::fprintf(stderr, "kdspctl: No processor found on USB (vendor 0x0483, product 0x0157).\n");
    return 1;
  }
  return 0;
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
    const settings::ParameterBlock read = ReadSlot(session, slot);
    std::size_t first = 0;
    if (const int n = CompareBlocks(sent, read, &first))
      throw DeviceError("verification failed: " + DescribeSlot(slot) + " reads back with " +
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

  // Everything is read before anything is written, so a failure leaves no files behind.
  std::vector<settings::ParameterBlock> blocks;
  for (int i = 0; i < settings::kGroupSlotCount; ++i) {
    std::fprintf(stderr, "[%d/%d] reading %s\n", i + 1, settings::kGroupSlotCount,
                 DescribeSlot(static_cast<std::uint8_t>(i)).c_str());
    blocks.push_back(ReadSlot(session, static_cast<std::uint8_t>(i)));
  }
  settings::GroupFiles group;
  std::vector<fs::path> written;
  try {
    for (int i = 0; i < settings::kGroupSlotCount; ++i) {
      const fs::path path = settings::UploadSettingFilePath(folder, i);
      WriteOrThrow(path, blocks[i]);
      written.push_back(path);
      group[i] = fs::absolute(path).string();
    }
    const fs::path groupPath = settings::UploadGroupFilePath(folder);
    const settings::WriteResult result = settings::WriteGroupFile(groupPath, group);
    if (!result) throw DeviceError(result.message);
    std::fprintf(stderr, "nine slots written to %s, group file %s\n", folder.c_str(),
                 groupPath.c_str());
  } catch (...) {
    for (const fs::path& p : written) fs::remove(p, ec);
    throw;
  }
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
  if (*password != s.lockPassword) throw DeviceError("Paswword Error!");
  if ((s.panelUnlocked == 0) == lock) {
    std::fprintf(stderr, "the front panel is already %s\n", lock ? "locked" : "unlocked");
    return 0;
  }
  SendAndConfirm(session, [&] { device::SendPanelLock(session.link().sender(), lock ? 0 : 255); });
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
  if (*old != session.status().lockPassword) throw DeviceError("Paswword Error!");
  SendAndConfirm(session, [&] {
    device::SendPanelPassword(session.link().sender(), static_cast<std::uint16_t>(fresh));
  });
  std::fprintf(stderr, "the panel password is now %ld\n", fresh);
  return 0;
}

}  // namespace kdsp::tools
