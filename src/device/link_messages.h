// The device link's fixed message texts.
#pragma once

#include <string_view>

namespace kdsp::device {

namespace message {
inline constexpr std::string_view kNoConnectingDevice = "No connecting device!";
inline constexpr std::string_view kSizeTooLarge = "Size too large";
inline constexpr std::string_view kVersionNoMatch = "Version no match!";
inline constexpr std::string_view kEmptyOrChecksumError = "Empty or checksum error record!";
inline constexpr std::string_view kUploadNotAcknowledged =
    "The processor did not acknowledge the transfer in time. The upload was stopped and the "
    "preset slot was left unchanged.";
inline constexpr std::string_view kUploadInterrupted =
    "The processor was disconnected during the transfer. The preset slot was left unchanged.";
inline constexpr std::string_view kUploadConnectionClosed =
    "The connection to the processor was closed during the transfer. The preset slot was left "
    "unchanged.";
// Once the store record has gone out, the processor may have stored the block whether or not
// its acknowledgement comes back.
inline constexpr std::string_view kStoreNotAcknowledged =
    "The processor did not acknowledge storing the settings in time. The preset slot may have "
    "been rewritten: read it back to check.";
inline constexpr std::string_view kStoreInterrupted =
    "The processor was disconnected before it acknowledged storing the settings. The preset "
    "slot may have been rewritten: read it back to check.";
inline constexpr std::string_view kStoreConnectionClosed =
    "The connection to the processor was closed before it acknowledged storing the settings. "
    "The preset slot may have been rewritten: read it back to check.";
// A wait for the processor ended because the WiFi connection went down.
inline constexpr std::string_view kConnectionClosed = "the connection to the processor was closed";
}  // namespace message

}  // namespace kdsp::device
