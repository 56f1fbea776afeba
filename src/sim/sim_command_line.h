// The command line of kdsp-sim: where to listen, the state file and the misbehaviour switches.
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
  std::optional<std::filesystem::path> stateFile;
  SimOptions options;
  bool verbose = false;
  bool help = false;
};

struct SimCommandLineParse {
  std::optional<SimCommandLine> line;  // nothing when the arguments are wrong
  std::string error;                   // why, for the user
};

// Parses the arguments after the program name. Options take their value as the next argument
// or after "=" ("--listen=127.0.0.1:0").
SimCommandLineParse ParseSimCommandLine(std::span<const std::string_view> args);

std::string_view SimUsage();

}  // namespace kdsp::sim
