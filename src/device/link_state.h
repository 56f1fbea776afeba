// SPDX-License-Identifier: GPL-3.0-or-later
// The connection state that the main window keeps for the device link.
#pragma once

#include <cstdint>
#include <string>

namespace kdsp::device {

// What the lock password reads before the processor has reported its own: above any password
// the user can type (0..999), so nothing unlocks by chance.
inline constexpr std::uint16_t kUnknownLockPassword = 54321;

struct LinkState {
  bool connected = false;     // a processor is open, or the WiFi link is up
  bool syncPending = true;    // a processor was just found: greet it and offer to synchronise
  bool windowShown = false;   // block reads and uploads run only once the window is shown
  bool versionOk = false;     // the greeting was answered with the accepted version
  bool readComplete = false;  // the end record of the last block read has arrived
  bool wifiMode = false;      // records go through the socket instead of the HID device
  // While a processor is present that this user may not open: why, and how to allow it (the
  // device node and the udev rule). Such a processor is not connected: nothing is sent to it,
  // it is not greeted and not asked about. Empty otherwise.
  std::string accessProblem;
  std::uint8_t musicMaxVolume = 55;
  std::uint8_t micMaxVolume = 55;
  std::uint8_t micEqChannel = 0;  // mic EQ mode 0..2
  std::uint16_t lockPassword = kUnknownLockPassword;
  std::uint8_t panelUnlocked = 255;  // 255 unlocked, 0 locked
  std::uint8_t pinkNoiseMask = 0;    // bit i: pink noise on output i

  bool processorWithoutAccess() const { return !accessProblem.empty(); }
};

}  // namespace kdsp::device
