// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a connection to the processor for kdspctl.
#include "device_session.h"

#include <cstdio>

#include "core/composed_text.h"
#include "device/command_codes.h"
#include "device/event_loop_wait.h"
#include "device/hid_device.h"
#include "device/link_messages.h"
#include "device/link_timing.h"
#include "device/linux_hid_platform.h"
#include "device/socket_errors.h"
#include "device/virtual_hid_platform.h"
#include "device_work.h"
#include "settings/group_file.h"
#include "sim/simulated_hid_device.h"
#include "stop_gate.h"

namespace kdsp::tools {
namespace {

using namespace std::chrono_literals;
using device::kWorkingSettingsSlot;

constexpr auto kVersionLimit = 2s;
constexpr auto kStatusLimit = 1s;

CommandOutput& ConsoleOutputForMessages() {
  static ConsoleOutput console;  // holds nothing: it prints at once
  return console;
}

}  // namespace

void ConsolePrompts::showMessage(std::string_view text) {
  // The link's words are the program's, whose working settings a failed read leaves alone
  // ("Nothing was changed"); kdspctl reads for itself and names the slot, which a store before
  // the read may well have changed.
  if (text == device::message::kEmptyOrChecksumError ||
      core::ValuesIn(device::message::kIncompleteRead, text))
    return;
  out_.message(text);
}

std::unique_ptr<device::HidPlatform> MakePlatform(const ConnectTarget& target) {
  if (target.kind == ConnectTarget::Kind::kUsb) return std::make_unique<device::LinuxHidPlatform>();
  auto platform = std::make_unique<device::VirtualHidPlatform>();
  if (target.kind == ConnectTarget::Kind::kSim)
    platform->plug(std::make_shared<sim::SimulatedHidDevice>());
  return platform;
}

DeviceSession::DeviceSession(const ConnectTarget& target)
    : DeviceSession(target, ConsoleOutputForMessages(), nullptr) {}

DeviceSession::DeviceSession(const TargetContext& context)
    : DeviceSession(context.connect, context.out, context.stop) {}

DeviceSession::DeviceSession(const ConnectTarget& target, CommandOutput& out,
                             const std::atomic<bool>* stop)
    : target_(target), prompts_(out), platform_(MakePlatform(target)) {
  controller_ = std::make_unique<device::HidDeviceController>(*platform_);
  link_ = std::make_unique<device::DeviceLink>(*controller_, working_, prompts_);
  link_->setLockQuestion(false);
  link_->FormShow();
  if (stop != nullptr) stopGate_ = std::make_unique<StopGate>(*link_, *stop);
}

DeviceSession::~DeviceSession() {
  stopGate_.reset();
  link_.reset();
  controller_.reset();
}

void DeviceSession::open() {
  if (target_.kind == ConnectTarget::Kind::kTcp) {
    openTcp();
  } else {
    openUsb();
  }
  if (!link_->waitForVersion(kVersionLimit)) {
    if (!link_->state().connected) throw CommandFailure(closedAtOpenText());
    if (const auto version = link_->lastVersion()) {
      char text[96];
      std::snprintf(text, sizeof text, "the processor answered version 0x%02X; 0x21 is needed",
                    *version);
      throw CommandFailure(text);
    }
    throw CommandFailure(target_.describe() + " did not answer the greeting");
  }
}

void DeviceSession::openUsb() {
  if (!target_.usbPath.empty()) link_->setUsbPath(target_.usbPath);
  link_->attachHid();
  // A processor this user may not open is held but not connected; the link says why.
  if (link_->state().processorWithoutAccess()) throw CommandFailure(link_->state().accessProblem);
  if (link_->device() == nullptr || !link_->state().connected)
    throw CommandFailure(
        target_.kind == ConnectTarget::Kind::kSim ? "the simulated processor is missing"
        : !target_.usbPath.empty()
            ? "No processor found at " + target_.usbPath +
                  " (kdspctl list shows the processors on USB)."
            : std::string("No processor found on USB (") + core::kProcessorUsbIdText + ").");
  link_->greet();
}

void DeviceSession::openTcp() {
  link_->setSocketErrorHandler([this](device::TcmSocket& from, int code, const std::string&) {
    // Errors of a connection that was made end in its close, which is told in plain words.
    if (from.Active() || link_->lastLoss()) return;
    // A failed connect carries its error in the high word of the notification.
    const int error = code >> 16 != 0 ? code >> 16 : code;
    // A peer that accepts and resets at once fails the connect with a reset: it was reached.
    if (error == device::kWsaEConnReset || error == device::kWsaEConnAborted)
      closedByPeer_ = true;
    else if (error != device::kWsaEWouldBlock && error != 0)
      socketError_ = device::MapErrorCode(error);
  });
  link_->setWifiAddress(target_.host, target_.port);
  // No settle waits: open() waits for the version reply itself.
  link_->setWifiSettleWaits(false);
  link_->WiFi1Click();  // connects and greets
  link_->syncTimer().stop();
  // A processor that answered the greeting and then closed has said what it had to say; the
  // command fails only if it needs more.
  if (link_->state().connected || link_->lastVersion()) return;
  if (link_->lastLoss() == device::LinkLoss::kClosed || closedByPeer_)
    throw CommandFailure(closedAtOpenText());
  throw CommandFailure("cannot connect to " + target_.describe() +
                       (socketError_.empty() ? "" : ": " + socketError_));
}

std::string DeviceSession::lostLinkText() const {
  if (link_->lastLoss() == device::LinkLoss::kClosed)
    return std::string(device::message::kConnectionClosed);
  return "the processor was disconnected";
}

std::string DeviceSession::closedAtOpenText() const {
  if (target_.kind == ConnectTarget::Kind::kTcp)
    return "the connection to " + target_.describe() + " was closed by the processor";
  return "the connection to " + target_.describe() + " was lost";
}

const device::StatusReply& DeviceSession::status() {
  device::WaitUntil([this] { return link_->lastStatus().has_value() || !link_->state().connected; },
                    kStatusLimit);
  if (link_->lastStatus()) return *link_->lastStatus();
  if (!link_->state().connected) throw CommandFailure(lostLinkText());
  throw CommandFailure("the processor did not report its status");
}

void DeviceSession::requireUnlocked(const std::optional<long>& password) {
  const device::StatusReply& s = status();
  if (s.panelUnlocked != 0) return;
  if (!password)
    throw CommandFailure(
        "the processor's front panel is locked: give its password with --password");
  if (*password != s.lockPassword) throw CommandFailure("Password Error!");
}

std::string DescribeSlot(std::uint8_t slot) {
  if (slot == kWorkingSettingsSlot) return "the working settings";
  if (slot < settings::kGroupSlotCount)
    return "slot " + std::to_string(slot) + " (" + std::string(settings::kSlotNames[slot].name) +
           ")";
  return "slot " + std::to_string(slot);
}

settings::ParameterBlock ReadSlot(DeviceSession& session, std::uint8_t slot) {
  device::DeviceLink& link = session.link();
  const std::uint8_t mode = slot == kWorkingSettingsSlot ? 0 : 3;
  if (!link.state().connected && link.lastLoss())
    throw CommandFailure(session.lostLinkText() + " before " + DescribeSlot(slot) + " was read");
  if (!link.ReadBlockFromDevice(slot, mode)) throw CommandFailure("No connecting device!");
  if (!link.waitForReadComplete(device::kReadBackLimit)) {
    if (!link.state().connected)
      throw CommandFailure(session.lostLinkText() + " while " + DescribeSlot(slot) + " was read");
    throw CommandFailure("the processor did not send " + DescribeSlot(slot) + " in time");
  }
  using device::BlockReadback;
  switch (link.lastReadResult().value_or(BlockReadback::EndResult::kNoBlock)) {
    case BlockReadback::EndResult::kInstalled:
      return session.working();
    case BlockReadback::EndResult::kIncomplete:
      throw CommandFailure(DescribeSlot(slot) + " could not be read: " + link.missingChunks() +
                           " of " + std::to_string(device::kUploadChunkCount) + " did not arrive");
    case BlockReadback::EndResult::kNoBlock:
      throw CommandFailure(DescribeSlot(slot) + " could not be read: the processor sent no block");
    case BlockReadback::EndResult::kFactoryInstalled:
      break;
  }
  throw CommandFailure(DescribeSlot(slot) +
                       " could not be read: it is empty or its checksum is wrong");
}

}  // namespace kdsp::tools
