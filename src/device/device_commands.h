// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-device commands that are not parameters: the greeting, the panel lock and the
// panel-lock password.
#pragma once

#include <cstdint>

#include "device/record_sender.h"

namespace kdsp::device {

// 229 [0]: asks the processor for its version (and its status).
void SendGreeting(RecordSender& sender);
// 192 [panelUnlocked]: 255 unlocks the processor's front panel, 0 locks it.
void SendPanelLock(RecordSender& sender, std::uint8_t panelUnlocked);
// 193 [high byte, low byte]: a new panel-lock password 0..999.
void SendPanelPassword(RecordSender& sender, std::uint16_t password);

}  // namespace kdsp::device
