// SPDX-License-Identifier: GPL-3.0-or-later
// The device link's fixed message texts.
#pragma once

#include <string_view>

#include "core/translatable.h"

namespace kdsp::device {

namespace message {
inline constexpr std::string_view kNoConnectingDevice =
    KDSP_TRANSLATE_NOOP("Messages", "No connecting device!");
inline constexpr std::string_view kSizeTooLarge = KDSP_TRANSLATE_NOOP("Messages", "Size too large");
inline constexpr std::string_view kVersionNoMatch =
    KDSP_TRANSLATE_NOOP("Messages", "Version no match!");
inline constexpr std::string_view kEmptyOrChecksumError =
    KDSP_TRANSLATE_NOOP("Messages", "Empty or checksum error record!");
inline constexpr std::string_view kUploadNotAcknowledged = KDSP_TRANSLATE_NOOP(
    "Messages",
    "The processor did not acknowledge the transfer in time. The upload was stopped and the "
    "preset slot was left unchanged.");
inline constexpr std::string_view kUploadInterrupted = KDSP_TRANSLATE_NOOP(
    "Messages",
    "The processor was disconnected during the transfer. The preset slot was left unchanged.");
inline constexpr std::string_view kUploadConnectionClosed = KDSP_TRANSLATE_NOOP(
    "Messages",
    "The connection to the processor was closed during the transfer. The preset slot was left "
    "unchanged.");
// Once the store record has gone out, the processor may have stored the block whether or not
// its acknowledgement comes back.
inline constexpr std::string_view kStoreNotAcknowledged = KDSP_TRANSLATE_NOOP(
    "Messages",
    "The processor did not acknowledge storing the settings in time. The preset slot may have "
    "been rewritten: read it back to check.");
inline constexpr std::string_view kStoreInterrupted = KDSP_TRANSLATE_NOOP(
    "Messages",
    "The processor was disconnected before it acknowledged storing the settings. The preset "
    "slot may have been rewritten: read it back to check.");
inline constexpr std::string_view kStoreConnectionClosed = KDSP_TRANSLATE_NOOP(
    "Messages",
    "The connection to the processor was closed before it acknowledged storing the settings. "
    "The preset slot may have been rewritten: read it back to check.");
// Messages with values, filled in with core::FillIn.
inline constexpr std::string_view kIncompleteRead = KDSP_TRANSLATE_NOOP(
    "Messages",
    "The processor's settings arrived incomplete: %1 of %2 did not arrive. Nothing was changed.");
// The udev rule is the one the package installs.
inline constexpr std::string_view kPermissionProblem = KDSP_TRANSLATE_NOOP(
    "Messages",
    "The processor is connected at %1, but this user may not open it (%2).\n\nAllow access with a "
    "udev rule, for example in /etc/udev/rules.d/70-kdsp.rules:\n"
    "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"0483\", ATTRS{idProduct}==\"0157\", "
    "TAG+=\"uaccess\"\n\nthen unplug the processor and plug it in again.");
// A wait for the processor ended because the WiFi connection went down.
inline constexpr std::string_view kConnectionClosed =
    KDSP_TRANSLATE_NOOP("Messages", "the connection to the processor was closed");
}  // namespace message

}  // namespace kdsp::device
