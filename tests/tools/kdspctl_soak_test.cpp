// SPDX-License-Identifier: GPL-3.0-or-later
// A bounded soak of kdspctl's device commands against kdsp-sim over TCP with random faults: sixty
// commands, each against a fresh simulated processor that may misbehave. Whatever happens, a
// success must be true (what a processor without faults holds afterwards), a failure must say
// why and leave every file as it was, and the exit status is 0 or 1. The seed is printed;
// KDSP_SOAK_SEED=N replays a soak, and KDSP_SOAK_RUN=I replays only its run I.
#include <fcntl.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "device/block_transfer.h"
#include "device/command_codes.h"
#include "device/link_timing.h"
#include "settings/group_file.h"
#include "settings/setting_file.h"
#include "sim/sim_device_state.h"
#include "sim/sim_state_file.h"
#include "support/sim_server.h"
#include "support/temp_dir.h"

extern char** environ;

namespace kdsp {
namespace {

namespace fs = std::filesystem;
using settings::ParameterBlock;
using testing::SimServer;

constexpr int kRuns = 60;
// kdspctl mostly waits (the WiFi path settles twice for 500 ms, faults add their own waits), so
// three runs at a time keep the soak near a minute without loading the machine.
constexpr int kWorkers = 3;

enum class Command { kInfo, kPull, kPush, kPullAll, kPushGroup };
constexpr std::array<const char*, 5> kCommandNames = {"info", "pull", "push", "pull-all",
                                                      "push-group"};

enum class FaultKind {
  kNone,
  kNoAck,
  kCorruptChunk,
  kDropChunk,
  kReadEndOnly,
  kCloseAfter,
  kLateStore,  // the store's acknowledgement comes after the acknowledgement limit
  kSlowStore,  // ... late, but within it
  kLateRead,   // the read-back comes after the read-back limit
  kSlowRead,   // ... late, but within it
  kWrongVersion,
};
// Each fault's name in the summary, and how many of the sixty runs have it. Long waits are
// few: a late read costs ten seconds.
struct FaultRow {
  FaultKind kind;
  const char* name;
  int runs;
};
constexpr std::array<FaultRow, 11> kFaults = {{
    {FaultKind::kNone, "none", 12},
    {FaultKind::kNoAck, "--no-ack", 5},
    {FaultKind::kCorruptChunk, "--corrupt-chunk", 5},
    {FaultKind::kDropChunk, "--drop-chunk", 6},
    {FaultKind::kReadEndOnly, "--read-end-only", 5},
    {FaultKind::kCloseAfter, "--close-after", 15},
    {FaultKind::kLateStore, "--slow-reply 226 late", 3},
    {FaultKind::kSlowStore, "--slow-reply 226 in time", 2},
    {FaultKind::kLateRead, "--slow-reply 224 late", 2},
    {FaultKind::kSlowRead, "--slow-reply 224 in time", 1},
    {FaultKind::kWrongVersion, "--firmware-version 22", 4},
}};
static_assert([] {
  int n = 0;
  for (const FaultRow& f : kFaults) n += f.runs;
  return n;
}() == kRuns);

const char* FaultName(FaultKind kind) {
  for (const FaultRow& f : kFaults)
    if (f.kind == kind) return f.name;
  return "?";
}

struct Fault {
  FaultKind kind = FaultKind::kNone;
  int value = 0;  // the chunk, the record count or the milliseconds
  // The first read of the connection that a read fault spoils: the ones before it are whole,
  // so a block an earlier read left behind could stand in for a broken one.
  int fromRead = 1;

  std::vector<std::string> options() const {
    std::vector<std::string> words = faultOptions();
    if (fromRead > 1) {
      words.push_back("--read-faults-from");
      words.push_back(std::to_string(fromRead));
    }
    return words;
  }

 private:
  std::vector<std::string> faultOptions() const {
    const std::string v = std::to_string(value);
    switch (kind) {
      case FaultKind::kNone:
        return {};
      case FaultKind::kNoAck:
        return {"--no-ack"};
      case FaultKind::kCorruptChunk:
        return {"--corrupt-chunk", v};
      case FaultKind::kDropChunk:
        return {"--drop-chunk", v};
      case FaultKind::kReadEndOnly:
        return {"--read-end-only"};
      case FaultKind::kCloseAfter:
        return {"--close-after", v};
      case FaultKind::kLateStore:
      case FaultKind::kSlowStore:
        return {"--slow-reply", std::to_string(device::code::kStoreBlock) + ":" + v};
      case FaultKind::kLateRead:
      case FaultKind::kSlowRead:
        return {"--slow-reply", std::to_string(device::code::kReadBlock) + ":" + v};
      case FaultKind::kWrongVersion:
        return {"--firmware-version", "22"};
    }
    return {};
  }
};

struct Plan {
  int index = 0;
  std::uint32_t seed = 0;  // of the run's own blocks and files
  Command command = Command::kInfo;
  Fault fault;
  std::uint8_t slot = 0;        // pull and push; 240 for the working settings
  std::vector<int> groupSlots;  // push-group
  bool olderFiles = false;      // pull's output or pull-all's folder already holds an older backup
};

std::string Join(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

std::string SlotText(std::uint8_t slot) {
  return slot == device::kWorkingSettingsSlot ? "working" : std::to_string(slot);
}

std::string SlotName(std::uint8_t slot) {
  return slot == device::kWorkingSettingsSlot ? "the working settings"
                                              : "slot " + std::to_string(slot);
}

std::string Describe(const Plan& p) {
  std::string command = kCommandNames[static_cast<int>(p.command)];
  if (p.command == Command::kPull || p.command == Command::kPush)
    command += " --slot " + SlotText(p.slot);
  if (p.command == Command::kPushGroup)
    command += " (" + std::to_string(p.groupSlots.size()) +
               (p.groupSlots.size() == 1 ? " slot)" : " slots)");
  if (p.olderFiles && (p.command == Command::kPull || p.command == Command::kPullAll))
    command += " over an older backup";
  const std::string fault = p.fault.kind == FaultKind::kNone ? "no fault" : Join(p.fault.options());
  return command + " | " + fault;
}

// The slots a command reads when all goes well (push reads its slot back to compare).
int ReadsMade(const Plan& p) {
  switch (p.command) {
    case Command::kPull:
    case Command::kPush:
      return 1;
    case Command::kPullAll:
      return settings::kGroupSlotCount;
    default:
      return 0;
  }
}

// The records a command sends when all goes well: one greeting, one per slot read, 31 per slot
// stored (30 chunks and the store).
int RecordsSent(const Plan& p) {
  switch (p.command) {
    case Command::kInfo:
      return 1;
    case Command::kPull:
      return 2;
    case Command::kPush:
      return 1 + 31 + 1;  // stored, then read back to compare
    case Command::kPullAll:
      return 1 + settings::kGroupSlotCount;
    case Command::kPushGroup:
      return 1 + 31 * static_cast<int>(p.groupSlots.size());
  }
  return 0;
}

enum class Outcome { kSuccess, kFailure, kEither };

// What the protocol leaves the command: a fault that never touches what it needs lets it
// succeed; one that takes away something it needs makes it fail.
Outcome Expected(const Plan& p) {
  const bool reads = ReadsMade(p) > 0;
  const bool stores = p.command == Command::kPush || p.command == Command::kPushGroup;
  switch (p.fault.kind) {
    case FaultKind::kNone:
    case FaultKind::kSlowStore:
    case FaultKind::kSlowRead:
      return Outcome::kSuccess;
    case FaultKind::kWrongVersion:
      return Outcome::kFailure;
    case FaultKind::kNoAck:
      // A store is only done once acknowledged; whether a read or the greeting waits for its
      // acknowledgement is the program's choice.
      return stores ? Outcome::kFailure : Outcome::kEither;
    case FaultKind::kCorruptChunk:
    case FaultKind::kDropChunk:
    case FaultKind::kReadEndOnly:
      return ReadsMade(p) >= p.fault.fromRead ? Outcome::kFailure : Outcome::kSuccess;
    case FaultKind::kLateRead:
      return reads ? Outcome::kFailure : Outcome::kSuccess;
    case FaultKind::kLateStore:
      return stores ? Outcome::kFailure : Outcome::kSuccess;
    case FaultKind::kCloseAfter:
      return p.fault.value >= RecordsSent(p) ? Outcome::kSuccess : Outcome::kFailure;
  }
  return Outcome::kEither;
}

int Uniform(std::mt19937& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

std::vector<Plan> MakePlans(std::uint32_t seed) {
  // Faults and commands are dealt from shuffled decks, so every soak has each of them in the
  // same numbers and about the same length, whatever the seed pairs them with.
  std::vector<FaultKind> deck;
  for (const FaultRow& f : kFaults) deck.insert(deck.end(), f.runs, f.kind);
  std::vector<Command> commands;
  for (int i = 0; i < kRuns; ++i)
    commands.push_back(static_cast<Command>(i % static_cast<int>(kCommandNames.size())));
  std::mt19937 random(seed);
  std::shuffle(deck.begin(), deck.end(), random);
  std::shuffle(commands.begin(), commands.end(), random);

  std::vector<Plan> plans;
  for (int i = 0; i < kRuns; ++i) {
    Plan p;
    p.index = i;
    p.seed = static_cast<std::uint32_t>(random());
    p.command = commands[i];
    p.fault.kind = deck[i];
    const int withWorking = p.command == Command::kPull ? 10 : 9;
    const int s = Uniform(random, 0, withWorking);
    p.slot = s == withWorking ? device::kWorkingSettingsSlot : static_cast<std::uint8_t>(s);
    // A group stored with slow acknowledgements is kept small: each store waits its delay.
    const bool slowStores =
        p.fault.kind == FaultKind::kSlowStore || p.fault.kind == FaultKind::kLateStore;
    std::vector<int> all = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    std::shuffle(all.begin(), all.end(), random);
    all.resize(Uniform(random, 1, slowStores ? 2 : settings::kGroupSlotCount));
    std::sort(all.begin(), all.end());
    p.groupSlots = all;
    p.olderFiles = Uniform(random, 0, 1) == 1;

    const int ackLimit = static_cast<int>(device::kAcknowledgementLimit.count());
    const int readLimit = static_cast<int>(device::kReadBackLimit.count());
    switch (p.fault.kind) {
      case FaultKind::kCorruptChunk:
      case FaultKind::kDropChunk:
        p.fault.value = Uniform(random, 0, device::kUploadChunkCount - 1);
        p.fault.fromRead = Uniform(random, 1, 3);
        break;
      case FaultKind::kReadEndOnly:
        p.fault.fromRead = Uniform(random, 1, 3);
        break;
      case FaultKind::kCloseAfter: {
        // At once, right after the greeting, within the first reads, within an upload, late in
        // a group.
        static constexpr std::array<std::pair<int, int>, 5> kRanges = {
            {{0, 0}, {1, 1}, {2, 12}, {13, 40}, {41, 300}}};
        const auto [low, high] = kRanges[Uniform(random, 0, 4)];
        p.fault.value = Uniform(random, low, high);
        break;
      }
      case FaultKind::kLateStore:
        p.fault.value = ackLimit + Uniform(random, 500, 1200);
        break;
      case FaultKind::kSlowStore:
        p.fault.value = Uniform(random, ackLimit / 3, ackLimit * 2 / 3);
        break;
      case FaultKind::kLateRead:
        p.fault.value = readLimit + Uniform(random, 500, 1200);
        break;
      case FaultKind::kSlowRead:
        // Within both limits, and short enough that nine reads in a row stay quick.
        p.fault.value = p.command == Command::kPullAll
                            ? Uniform(random, 200, 500)
                            : Uniform(random, ackLimit / 3, ackLimit / 2);
        break;
      default:
        break;
    }
    plans.push_back(p);
  }
  return plans;
}

// ---- running kdspctl ----

struct Exit {
  int status = -1;  // -1: it did not exit normally
  std::string out;
  std::string err;
};

Exit RunKdspctl(const std::vector<std::string>& words, const fs::path& logDir) {
  std::vector<std::string> args = {KDSPCTL_PATH};
  args.insert(args.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string out = (logDir / "stdout").string(), err = (logDir / "stderr").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  Exit exit;
  if (spawned != 0) {
    exit.err = std::string("cannot start kdspctl: ") + std::strerror(spawned);
    return exit;
  }
  int raw = 0;
  while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
  }
  exit.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  exit.out = testing::ReadBytes(out);
  exit.err = testing::ReadBytes(err);
  return exit;
}

std::vector<std::string> CommandWords(const Plan& p, const fs::path& work) {
  switch (p.command) {
    case Command::kInfo:
      return {"info"};
    case Command::kPull:
      return {"pull", "--slot", SlotText(p.slot), "-o", (work / "pulled.aex").string()};
    case Command::kPush:
      return {"push", (work / "push.aex").string(), "--slot", SlotText(p.slot)};
    case Command::kPullAll:
      return {"pull-all", (work / "backup").string()};
    case Command::kPushGroup:
      return {"push-group", (work / "group" / "Group.set").string()};
  }
  return {};
}

// ---- files ----

// Every file under a folder, by relative path, with its bytes.
using Snapshot = std::map<std::string, std::string>;

Snapshot TakeSnapshot(const fs::path& folder) {
  Snapshot files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), folder).string()] = testing::ReadBytes(entry.path());
  return files;
}

// "pulled.aex changed, backup/x.tmp new": what differs outside the allowed paths.
std::string Differences(const Snapshot& before, const Snapshot& after,
                        const std::vector<std::string>& allowed = {}) {
  std::string text;
  const auto note = [&](const std::string& path, const char* what) {
    if (std::find(allowed.begin(), allowed.end(), path) != allowed.end()) return;
    text += (text.empty() ? "" : ", ") + path + " " + what;
  };
  for (const auto& [path, bytes] : before) {
    const auto it = after.find(path);
    if (it == after.end())
      note(path, "removed");
    else if (it->second != bytes)
      note(path, "changed");
  }
  for (const auto& [path, bytes] : after)
    if (!before.contains(path)) note(path, "new");
  return text;
}

ParameterBlock RandomBlock(std::mt19937& random) {
  ParameterBlock block{};
  for (std::uint8_t& b : block.bytes()) b = static_cast<std::uint8_t>(random());
  return block;
}

ParameterBlock Prepared(ParameterBlock block) {
  device::PrepareBlockForUpload(block);
  return block;
}

// The block of a setting file; nothing when it is not one.
std::optional<ParameterBlock> BlockOf(const fs::path& file) {
  ParameterBlock block{};
  if (!settings::LoadSettingFile(file, block).loaded()) return std::nullopt;
  return block;
}

void WriteBlock(const fs::path& path, const ParameterBlock& block) {
  if (!settings::WriteSettingFile(path, block)) ADD_FAILURE() << "cannot write " << path;
}

// A backup as pull-all leaves one: the nine setting files and the group file naming them.
void WriteBackup(const fs::path& folder, std::mt19937& random) {
  settings::GroupFiles group;
  for (int i = 0; i < settings::kGroupSlotCount; ++i) {
    const fs::path file = settings::UploadSettingFilePath(folder, i);
    WriteBlock(file, Prepared(RandomBlock(random)));
    group[i] = file.string();
  }
  if (!settings::WriteGroupFile(settings::UploadGroupFilePath(folder), group))
    ADD_FAILURE() << "cannot write the group file in " << folder;
}

// The processor's memory before the run: every slot and the working settings different, so a
// block that lands in the wrong place or is read from the wrong one shows.
sim::DeviceState RandomState(std::mt19937& random) {
  sim::DeviceState state = sim::FreshDeviceState();
  for (int s = 0; s < sim::kFilledSlotCount; ++s)
    state.presetSlots[s] = Prepared(RandomBlock(random));
  state.working = Prepared(RandomBlock(random));
  state.musicMaxVolume = static_cast<std::uint8_t>(Uniform(random, 20, 60));
  state.micMaxVolume = static_cast<std::uint8_t>(Uniform(random, 20, 60));
  state.micEqMode = static_cast<std::uint8_t>(Uniform(random, 0, 2));
  return state;
}

// ---- one run ----

struct RunResult {
  Plan plan;
  int status = -1;
  std::string message;              // kdspctl's last line on stderr
  std::vector<std::string> broken;  // the rules it broke
};

// The slot a failure message says was left as it was ("...; slot 3 (3) was left unchanged"),
// 240 for the working settings.
std::optional<std::uint8_t> SlotSaidUnchanged(const std::string& message) {
  const std::size_t end = message.find(" was left unchanged");
  if (end == std::string::npos) return std::nullopt;
  const std::size_t semicolon = message.rfind("; ", end);
  const std::size_t begin = semicolon == std::string::npos ? 0 : semicolon + 2;
  std::string what = message.substr(begin, end - begin);
  if (what.starts_with("kdspctl: ")) what.erase(0, 9);
  if (what == "the working settings") return device::kWorkingSettingsSlot;
  if (what.starts_with("slot ")) return static_cast<std::uint8_t>(std::atoi(what.c_str() + 5));
  return std::nullopt;
}

std::string LastLine(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text.substr(text.rfind('\n') + 1);  // from the start when there is a single line
}

class SoakRun {
 public:
  SoakRun(const Plan& plan, const fs::path& root)
      : plan_(plan), random_(plan.seed), dir_(root / ("run-" + std::to_string(plan.index))) {
    result_.plan = plan;
  }

  RunResult perform() {
    for (const char* sub : {"sim", "work", "log", "truth"}) fs::create_directories(dir_ / sub);
    state_ = dir_ / "sim" / "state";
    std::string error;
    before_ = RandomState(random_);
    if (!sim::WriteStateFile(state_, before_, &error)) {
      broke("cannot write the state file: " + error);
      return result_;
    }
    prepareInputs();
    const Snapshot before = TakeSnapshot(work());

    Exit exit;
    {
      std::vector<std::string> options = {"--state", state_.string()};
      const auto fault = plan_.fault.options();
      options.insert(options.end(), fault.begin(), fault.end());
      SimServer sim(options);
      if (!sim.ok()) {
        broke(sim.error());
        return result_;
      }
      std::vector<std::string> words = {"--connect", sim.url()};
      const auto command = CommandWords(plan_, work());
      words.insert(words.end(), command.begin(), command.end());
      exit = RunKdspctl(words, dir_ / "log");
      if (const int status = sim.stop(); status != 0)
        broke("kdsp-sim ended with status " + std::to_string(status) + ": " + sim.errorOutput());
    }
    result_.status = exit.status;
    result_.message = LastLine(exit.err);
    const Snapshot after = TakeSnapshot(work());

    if (exit.status != 0 && exit.status != 1)
      broke("exit status " + std::to_string(exit.status) + ", stderr: " + exit.err);
    const Outcome expected = Expected(plan_);
    if (expected == Outcome::kSuccess && exit.status == 1)
      broke("failed where nothing it needs was disturbed: " + result_.message);
    if (expected == Outcome::kFailure && exit.status == 0)
      broke("succeeded although the fault takes away what it needs");
    if (exit.status == 1) checkFailure(exit, before, after);
    if (exit.status == 0) checkSuccess(exit, before, after);
    return result_;
  }

 private:
  fs::path work() const { return dir_ / "work"; }

  void broke(const std::string& rule) { result_.broken.push_back(rule); }

  void prepareInputs() {
    switch (plan_.command) {
      case Command::kPush:
        // Raw random bytes: the upload itself must make the block whole (marker, checksum).
        WriteBlock(work() / "push.aex", RandomBlock(random_));
        break;
      case Command::kPushGroup: {
        fs::create_directories(work() / "group");
        settings::GroupFiles group;
        for (int s : plan_.groupSlots) {
          const fs::path file = work() / "group" / (std::to_string(s) + ".aex");
          WriteBlock(file, RandomBlock(random_));
          group[s] = file.string();
        }
        if (!settings::WriteGroupFile(work() / "group" / "Group.set", group))
          broke("cannot write the group file");
        break;
      }
      case Command::kPull:
        if (plan_.olderFiles) WriteBlock(work() / "pulled.aex", Prepared(RandomBlock(random_)));
        break;
      case Command::kPullAll:
        fs::create_directories(work() / "backup");
        if (plan_.olderFiles) WriteBackup(work() / "backup", random_);
        break;
      case Command::kInfo:
        break;
    }
  }

  void checkFailure(const Exit& exit, const Snapshot& before, const Snapshot& after) {
    if (!result_.message.starts_with("kdspctl: ") || result_.message.size() <= 9)
      broke("failed without a message; stderr: '" + exit.err + "'");
    if (const std::string changed = Differences(before, after); !changed.empty())
      broke("failed but left its files changed: " + changed);
    // A failure that says a slot kept its contents must be right about it.
    if (const auto slot = SlotSaidUnchanged(result_.message)) {
      const ParameterBlock& was =
          *slot == device::kWorkingSettingsSlot ? before_.working : before_.presetSlots.at(*slot);
      if (const auto now = truthSlot(*slot); now && BlockOf(*now) != was)
        broke("says " + SlotName(*slot) + " was left unchanged, but it was rewritten");
    }
  }

  // Runs the same kind of command against a processor without faults that has the run's state.
  std::optional<Exit> truth(const std::vector<std::string>& command) {
    SimServer sim({"--state", state_.string()});
    if (!sim.ok()) {
      broke(sim.error());
      return std::nullopt;
    }
    std::vector<std::string> words = {"--connect", sim.url()};
    words.insert(words.end(), command.begin(), command.end());
    Exit exit = RunKdspctl(words, dir_ / "truth");
    if (exit.status != 0) {
      broke("the check without faults (kdspctl " + Join(command) + ") failed: " + exit.err);
      return std::nullopt;
    }
    return exit;
  }

  // Pulls a slot from a processor without faults; the file it was written to.
  std::optional<fs::path> truthSlot(std::uint8_t slot) {
    const fs::path file = dir_ / "truth" / "slot.aex";
    if (!truth({"pull", "--slot", SlotText(slot), "-o", file.string()})) return std::nullopt;
    return file;
  }

  // Pulls the nine slots from a processor without faults; the folder their files went to.
  std::optional<fs::path> truthBackup() {
    const fs::path folder = dir_ / "truth" / "all";
    fs::create_directories(folder);
    if (!truth({"pull-all", folder.string()})) return std::nullopt;
    return folder;
  }

  void checkSuccess(const Exit& exit, const Snapshot& before, const Snapshot& after) {
    switch (plan_.command) {
      case Command::kInfo: {
        if (const std::string changed = Differences(before, after); !changed.empty())
          broke("info changed files: " + changed);
        // The first line names the address, which differs from one processor to the next.
        const auto withoutAddress = [](const std::string& text) {
          return text.substr(std::min(text.size(), text.find('\n') + 1));
        };
        if (const auto t = truth({"info"}); t && withoutAddress(t->out) != withoutAddress(exit.out))
          broke("info printed\n" + exit.out + "where a processor without faults gives\n" + t->out);
        break;
      }
      case Command::kPull: {
        if (const std::string changed = Differences(before, after, {"pulled.aex"});
            !changed.empty())
          broke("pull changed other files: " + changed);
        if (!after.contains("pulled.aex")) {
          broke("pull succeeded but wrote no file");
        } else if (const auto file = truthSlot(plan_.slot);
                   file && testing::ReadBytes(*file) != after.at("pulled.aex")) {
          broke("the file pulled differs from what a processor without faults gives");
        }
        break;
      }
      case Command::kPush: {
        if (const std::string changed = Differences(before, after); !changed.empty())
          broke("push changed files: " + changed);
        const auto pushed = BlockOf(work() / "push.aex");
        if (const auto stored = truthSlot(plan_.slot);
            stored && (!pushed || BlockOf(*stored) != Prepared(*pushed)))
          broke(SlotName(plan_.slot) + " does not hold the block pushed");
        break;
      }
      case Command::kPullAll: {
        std::vector<std::string> allowed = {"backup/Upload.set"};
        for (int i = 0; i < settings::kGroupSlotCount; ++i)
          allowed.push_back(
              fs::relative(settings::UploadSettingFilePath(work() / "backup", i), work()).string());
        if (const std::string changed = Differences(before, after, allowed); !changed.empty())
          broke("pull-all changed other files: " + changed);
        const auto expected = truthBackup();
        if (!expected) break;
        const settings::GroupFiles group =
            settings::ReadGroupFile(settings::UploadGroupFilePath(work() / "backup"));
        for (int i = 0; i < settings::kGroupSlotCount; ++i) {
          const fs::path file = settings::UploadSettingFilePath(work() / "backup", i);
          if (testing::ReadBytes(file) !=
              testing::ReadBytes(settings::UploadSettingFilePath(*expected, i)))
            broke("pull-all's " + file.filename().string() +
                  " differs from what a processor without faults gives");
          std::error_code ec;
          if (group[i].empty() || !fs::equivalent(group[i], file, ec))
            broke("Upload.set names '" + group[i] + "' for slot " + std::to_string(i));
        }
        break;
      }
      case Command::kPushGroup: {
        if (const std::string changed = Differences(before, after); !changed.empty())
          broke("push-group changed files: " + changed);
        const auto stored = truthBackup();
        if (!stored) break;
        for (int s : plan_.groupSlots) {
          const auto pushed = BlockOf(work() / "group" / (std::to_string(s) + ".aex"));
          if (!pushed || BlockOf(settings::UploadSettingFilePath(*stored, s)) != Prepared(*pushed))
            broke("slot " + std::to_string(s) + " does not hold the block of its group file");
        }
        break;
      }
    }
  }

  Plan plan_;
  std::mt19937 random_;
  fs::path dir_;
  fs::path state_;
  sim::DeviceState before_;  // the processor's memory before the run
  RunResult result_;
};

// ---- the soak ----

std::optional<long long> EnvironmentNumber(const char* name) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return std::nullopt;
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (*end != '\0') {
    ADD_FAILURE() << name << "=" << text << " is not a number";
    return std::nullopt;
  }
  return value;
}

void PrintSummary(const std::vector<RunResult>& results) {
  struct Counts {
    int runs = 0, succeeded = 0, failed = 0, broken = 0;
  };
  std::map<std::string, Counts> byCommand, byFault;
  const auto count = [](Counts& c, const RunResult& r) {
    ++c.runs;
    c.succeeded += r.status == 0;
    c.failed += r.status == 1;
    c.broken += !r.broken.empty();
  };
  Counts total;
  for (const RunResult& r : results) {
    count(byCommand[kCommandNames[static_cast<int>(r.plan.command)]], r);
    count(byFault[FaultName(r.plan.fault.kind)], r);
    count(total, r);
  }
  std::printf("\n%-26s %5s %7s %7s %7s\n", "", "runs", "exit 0", "exit 1", "broken");
  const auto row = [](const std::string& name, const Counts& c) {
    std::printf("%-26s %5d %7d %7d %7d\n", name.c_str(), c.runs, c.succeeded, c.failed, c.broken);
  };
  for (const char* name : kCommandNames) row(name, byCommand[name]);
  std::printf("\n");
  for (const FaultRow& f : kFaults) row(f.name, byFault[f.name]);
  std::printf("\n");
  row("all", total);
  std::fflush(stdout);
}

TEST(KdspctlSoakTest, RandomFaultsGiveTrueSuccessesAndCleanFailures) {
  const std::uint32_t seed = static_cast<std::uint32_t>(
      EnvironmentNumber("KDSP_SOAK_SEED").value_or(std::random_device()()));
  const std::optional<long long> only = EnvironmentNumber("KDSP_SOAK_RUN");
  std::printf("soak seed %u: KDSP_SOAK_SEED=%u replays it, KDSP_SOAK_RUN=I only its run I\n", seed,
              seed);
  std::fflush(stdout);

  std::vector<Plan> plans = MakePlans(seed);
  if (only) {
    ASSERT_TRUE(*only >= 0 && *only < kRuns) << "KDSP_SOAK_RUN takes 0.." << kRuns - 1;
    plans = {plans[static_cast<std::size_t>(*only)]};
  }
  testing::TempDir root;
  std::vector<RunResult> results(plans.size());
  std::atomic<std::size_t> next = 0;
  std::mutex printing;
  const auto worker = [&] {
    for (std::size_t i; (i = next++) < plans.size();) {
      results[i] = SoakRun(plans[i], root.path()).perform();
      const RunResult& r = results[i];
      std::lock_guard lock(printing);
      std::printf("run %2d  %-60s exit %2d%s  %s\n", r.plan.index, Describe(r.plan).c_str(),
                  r.status, r.broken.empty() ? "" : "  BROKE A RULE", r.message.c_str());
      std::fflush(stdout);
    }
  };
  std::vector<std::thread> threads;
  for (int w = 0; w < kWorkers; ++w) threads.emplace_back(worker);
  for (std::thread& t : threads) t.join();

  PrintSummary(results);
  for (const RunResult& r : results)
    for (const std::string& rule : r.broken)
      ADD_FAILURE() << "run " << r.plan.index << " (KDSP_SOAK_SEED=" << seed
                    << " KDSP_SOAK_RUN=" << r.plan.index << "): kdspctl " << Describe(r.plan)
                    << ": " << rule;
}

// The helper the soak stands on: a kdsp-sim that cannot start is a test failure that says why,
// never a wait for a line that will not come.
TEST(SimServerTest, ProgramThatEndsBeforeListeningFailsTheTestWithItsStatus) {
  EXPECT_NONFATAL_FAILURE(
      {
        SimServer sim({"--drop-chunk", "30"});
        EXPECT_FALSE(sim.ok());
      },
      "ended with status 2 before it said where it listens; it said: kdsp-sim: bad value '30' "
      "for --drop-chunk");
  SimServer sim({"--read-end-only"});
  ASSERT_TRUE(sim.ok()) << sim.error();
  EXPECT_EQ(sim.url(), "tcp://127.0.0.1:" + sim.port());
  EXPECT_GT(std::stoi(sim.port()), 0);
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_EQ(sim.stop(), -1);
}

}  // namespace
}  // namespace kdsp
