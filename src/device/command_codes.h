// SPDX-License-Identifier: GPL-3.0-or-later
// The command and reply codes spoken over the device link, with their names.
#pragma once

#include <cstdint>
#include <string_view>

namespace kdsp::device {

namespace code {
// Single parameters, sent by the synchronisation tick.
inline constexpr std::uint8_t kMixChannel = 163;
inline constexpr std::uint8_t kMasterMusic = 160;
inline constexpr std::uint8_t kMasterMic = 161;
inline constexpr std::uint8_t kMasterEffect = 162;
inline constexpr std::uint8_t kOutputDelay = 164;
inline constexpr std::uint8_t kFeedbackLevel = 165;
inline constexpr std::uint8_t kMusicInput = 166;
inline constexpr std::uint8_t kMusicMaxVolume = 167;
inline constexpr std::uint8_t kMicMaxVolume = 168;
inline constexpr std::uint8_t kEqBand = 169;
inline constexpr std::uint8_t kCompressor = 170;
inline constexpr std::uint8_t kCrossover = 171;
inline constexpr std::uint8_t kSubDecay = 172;
inline constexpr std::uint8_t kOutputMutes = 173;
inline constexpr std::uint8_t kEchoLevel = 174;
inline constexpr std::uint8_t kEchoDelay = 175;
inline constexpr std::uint8_t kEchoRepeat = 176;
inline constexpr std::uint8_t kEchoPreDelay = 177;
inline constexpr std::uint8_t kEchoDelayLr = 178;
inline constexpr std::uint8_t kEchoPreDelayLr = 179;
inline constexpr std::uint8_t kRevLevel = 180;
inline constexpr std::uint8_t kRevTime = 181;
inline constexpr std::uint8_t kRevPreDelay = 182;
inline constexpr std::uint8_t kMicEqMode = 183;
inline constexpr std::uint8_t kEchoDirect = 189;
inline constexpr std::uint8_t kMicPolarity = 190;
inline constexpr std::uint8_t kRevDamp = 112;
inline constexpr std::uint8_t kRevWet = 113;
inline constexpr std::uint8_t kRevWidth = 114;
inline constexpr std::uint8_t kPinkNoise = 194;
// Whole-device commands.
inline constexpr std::uint8_t kPanelLock = 192;
inline constexpr std::uint8_t kPanelPassword = 193;
inline constexpr std::uint8_t kGreeting = 229;
inline constexpr std::uint8_t kReadBlock = 224;
inline constexpr std::uint8_t kBlockChunk = 225;
inline constexpr std::uint8_t kStoreBlock = 226;
// Replies from the processor.
inline constexpr std::uint8_t kStatus = 186;
inline constexpr std::uint8_t kChunkReply = 206;
inline constexpr std::uint8_t kEndReply = 207;
inline constexpr std::uint8_t kVersion = 230;
inline constexpr std::uint8_t kAcknowledge = 240;
}  // namespace code

// The marker that opens every chunk payload, both ways.
inline constexpr std::uint8_t kChunkMarker = 0x57;
// A block moves in 30 chunks: chunk k carries block bytes 24k onward, 24 of them, 12 in the last.
inline constexpr int kChunkBytes = 24;
inline constexpr int kUploadChunkCount = 30;
// The only version the processor may answer the greeting with.
inline constexpr std::uint8_t kAcceptedVersion = 0x21;
// The slot number that addresses the processor's working settings.
inline constexpr std::uint8_t kWorkingSettingsSlot = 240;

// A short English name of a code, for tools and logs; empty for an unknown code.
std::string_view CommandName(std::uint8_t command);

}  // namespace kdsp::device
