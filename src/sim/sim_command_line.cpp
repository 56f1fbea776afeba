// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing the kdsp-sim command line, and the simulated processor options it shares with the
// other programs that carry the simulator.
#include "sim/sim_command_line.h"

#include <utility>

#include "core/whole_number.h"
#include "device/block_transfer.h"

namespace kdsp::sim {
namespace {

constexpr std::string_view kUsageHead =
    "usage: kdsp-sim [--listen HOST:PORT] [--count N] [--state FILE]\n"
    "                [--firmware-version HEX] [--locked PASSWORD]\n"
    "                [--no-ack] [--ack-delay-ms N] [--slow-reply CODE:MS]...\n"
    "                [--corrupt-chunk K] [--drop-chunk K] [--read-end-only]\n"
    "                [--read-faults-from N] [--close-after N] [--verbose]\n"
    "\n"
    "A simulated processor on a TCP port, speaking the device side of the record protocol.\n"
    "\n"
    "  --listen HOST:PORT   address to listen on (default 127.0.0.1:8899; port 0 picks a free\n"
    "                       port); prints \"listening on HOST:PORT\" once ready\n"
    "  --count N            N independent processors (1..1000), each with its own slots and\n"
    "                       state, on ports PORT, PORT+1, ... (with port 0 each on a free\n"
    "                       port); one \"listening on\" line each, in order. With --state FILE,\n"
    "                       processor i keeps FILE-i (rooms.json: rooms-1.json, rooms-2.json\n"
    "                       ...); the faults below apply to every one\n";

constexpr std::string_view kProcessorOptionsUsage =
    "  --state FILE         keep the slots, working settings, maximum volumes and panel lock in\n"
    "                       FILE: read at start when it exists (else written then), written\n"
    "                       after every store and at exit\n"
    "  --firmware-version HEX\n"
    "                       answer the greeting with this version byte (default 21)\n"
    "  --locked PASSWORD    start with the front panel locked under PASSWORD (0..999)\n"
    "\n"
    "Faults, for tests:\n"
    "  --no-ack             never acknowledge a record\n"
    "  --ack-delay-ms N     send every reply N milliseconds late (0..60000)\n"
    "  --slow-reply CODE:MS send the replies to records of command CODE (0..255, or 0x00..0xFF;\n"
    "                       224 read request, 225 block chunk, 226 store, 229 greeting) MS\n"
    "                       milliseconds late (0..60000), on top of --ack-delay-ms; replies\n"
    "                       keep their order, so later ones wait behind; may be repeated\n"
    "  --corrupt-chunk K    chunk K (0..29) of every read-back carries a wrong byte\n"
    "  --drop-chunk K       chunk K (0..29) of every read-back is left out; the rest and the\n"
    "                       end record are sent\n"
    "  --read-end-only      answer every read request with the end record alone, no chunks\n"
    "  --read-faults-from N the three faults above spoil the reads of each connection from\n"
    "                       its Nth on (default 1: every read); the earlier ones are whole\n"
    "  --close-after N      close each connection (unplug, for a USB device) as soon as its\n"
    "                       first N records have been answered; records after the Nth go\n"
    "                       unanswered (0: close at once)\n";

constexpr std::string_view kUsageTail =
    "\n"
    "  --verbose            print every record received, one a line\n"
    "  --version            print the program's version\n"
    "  --help               print this text\n"
    "\n"
    "Each processor serves one connection at a time; further connections wait until it\n"
    "closes.\n"
    "Exit status: 0 after SIGINT or SIGTERM; 1 when the address cannot be listened on or the\n"
    "state cannot be saved; 2 for wrong arguments or a state file that cannot be used.\n";

std::optional<long> ParseDecimal(std::string_view text, long low, long high) {
  const core::WholeNumber read = core::ReadWholeNumber(text, low, high);
  if (!read) return std::nullopt;
  return static_cast<long>(read.value);
}

// A command code in decimal, or in hexadecimal after "0x" as the record text writes it.
std::optional<std::uint8_t> ParseCommandCode(std::string_view text) {
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  const core::WholeNumber read =
      core::ReadWholeNumber(hex ? text.substr(2) : text, 0, 255, hex ? 16 : 10);
  if (!read) return std::nullopt;
  return static_cast<std::uint8_t>(read.value);
}

// "HOST:PORT"; an IPv6 host is written in brackets, "[::1]:8899".
bool ParseListen(std::string_view text, SimCommandLine& line) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return false;
  std::string_view host = text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  const auto port = ParseDecimal(text.substr(colon + 1), 0, 65535);
  if (host.empty() || !port) return false;
  line.host = std::string(host);
  line.port = static_cast<std::uint16_t>(*port);
  return true;
}

std::string Bad(std::string_view option, std::string_view value, std::string_view expected) {
  return "bad value '" + std::string(value) + "' for " + std::string(option) + ": expected " +
         std::string(expected);
}

// Applies one processor option that takes a value; returns the error, empty when it was good.
std::string ApplyValue(std::string_view option, std::string_view value,
                       SimProcessorArguments& into) {
  SimOptions& o = into.options;
  if (option == "--state") {
    if (value.empty()) return Bad(option, value, "a file name");
    into.stateFile = std::filesystem::path(value);
  } else if (option == "--firmware-version") {
    const auto v = ParseHexNumber(value, 2);
    if (!v) return Bad(option, value, "a hexadecimal byte such as 21");
    o.version = static_cast<std::uint8_t>(*v);
  } else if (option == "--locked") {
    const auto v = ParseDecimal(value, 0, 999);
    if (!v) return Bad(option, value, "a password 0..999");
    o.lockedPassword = static_cast<std::uint16_t>(*v);
  } else if (option == "--ack-delay-ms") {
    const auto v = ParseDecimal(value, 0, 60000);
    if (!v) return Bad(option, value, "milliseconds 0..60000");
    o.ackDelayMs = static_cast<int>(*v);
  } else if (option == "--slow-reply") {
    // "226:3500"; the same code given again takes the later delay.
    const std::size_t colon = value.find(':');
    const auto command =
        colon == value.npos ? std::nullopt : ParseCommandCode(value.substr(0, colon));
    const auto ms =
        colon == value.npos ? std::nullopt : ParseDecimal(value.substr(colon + 1), 0, 60000);
    if (!command || !ms)
      return Bad(option, value,
                 "CODE:MS with CODE a command code 0..255 or 0x00..0xFF and MS milliseconds "
                 "0..60000");
    o.slowReplyMs[*command] = static_cast<int>(*ms);
  } else if (option == "--corrupt-chunk" || option == "--drop-chunk") {
    const auto v = ParseDecimal(value, 0, device::kUploadChunkCount - 1);
    if (!v) return Bad(option, value, "a chunk number 0..29");
    (option == "--corrupt-chunk" ? o.corruptChunk : o.dropChunk) = static_cast<int>(*v);
  } else if (option == "--read-faults-from") {
    const auto v = ParseDecimal(value, 1, 1000000000);
    if (!v) return Bad(option, value, "a read number 1..1000000000");
    o.readFaultsFrom = static_cast<int>(*v);
  } else if (option == "--close-after") {
    const auto v = ParseDecimal(value, 0, 1000000000);
    if (!v) return Bad(option, value, "a number of records 0..1000000000");
    o.closeAfter = static_cast<int>(*v);
  }
  return {};
}

bool TakesValue(std::string_view option) {
  for (std::string_view o :
       {"--state", "--firmware-version", "--locked", "--ack-delay-ms", "--slow-reply", "--corrupt-chunk",
        "--drop-chunk", "--read-faults-from", "--close-after"})
    if (o == option) return true;
  return false;
}

// The processor switch an option without a value turns on; nullptr when it is not one.
bool* FlagOf(std::string_view option, SimOptions& options) {
  if (option == "--no-ack") return &options.noAck;
  if (option == "--read-end-only") return &options.readEndOnly;
  return nullptr;
}

// "--option=value" split in two; a lone "--option" has no value.
std::pair<std::string_view, std::optional<std::string_view>> SplitOption(std::string_view arg) {
  if (const std::size_t eq = arg.find('='); arg.starts_with("--") && eq != arg.npos)
    return {arg.substr(0, eq), arg.substr(eq + 1)};
  return {arg, std::nullopt};
}

// The value of an option at args[index]: after "=", or the next argument (index moves onto it).
std::optional<std::string_view> OptionValue(std::span<const std::string_view> args,
                                            std::size_t& index,
                                            std::optional<std::string_view> afterEquals) {
  if (afterEquals) return afterEquals;
  if (index + 1 < args.size()) return args[++index];
  return std::nullopt;
}

}  // namespace

SimOptionMatch TakeSimProcessorOption(std::span<const std::string_view> args, std::size_t& index,
                                      SimProcessorArguments& into, std::string& error) {
  const auto [option, value] = SplitOption(args[index]);
  if (bool* flag = FlagOf(option, into.options)) {
    if (value) {
      error = std::string(option) + " takes no value";
      return SimOptionMatch::kWrong;
    }
    *flag = true;
    return SimOptionMatch::kTaken;
  }
  if (!TakesValue(option)) return SimOptionMatch::kNotOne;
  const std::optional<std::string_view> given = OptionValue(args, index, value);
  if (!given) {
    error = std::string(option) + " needs a value";
    return SimOptionMatch::kWrong;
  }
  error = ApplyValue(option, *given, into);
  return error.empty() ? SimOptionMatch::kTaken : SimOptionMatch::kWrong;
}

std::string_view SimProcessorOptionsUsage() {
  return kProcessorOptionsUsage;
}

SimCommandLineParse ParseSimCommandLine(std::span<const std::string_view> args) {
  SimCommandLine line;
  SimProcessorArguments processor;
  const auto failed = [](std::string error) { return SimCommandLineParse{std::nullopt, error}; };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    switch (TakeSimProcessorOption(args, i, processor, error)) {
      case SimOptionMatch::kTaken:
        continue;
      case SimOptionMatch::kWrong:
        return failed(error);
      case SimOptionMatch::kNotOne:
        break;
    }
    const auto [option, value] = SplitOption(args[i]);
    if (option == "--help" || option == "-h") {
      line.help = true;
    } else if (option == "--verbose") {
      if (value) return failed("--verbose takes no value");
      line.verbose = true;
    } else if (option == "--version") {
      // The greeting's answer was once set with "--version HEX"; say where it went.
      if (value) return failed("--version takes no value (the greeting's answer is set with "
                               "--firmware-version HEX)");
      line.version = true;
    } else if (option == "--count" || option == "--listen") {
      const std::optional<std::string_view> given = OptionValue(args, i, value);
      if (!given) return failed(std::string(option) + " needs a value");
      if (option == "--count") {
        const auto count = ParseDecimal(*given, 1, kMostSimProcessors);
        if (!count) return failed(Bad(option, *given, "a number of processors 1..1000"));
        line.count = static_cast<int>(*count);
      } else if (!ParseListen(*given, line)) {
        return failed(Bad(option, *given, "HOST:PORT with PORT 0..65535"));
      }
    } else {
      return failed("unknown argument '" + std::string(args[i]) + "'");
    }
  }
  line.stateFile = processor.stateFile;
  line.options = processor.options;
  if (line.port != 0 && line.port + line.count - 1 > 65535)
    return failed("--count " + std::to_string(line.count) + " processors from port " +
                  std::to_string(line.port) + " run past port 65535");
  return {line, {}};
}

std::string_view SimUsage() {
  static const std::string usage =
      std::string(kUsageHead) + std::string(kProcessorOptionsUsage) + std::string(kUsageTail);
  return usage;
}

std::filesystem::path NumberedStateFile(const std::filesystem::path& file, int number) {
  std::filesystem::path numbered = file;
  numbered.replace_filename(file.stem().string() + "-" + std::to_string(number) +
                            file.extension().string());
  return numbered;
}

std::optional<unsigned> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  if (text.size() > maxDigits) return std::nullopt;
  const core::WholeNumber read = core::ReadWholeNumber(text, 0, 0xFFFFFFFF, 16);
  if (!read) return std::nullopt;
  return static_cast<unsigned>(read.value);
}

}  // namespace kdsp::sim
