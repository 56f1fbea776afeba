// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers the kdspctl commands share: number parsing, loading a setting file with a clear
// message, and the error type commands report with.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"

namespace kdsp::tools {

// A user error: printed on stderr as "kdspctl: <message>", exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A command that could not do its work (the processor, a file): printed as
// "kdspctl: <message>", exit status 1.
class CommandFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A decimal number within [low, high], as core::ReadWholeNumber reads it; throws UsageError
// naming what was given ("--jobs '--3' is not a number", "--slot 12 is out of range 0..9").
long ParseNumber(std::string_view text, long low, long high, std::string_view what);
// A byte in decimal or, after "0x", in hexadecimal; throws UsageError as ParseNumber does.
std::uint8_t ParseByte(std::string_view text, std::string_view what);

// Loads a setting file; throws UsageError with the reason when it cannot be used.
settings::ParameterBlock LoadBlockOrExplain(const std::string& path);

using Args = std::vector<std::string_view>;

// The page a command works on, as "--page PAGE [--mic-set a|b]" names it.
struct PageChoice {
  const settings::PageParameters* page = nullptr;
  bool secondSet = false;  // the Mic Equalizer's second band set
};

// Reads "--page PAGE" or "--mic-set a|b" at args[i] into choice and moves i onto its value;
// false when args[i] is neither. An unknown page throws UsageError ending with usage.
bool TakePageOption(const Args& args, std::size_t& i, PageChoice& choice, std::string_view usage);

}  // namespace kdsp::tools
