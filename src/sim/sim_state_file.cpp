// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and reading the simulator's state file.
#include "sim/sim_state_file.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <set>
#include <vector>

#include "device/record_codec.h"
#include "settings/file_read.h"
#include "settings/safe_file_write.h"

namespace kdsp::sim {
namespace {

constexpr std::string_view kFirstLine = "kdsp-sim state 1";
// Far more than a state file takes (about 19 kB); anything longer is not one.
constexpr std::size_t kMaxFileSize = 64 * 1024;

void AppendBlock(std::string& out, const settings::ParameterBlock& block) {
  for (std::uint8_t b : block.bytes()) {
    const auto hex = device::ByteToHex(b);
    out.append(hex.data(), hex.size());
  }
  out += '\n';
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

std::optional<settings::ParameterBlock> ParseBlock(std::string_view hex) {
  if (hex.size() != 2 * settings::kBlockSize) return std::nullopt;
  settings::ParameterBlock block;
  auto bytes = block.bytes();
  for (std::size_t i = 0; i < settings::kBlockSize; ++i) {
    const std::string_view pair = hex.substr(2 * i, 2);
    unsigned value = 0;
    if (!IsHexDigit(pair[0]) || !IsHexDigit(pair[1]) ||
        std::from_chars(pair.data(), pair.data() + 2, value, 16).ec != std::errc())
      return std::nullopt;
    bytes[i] = static_cast<std::uint8_t>(value);
  }
  return block;
}

std::optional<unsigned> ParseNumber(std::string_view text, unsigned high) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > high)
    return std::nullopt;
  return value;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t start = line.find_first_not_of(" \t", at);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
    words.push_back(line.substr(start, end - start));
    at = end;
  }
  return words;
}

// One parse of a file: which keys were seen, and where the fault was.
class StateParser {
 public:
  explicit StateParser(DeviceState& state) : state_(state) {}

  bool line(int number, std::string_view text) {
    number_ = number;
    const auto words = Words(text);
    if (words.empty() || words[0].starts_with('#')) return true;
    const std::string_view key = words[0];
    if (key == "slot") return slotLine(words);
    if (words.size() != 2) return fail("expected '" + std::string(key) + " VALUE'");
    const std::string_view value = words[1];
    if (key == "music-max") return number8(key, value, 255, state_.musicMaxVolume);
    if (key == "mic-max") return number8(key, value, 255, state_.micMaxVolume);
    if (key == "mic-eq-mode") return number8(key, value, 2, state_.micEqMode);
    if (key == "password") {
      const auto n = ParseNumber(value, 65535);
      if (!n) return fail("password must be a number 0..65535");
      state_.password = static_cast<std::uint16_t>(*n);
      return seen(key);
    }
    if (key == "panel") {
      if (value != "locked" && value != "unlocked") return fail("panel must be locked or unlocked");
      state_.unlocked = value == "unlocked";
      return seen(key);
    }
    if (key == "working") return block(std::string(key), value, state_.working);
    return fail("unknown key '" + std::string(key) + "'");
  }

  bool complete(std::string* error) const {
    for (std::string_view key :
         {"music-max", "mic-max", "mic-eq-mode", "panel", "password", "working"}) {
      if (!seen_.contains(std::string(key))) {
        *error = "missing '" + std::string(key) + "'";
        return false;
      }
    }
    for (int s = 0; s < kSlotCount; ++s) {
      if (!seen_.contains("slot " + std::to_string(s))) {
        *error = "missing 'slot " + std::to_string(s) + "'";
        return false;
      }
    }
    return true;
  }

  const std::string& error() const { return error_; }

 private:
  bool slotLine(const std::vector<std::string_view>& words) {
    if (words.size() != 3) return fail("expected 'slot N HEX'");
    const auto s = ParseNumber(words[1], kSlotCount - 1);
    if (!s) return fail("slot number must be 0.." + std::to_string(kSlotCount - 1));
    return block("slot " + std::to_string(*s), words[2], state_.presetSlots[*s]);
  }
  bool number8(std::string_view key, std::string_view value, unsigned high, std::uint8_t& to) {
    const auto n = ParseNumber(value, high);
    if (!n) return fail(std::string(key) + " must be a number 0.." + std::to_string(high));
    to = static_cast<std::uint8_t>(*n);
    return seen(key);
  }
  bool block(const std::string& key, std::string_view hex, settings::ParameterBlock& to) {
    const auto parsed = ParseBlock(hex);
    if (!parsed)
      return fail(key + " must be " + std::to_string(2 * settings::kBlockSize) +
                  " hexadecimal digits");
    to = *parsed;
    return seen(key);
  }
  bool seen(std::string_view key) {
    if (!seen_.insert(std::string(key)).second)
      return fail(std::string("'").append(key).append("' given twice"));
    return true;
  }
  bool fail(const std::string& what) {
    error_ = "line " + std::to_string(number_) + ": " + what;
    return false;
  }

  DeviceState& state_;
  std::set<std::string> seen_;
  std::string error_;
  int number_ = 0;
};

}  // namespace

std::string EncodeStateFile(const DeviceState& state) {
  std::string out;
  out.reserve(20 * 1024);
  out += kFirstLine;
  out += "\nmusic-max " + std::to_string(state.musicMaxVolume);
  out += "\nmic-max " + std::to_string(state.micMaxVolume);
  out += "\nmic-eq-mode " + std::to_string(state.micEqMode);
  out += state.unlocked ? "\npanel unlocked" : "\npanel locked";
  out += "\npassword " + std::to_string(state.password);
  out += "\nworking ";
  AppendBlock(out, state.working);
  for (int s = 0; s < kSlotCount; ++s) {
    out += "slot " + std::to_string(s) + " ";
    AppendBlock(out, state.presetSlots[s]);
  }
  return out;
}

bool DecodeStateFile(std::string_view text, DeviceState& out, std::string* error) {
  DeviceState state = out;
  StateParser parser(state);
  std::string discard;
  std::string& why = error ? *error : discard;
  bool first = true;
  int number = 0;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (first) {
      if (line != kFirstLine) {
        why = "not a kdsp-sim state file (its first line is not '" + std::string(kFirstLine) + "')";
        return false;
      }
      first = false;
      continue;
    }
    if (!parser.line(number, line)) {
      why = parser.error();
      return false;
    }
  }
  if (first) {
    why = "the file is empty";
    return false;
  }
  if (!parser.complete(&why)) return false;
  SeedEchoOffsets(state);
  out = state;
  return true;
}

bool ReadStateFile(const std::filesystem::path& path, DeviceState& out, std::string* error) {
  const auto text = settings::ReadFileHead(path, kMaxFileSize + 1);
  if (!text) {
    if (error) *error = "cannot read " + path.string();
    return false;
  }
  if (text->size() > kMaxFileSize) {
    if (error) *error = path.string() + ": too large for a kdsp-sim state file";
    return false;
  }
  std::string why;
  if (!DecodeStateFile(*text, out, &why)) {
    if (error) *error = path.string() + ": " + why;
    return false;
  }
  return true;
}

bool WriteStateFile(const std::filesystem::path& path, const DeviceState& state,
                    std::string* error) {
  const settings::WriteResult result = settings::WriteFileSafely(path, EncodeStateFile(state));
  if (!result && error) *error = result.message;
  return result.ok;
}

}  // namespace kdsp::sim
