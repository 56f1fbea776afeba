// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of kdsp-sim: where to listen, the state file and the misbehaviour switches.
// The processor's own options (state file, version, lock, faults) are parsed by one function and
// described by one usage text, shared with every other program that carries the simulator.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/sim_options.h"

namespace kdsp::sim {

struct SimCommandLine {
  std::string host = "127.0.0.1";
  std::uint16_t port = 8899;  // 0: the system picks a free port
  // How many independent processors: on consecutive ports from `port`, or each on a free port.
  int count = 1;
  std::optional<std::filesystem::path> stateFile;
  SimOptions options;
  bool verbose = false;
  bool help = false;
  bool version = false;  // print the program's version and stop
};

struct SimCommandLineParse {
  std::optional<SimCommandLine> line;  // nothing when the arguments are wrong
  std::string error;                   // why, for the user
};

// Parses the arguments after the program name. Options take their value as the next argument
// or after "=" ("--listen=127.0.0.1:0").
SimCommandLineParse ParseSimCommandLine(std::span<const std::string_view> args);

std::string_view SimUsage();

inline constexpr int kMostSimProcessors = 1000;

// The state file of processor `number` (1..) of several: "rooms.json" -> "rooms-3.json".
std::filesystem::path NumberedStateFile(const std::filesystem::path& file, int number);

// What the simulated processor's own options set, whichever program carries it.
struct SimProcessorArguments {
  std::optional<std::filesystem::path> stateFile;
  SimOptions options;
};

enum class SimOptionMatch {
  kNotOne,  // args[index] is not a processor option: nothing changed
  kTaken,   // it was, and index now points at its last argument (the value, when separate)
  kWrong,   // it was, but its value is missing or bad: error says why
};

// Offers args[index] to the processor's options (--state, --firmware-version, --locked, --no-ack,
// --ack-delay-ms, --slow-reply, --corrupt-chunk, --drop-chunk, --read-end-only,
// --read-faults-from, --close-after), with the value as the next argument or after "=".
SimOptionMatch TakeSimProcessorOption(std::span<const std::string_view> args, std::size_t& index,
                                      SimProcessorArguments& into, std::string& error);

// The part of a usage text that describes those options, one block of lines.
std::string_view SimProcessorOptionsUsage();

// A number written in hexadecimal with at most maxDigits digits, "21" or "0x21".
std::optional<unsigned> ParseHexNumber(std::string_view text, std::size_t maxDigits);

}  // namespace kdsp::sim
