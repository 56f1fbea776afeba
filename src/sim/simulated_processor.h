// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated processor: takes the record stream the program sends and answers it the way
// the device does (an acknowledgement per record, the version and status replies, block
// read-back in chunks, stores into its slots), with switches that make it misbehave for tests.
// Transport-free: the TCP server and the virtual HID device carry its bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/record_receiver.h"
#include "settings/parameter_block.h"
#include "sim/sim_device_state.h"
#include "sim/sim_options.h"

namespace kdsp::sim {

class SimulatedProcessor {
 public:
  explicit SimulatedProcessor(SimOptions options = {});
  // The record receiver calls back into this object.
  SimulatedProcessor(const SimulatedProcessor&) = delete;
  SimulatedProcessor& operator=(const SimulatedProcessor&) = delete;

  // Feeds bytes received from the program: the record text stream as it comes over TCP, or the
  // text taken out of an HID output report. Returns the replies in the order they must go out.
  // Once the link is dropped, input is ignored until beginLink().
  std::vector<SimReply> receive(std::span<const std::uint8_t> bytes);
  std::vector<SimReply> receive(std::string_view text);

  // A new connection (or plug-in) starts: a record begun on the old link is forgotten and the
  // close-after count starts again. Slots, working settings and the rest are kept.
  void beginLink();
  // The close-after count was reached: the carrier closes the connection (or unplugs).
  bool linkDropped() const { return dropped_; }
  // Valid records received on the current link.
  int recordsReceived() const { return received_; }

  const SimOptions& options() const { return options_; }
  // Changes how it behaves from the next record on (a test's fault switched on mid-session).
  void setOptions(const SimOptions& options) { options_ = options; }
  const DeviceState& state() const { return state_; }
  const settings::ParameterBlock& working() const { return state_.working; }
  // Slot s (0..11); any other number reads as an erased slot.
  const settings::ParameterBlock& slot(int s) const;

  // The values the status reply reports.
  std::uint8_t musicMaxVolume() const { return state_.musicMaxVolume; }
  std::uint8_t micMaxVolume() const { return state_.micMaxVolume; }
  std::uint8_t micEqMode() const { return state_.micEqMode; }
  std::uint8_t panelUnlocked() const { return state_.unlocked ? 255 : 0; }
  std::uint16_t lockPassword() const { return state_.password; }
  std::uint8_t pinkNoiseMask() const { return state_.pinkNoiseMask; }

  // The state file keeps the 12 slots, the working block, both maximum volumes, the mic EQ
  // mode and the panel lock across runs. A lock given in the options wins over the saved one.
  // On failure nothing changes and error says why.
  bool loadState(const std::filesystem::path& path, std::string* error);
  bool saveState(const std::filesystem::path& path, std::string* error) const;

  // One decoded line per record received (see DescribeRecord).
  std::function<void(std::string_view line)> onRecordLog;
  // After every store record (226) that was applied, with its slot number (240 for the working
  // settings); the TCP server saves the state file here.
  std::function<void(std::uint8_t slot)> onStore;

 private:
  device::RecordReceiver makeReceiver();
  void onRecord(std::uint8_t command, std::span<const std::uint8_t> payload);
  void reply(std::uint8_t command, std::span<const std::uint8_t> payload);
  void answerGreeting();
  void answerRead(std::span<const std::uint8_t> payload);
  void takeChunk(std::span<const std::uint8_t> payload);
  void store(std::span<const std::uint8_t> payload);
  void applyLockOption();

  SimOptions options_;
  DeviceState state_;
  // Chunks of an upload land here; a store copies it into its slot.
  settings::ParameterBlock staging_;
  device::RecordReceiver receiver_;
  std::vector<SimReply> replies_;
  int received_ = 0;
  int readsOnLink_ = 0;
  bool dropped_ = false;
  // The delay of every reply to the record being answered.
  int replyDelayMs_ = 0;
};

// "229 (E5) greeting: 00": the code in decimal and hex, its name and the payload in hex.
std::string DescribeRecord(std::uint8_t command, std::span<const std::uint8_t> payload);

}  // namespace kdsp::sim
