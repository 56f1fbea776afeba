// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-device commands.
#include "device/device_commands.h"

#include "device/command_codes.h"

namespace kdsp::device {

void SendGreeting(RecordSender& sender) {
  sender.SendByteCommand(code::kGreeting, 0);
}

void SendPanelLock(RecordSender& sender, std::uint8_t panelUnlocked) {
  sender.SendByteCommand(code::kPanelLock, panelUnlocked);
}

void SendPanelPassword(RecordSender& sender, std::uint16_t password) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(password >> 8),
                                 static_cast<std::uint8_t>(password & 0xFF)};
  sender.SendBytesCommand(code::kPanelPassword, bytes);
}

}  // namespace kdsp::device
