// SPDX-License-Identifier: GPL-3.0-or-later
// A connection to one processor for one kdspctl command: over USB, over TCP through the WiFi
// path, or to a simulated processor inside this process.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "cli_support.h"
#include "command_output.h"
#include "connect_url.h"
#include "device/device_link.h"
#include "device/hid_device_controller.h"
#include "device/hid_platform.h"
#include "settings/parameter_block.h"

namespace kdsp::tools {

// Messages go to the command's output, but for those about a block read: ReadSlot tells what
// became of every read itself. Questions are answered as a script would, at once: No, and no
// text.
class ConsolePrompts : public core::UserPrompts {
 public:
  explicit ConsolePrompts(CommandOutput& out) : out_(out) {}
  void showMessage(std::string_view text) override;
  bool askYesNo(std::string_view, std::string_view) override { return false; }
  void askYesNoAsync(std::string_view, std::string_view,
                     std::function<void(bool yes)> answered) override {
    answered(false);
  }
  std::optional<std::string> askText(std::string_view, std::string_view,
                                     std::string_view) override {
    return std::nullopt;
  }

 private:
  CommandOutput& out_;
};

// The platform a target lists its HID devices on: the machine's, or one that holds the
// simulated processor.
std::unique_ptr<device::HidPlatform> MakePlatform(const ConnectTarget& target);

class StopGate;
struct TargetContext;

class DeviceSession {
 public:
  // Messages go to stderr.
  explicit DeviceSession(const ConnectTarget& target);
  // Messages go to the context's output; once its run is told to stop, nothing more is written
  // to the processor.
  explicit DeviceSession(const TargetContext& context);
  ~DeviceSession();

  // Finds the processor, greets it and waits for the accepted version; throws CommandFailure.
  void open();
  // Waits for the status reply that follows the greeting; throws CommandFailure.
  const device::StatusReply& status();
  // Refuses to go on with a locked front panel unless the password is given and right.
  void requireUnlocked(const std::optional<long>& password);

  device::DeviceLink& link() { return *link_; }
  // Why the link went down, for a wait that ended with it: "the connection to the processor
  // was closed" or "the processor was disconnected".
  std::string lostLinkText() const;
  settings::ParameterBlock& working() { return working_; }

 private:
  void openUsb();
  void openTcp();
  // Why the link went down before the processor answered the greeting.
  std::string closedAtOpenText() const;

  DeviceSession(const ConnectTarget& target, CommandOutput& out, const std::atomic<bool>* stop);

  ConnectTarget target_;
  ConsolePrompts prompts_;
  settings::ParameterBlock working_ = settings::FactoryDefaults();
  std::unique_ptr<device::HidPlatform> platform_;
  std::unique_ptr<device::HidDeviceController> controller_;
  std::unique_ptr<device::DeviceLink> link_;
  std::unique_ptr<StopGate> stopGate_;
  std::string socketError_;
  bool closedByPeer_ = false;
};

// "the working settings", "slot 3 (...)": a slot as messages name it.
std::string DescribeSlot(std::uint8_t slot);

// Reads a slot's block into the session's working block; throws CommandFailure when it does not
// arrive whole.
settings::ParameterBlock ReadSlot(DeviceSession& session, std::uint8_t slot);

}  // namespace kdsp::tools
