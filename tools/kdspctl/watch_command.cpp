// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl watch: the processor sends nothing unasked, so besides printing every record it sends,
// watch reads the working settings now and then and prints what changed since the last read
// (a change on the front panel or from the program).
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "command_options.h"
#include "device/command_codes.h"
#include "device/event_loop_wait.h"
#include "device/replies.h"
#include "live_commands.h"
#include "record_decode.h"
#include "settings/block_fields.h"
#include "stop_signals.h"

namespace kdsp::tools {
namespace {

using device::kWorkingSettingsSlot;

void PrintLine(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);  // a watcher reads as it happens, through a pipe as on a terminal
}

void PrintChange(const std::string& name, const std::string& before, const std::string& after) {
  if (before != after) PrintLine(name + ": " + before + " -> " + after);
}

// What a status reply says beside the block, by the names kdspctl info uses.
void PrintStatusChanges(const device::StatusReply& before, const device::StatusReply& after) {
  PrintChange("music max volume", std::to_string(before.musicMaxVolume),
              std::to_string(after.musicMaxVolume));
  PrintChange("mic max volume", std::to_string(before.micMaxVolume),
              std::to_string(after.micMaxVolume));
  PrintChange("mic EQ mode", std::to_string(before.micEqMode), std::to_string(after.micEqMode));
  PrintChange("front panel", before.panelUnlocked ? "unlocked" : "locked",
              after.panelUnlocked ? "unlocked" : "locked");
}

void PrintBlockChanges(const settings::ParameterBlock& before,
                       const settings::ParameterBlock& after) {
  const auto a = settings::DescribeBlock(before);
  const auto b = settings::DescribeBlock(after);
  for (std::size_t i = 0; i < a.size(); ++i) PrintChange(a[i].name, a[i].text, b[i].text);
}

// Every record the processor sends, and the changes of its status, as they arrive.
class RecordPrinter {
 public:
  explicit RecordPrinter(bool allRecords) : allRecords_(allRecords) {}
  void watch(DeviceSession& session) {
    session.link().setReplyTap([this](std::uint8_t command, std::span<const std::uint8_t> payload) {
      print(command, payload);
    });
  }
  // While watch reads the block, the replies to its own requests are its business.
  void setReading(bool reading) { reading_ = reading; }

 private:
  void print(std::uint8_t command, std::span<const std::uint8_t> payload) {
    using namespace device::code;
    const bool ownRead =
        reading_ && (command == kChunkReply || command == kEndReply || command == kAcknowledge);
    if (!ownRead || allRecords_) PrintLine(DescribeRecord(command, payload));
    if (command != kStatus) return;
    if (const auto status = device::ParseStatusReply(payload)) {
      if (lastStatus_) PrintStatusChanges(*lastStatus_, *status);
      lastStatus_ = status;
    }
  }

  bool allRecords_;
  bool reading_ = false;
  std::optional<device::StatusReply> lastStatus_;
};

}  // namespace

int RunWatch(const ConnectTarget& target, const Args& args) {
  const char* usage =
      "usage: kdspctl [--connect URL] watch [--every MS] [--all-records] [--password P]";
  const Options options =
      ParseOptions(args, {"--every", "--password"}, {"--all-records"}, 0, usage);
  const long every = ParseNumber(options.value("--every").value_or("1000"), 50, 3600000, "--every");
  const auto password = PasswordOption(options);
  RecordPrinter printer(options.has("--all-records"));
  const StopSignals stop;

  // The WiFi module serves one connection at a time: over TCP watch holds it only while it
  // reads, so the program and other tools can reach the processor in between. A processor on
  // USB (or simulated in this process) is held throughout.
  const bool holdConnection = target.kind != ConnectTarget::Kind::kTcp;
  std::unique_ptr<DeviceSession> session;
  auto read = [&] {
    if (!session) {
      session = std::make_unique<DeviceSession>(target);
      printer.watch(*session);
      session->open();
      session->requireUnlocked(password);
    }
    printer.setReading(true);
    const settings::ParameterBlock block = ReadSlot(*session, kWorkingSettingsSlot);
    printer.setReading(false);
    if (!holdConnection) session.reset();
    return block;
  };
  settings::ParameterBlock last = read();
  std::fprintf(stderr, "watching %s; every %ld ms the working settings are read (Ctrl+C ends)\n",
               target.describe().c_str(), every);
  while (!stop.requested()) {
    device::WaitUntil(
        [&] { return stop.requested() || (session && !session->link().state().connected); },
        std::chrono::milliseconds(every));
    if (stop.requested()) break;
    if (session && !session->link().state().connected)
      throw CommandFailure(session->lostLinkText());
    const settings::ParameterBlock now = read();
    PrintBlockChanges(last, now);
    last = now;
  }
  std::fprintf(stderr, "watch ended\n");
  return 0;
}

}  // namespace kdsp::tools
