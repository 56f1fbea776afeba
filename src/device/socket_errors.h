// SPDX-License-Identifier: GPL-3.0-or-later
// The socket link's error vocabulary: Winsock-numbered error codes with their descriptions, the
// mapping of the platform's error numbers onto them, and the asynchronous notification numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kdsp::device {

// Error codes, numbered as Winsock numbers them so reports read the same on every platform.
inline constexpr int kWsaEIntr = 10004;
inline constexpr int kWsaEAcces = 10013;
inline constexpr int kWsaEFault = 10014;
inline constexpr int kWsaEInval = 10022;
inline constexpr int kWsaEMFile = 10024;
inline constexpr int kWsaEWouldBlock = 10035;
inline constexpr int kWsaEInProgress = 10036;
inline constexpr int kWsaEAlready = 10037;
inline constexpr int kWsaENotSock = 10038;
inline constexpr int kWsaEDestAddrReq = 10039;
inline constexpr int kWsaEMsgSize = 10040;
inline constexpr int kWsaEPrototype = 10041;
inline constexpr int kWsaEProtoNoSupport = 10043;
inline constexpr int kWsaESocktNoSupport = 10044;
inline constexpr int kWsaEOpNotSupp = 10045;
inline constexpr int kWsaEAfNoSupport = 10047;
inline constexpr int kWsaEAddrInUse = 10048;
inline constexpr int kWsaEAddrNotAvail = 10049;
inline constexpr int kWsaENetDown = 10050;
inline constexpr int kWsaENetUnreach = 10051;
inline constexpr int kWsaENetReset = 10052;
inline constexpr int kWsaEConnAborted = 10053;
inline constexpr int kWsaEConnReset = 10054;
inline constexpr int kWsaENoBufs = 10055;
inline constexpr int kWsaEIsConn = 10056;
inline constexpr int kWsaENotConn = 10057;
inline constexpr int kWsaEShutdown = 10058;
inline constexpr int kWsaETimedOut = 10060;
inline constexpr int kWsaEConnRefused = 10061;
inline constexpr int kWsaEHostDown = 10064;
inline constexpr int kWsaEHostUnreach = 10065;
inline constexpr int kWsaNotInitialised = 10093;

// Platform error numbers with no Winsock counterpart are reported as this base plus the number:
// outside the described codes (so they read "Unknown error") yet still recoverable from a report.
inline constexpr int kUnmappedErrnoBase = 20000;

// The description of a code; "Unknown error" for a code the table does not know.
std::string_view MapErrorCode(int code);

// The code for one of the platform's errno values.
int SocketErrorFromErrno(int errnoValue);

// The text of a report: text, then for a code above 0 " : " and the code's description.
std::string ComposeErrorText(int code, std::string_view text);

// The report that precedes closing a socket that failed before it became active:
// "!!!!!!!!socket closed for error" and the code as four uppercase hexadecimal digits.
std::string ClosedForErrorText(int code);

// Socket notification events, one bit each, in the low word of a notification.
inline constexpr int kFdRead = 1;
inline constexpr int kFdWrite = 2;
inline constexpr int kFdOob = 4;
inline constexpr int kFdAccept = 8;
inline constexpr int kFdConnect = 16;
inline constexpr int kFdClose = 32;
// The mask a socket is registered with: every notification.
inline constexpr int kFdAllEvents = 255;

// The message number socket notifications arrive with: the first user message number plus 11.
inline constexpr int kSocketMessage = 1035;

// A notification's parameter: the event in the low word, an error code in the high word.
constexpr int MakeSelectReply(int event, int error) {
  return static_cast<int>((static_cast<std::uint32_t>(error) << 16) |
                          (static_cast<std::uint32_t>(event) & 0xFFFFu));
}

}  // namespace kdsp::device
